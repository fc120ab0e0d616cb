// The background-task dump: text another program printed, up to megabytes long.
#include "FuzzSupport.h"

#include "core/engine/BackgroundTaskRecords.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// A small fake system root, made once: records whose executable exists here get a path.
const SystemRoots &fakeRoots()
{
    static QTemporaryDir dir;
    static const SystemRoots roots = [] {
        const QString root = dir.path();
        QDir(root).mkpath(QStringLiteral("Library/PrivilegedHelperTools"));
        QDir(root).mkpath(QStringLiteral("usr/bin"));
        QDir(root).mkpath(QStringLiteral("Users/me"));
        for (const QString &file : {QStringLiteral("Library/PrivilegedHelperTools/helper"), QStringLiteral("usr/bin/tool"),
                                    QStringLiteral("Library/PrivilegedHelperTools/it's a \"helper\"")}) {
            QFile f(root + QLatin1Char('/') + file);
            if (f.open(QIODevice::WriteOnly))
                f.write("#!/bin/sh\n");
        }
        QFile::link(root + QStringLiteral("/usr/bin"), root + QStringLiteral("/Library/PrivilegedHelperTools/bin"));
        return SystemRoots{root + QStringLiteral("/Users/me"), root};
    }();
    return roots;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QSet<QString> installed = {QStringLiteral("com.example.installed"),
                                            QStringLiteral("ABCDE12345.com.example.team")};
    const QByteArray input = Fuzz::bytes(data, size);
    const QString dump = Fuzz::text(input);
    const SystemRoots &roots = fakeRoots();

    const QList<LeftoverItem> items = ScannerEngine::parseBTMDump(dump, installed, roots);
    FUZZ_CHECK(items.size() <= dump.count(QStringLiteral("UUID:")));
    for (const LeftoverItem &item : items) {
        FUZZ_CHECK(item.type == LeftoverType::backgroundActivity);
        FUZZ_CHECK(item.bundleID && !item.bundleID->isEmpty());
        FUZZ_CHECK(!installed.contains(*item.bundleID));
        // Only a real file in a place of programs is ever offered, never one of the system's own.
        if (item.path) {
            FUZZ_CHECK(item.path->startsWith(roots.root + QStringLiteral("/Library/PrivilegedHelperTools/")));
            FUZZ_CHECK(!item.path->startsWith(roots.root + QStringLiteral("/usr/")));
            FUZZ_CHECK(QFileInfo(*item.path).isFile());
        }
    }
    return 0;
}
