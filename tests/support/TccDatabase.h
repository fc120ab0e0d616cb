#pragma once

#include <QString>
#include <QStringList>

// Writes a permission database at `path`. A row reads "client|client_type|service|auth_value|allowed"
// ("NULL" for a NULL value); the older layout has no auth_value column and ignores that field.
namespace TccDatabase {

bool create(const QString &path, const QStringList &rows, bool withAuthValue = true);

}
