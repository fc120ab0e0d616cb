// The permission database: an SQLite file the system writes and we only read.
#include "FuzzSupport.h"

#include "core/engine/PermissionDatabase.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("TCC.db"));
    {
        QFile::remove(path + QStringLiteral("-journal"));
        QFile::remove(path + QStringLiteral("-wal"));
        QFile::remove(path + QStringLiteral("-shm"));
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
    }
    static const QSet<QString> installed = {QStringLiteral("com.example.installed")};

    const PermissionScan all = ScannerEngine::findOrphanPermissions(path, installed);
    for (const LeftoverItem &item : all.items) {
        FUZZ_CHECK(item.type == LeftoverType::permission);
        FUZZ_CHECK(item.bundleID && !installed.contains(*item.bundleID));
        FUZZ_CHECK(!item.bundleID->startsWith(QLatin1String("com.apple.")));
    }
    const PermissionScan one = ScannerEngine::findPermissions(QStringLiteral("com.example.gone"),
                                                              QStringLiteral("Gone"), path);
    for (const LeftoverItem &item : one.items)
        FUZZ_CHECK(item.appName == QLatin1String("Gone") && item.type == LeftoverType::permission);
    return 0;
}
