#include "core/engine/AppIndex.h"
#include "core/engine/DirectorySize.h"
#include "support/MacTreeGenerator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestMacTreeGenerator : public QObject
{
    Q_OBJECT

private slots:
    void generatesReusesAndRefuses();
};

void TestMacTreeGenerator::generatesReusesAndRefuses()
{
    MacTreeGenerator::Options options;
    options.leftoverApps = 40;
    options.folders = 300;
    options.files = 2000;
    options.installedApps = 12;
    QTemporaryDir dir;
    const QString root = dir.path() + QStringLiteral("/t");
    const MacTreeGenerator::Tree first = MacTreeGenerator::generate(root, options);
    QVERIFY(first.isValid());
    QVERIFY(first.files >= 2000);
    QVERIFY(first.folders >= 300);
    QCOMPARE(ScannerEngine::directorySize(first.roots.root), first.bytes);
    // Every bundle is indexed; the roster leaves out the system's own ("com.apple.").
    QCOMPARE(ScannerEngine::installedAppIndex(first.roots, {}).names.size(), 12);
    QCOMPARE(ScannerEngine::scanInstalledApps(first.roots, {}).size(), 11);

    // A second call reads the manifest: a file added since is not counted.
    QFile extra(first.roots.root + QStringLiteral("/extra"));
    QVERIFY(extra.open(QIODevice::WriteOnly) && extra.resize(10));
    extra.close();
    const MacTreeGenerator::Tree again = MacTreeGenerator::generate(root, options);
    QCOMPARE(again.bytes, first.bytes);
    QCOMPARE(again.roots.home, first.roots.home);

    // Other options make the tree again.
    options.seed = 2;
    const MacTreeGenerator::Tree remade = MacTreeGenerator::generate(root, options);
    QVERIFY(remade.isValid());
    QCOMPARE(ScannerEngine::directorySize(remade.roots.root), remade.bytes);
    QVERIFY(!QFile::exists(first.roots.root + QStringLiteral("/extra")));

    // A folder the generator did not make is never removed.
    const QString foreign = dir.path() + QStringLiteral("/foreign");
    QVERIFY(QDir().mkpath(foreign));
    QFile keep(foreign + QStringLiteral("/keep"));
    QVERIFY(keep.open(QIODevice::WriteOnly));
    keep.close();
    QVERIFY(!MacTreeGenerator::generate(foreign, options).isValid());
    QVERIFY(QFile::exists(foreign + QStringLiteral("/keep")));
}

QTEST_GUILESS_MAIN(TestMacTreeGenerator)
#include "tst_mac_tree_generator.moc"
