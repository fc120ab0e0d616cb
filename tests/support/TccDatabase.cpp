#include "support/TccDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

bool TccDatabase::create(const QString &path, const QStringList &rows, bool withAuthValue)
{
    QDir().mkpath(QFileInfo(path).path());
    sqlite3 *db = nullptr;
    bool ok = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK
        && sqlite3_exec(db, withAuthValue ? "CREATE TABLE access (service TEXT, client TEXT, client_type INTEGER, "
                                            "auth_value INTEGER, auth_reason INTEGER, allowed INTEGER)"
                                          : "CREATE TABLE access (service TEXT, client TEXT, client_type INTEGER, "
                                            "allowed INTEGER, prompt_count INTEGER)",
                        nullptr, nullptr, nullptr) == SQLITE_OK;
    const char *insert = withAuthValue
        ? "INSERT INTO access (client, client_type, service, auth_value, allowed) VALUES (?, ?, ?, ?, ?)"
        : "INSERT INTO access (client, client_type, service, allowed) VALUES (?, ?, ?, ?)";
    for (const QString &row : rows) {
        QStringList fields = row.split(QLatin1Char('|'));
        if (!withAuthValue)
            fields.removeAt(3);
        sqlite3_stmt *statement = nullptr;
        ok = ok && sqlite3_prepare_v2(db, insert, -1, &statement, nullptr) == SQLITE_OK;
        for (int i = 0; ok && i < fields.size(); ++i) {
            const QByteArray value = fields[i].toUtf8();
            if (fields[i] == QLatin1String("NULL"))
                sqlite3_bind_null(statement, i + 1);
            else
                sqlite3_bind_text(statement, i + 1, value.constData(), int(value.size()), SQLITE_TRANSIENT);
        }
        ok = ok && sqlite3_step(statement) == SQLITE_DONE;
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return ok;
}
