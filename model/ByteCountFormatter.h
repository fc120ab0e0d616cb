#pragma once

#include <QLocale>
#include <QString>

// Byte sizes in the platform's file style: decimal units ("Zero KB", "1 byte",
// "999 bytes", "1 KB", "1.2 MB", "1.23 GB"). Qt's own formatSize has no such
// style (it keeps trailing zeros and uses one precision for every unit), so the
// rules are written out here once for every caller.
class ByteCountFormatter
{
public:
    // Only the decimal separator is taken from `locale`; digits stay ASCII and
    // thousands are never grouped. Negative counts keep their sign ("-1 KB").
    static QString string(qint64 bytes, const QLocale &locale = QLocale());
};
