#include "core/engine/Naming.h"

#include <QtTest>

using Optional = std::optional<QString>;
Q_DECLARE_METATYPE(Optional)

class TestNaming : public QObject
{
    Q_OBJECT
private slots:
    void displayName_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("camel case") << "com.example.MyCoolApp" << "My Cool App";
        QTest::newRow("capitals run") << "com.example.ABCViewer" << "ABCViewer";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("only dots") << "..." << "...";
        QTest::newRow("trailing dot") << "com.example." << "Example";
        QTest::newRow("several dashes") << "com.example.a-b-c" << "A b c";
        QTest::newRow("sharp s") << "com.example.\u00dfeta" << "SSeta";
        QTest::newRow("beyond basic plane") << QString::fromUcs4(U"com.example.\U00010428x")
                                            << QString::fromUcs4(U"\U00010400x");
        QTest::newRow("non-ascii capitals get no blank") << "com.example.\u00e9\u00c9" << "\u00c9\u00c9";
    }
    void displayName()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(ScannerEngine::displayName(input), expected);
    }

    void stripTeamPrefix_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<Optional>("expected");
        QTest::newRow("no dot") << "Plain" << Optional();
        QTest::newRow("team") << "UBF8T346G9.com.example.shared" << Optional("com.example.shared");
        QTest::newRow("lower case team") << "ubf8t346g9.com.example.x" << Optional("ubf8t346g9.com.example.x");
        QTest::newRow("two components") << "UBF8T346G9.example" << Optional("UBF8T346G9.example");
        QTest::newRow("nine characters") << "ABCDE1234.x.y" << Optional("ABCDE1234.x.y");
        QTest::newRow("eleven characters") << "ABCDE123456.x.y" << Optional("ABCDE123456.x.y");
        QTest::newRow("punctuation") << "ABCDE-1234.x.y" << Optional("ABCDE-1234.x.y");
        QTest::newRow("empty components dropped") << "ABCDE12345..x..y" << Optional("x.y");
        QTest::newRow("combining accent is one character") << "ABCDEFGHIA\u0308.x.y" << Optional("x.y");
    }
    void stripTeamPrefix()
    {
        QFETCH(QString, input);
        QFETCH(Optional, expected);
        QCOMPARE(ScannerEngine::stripTeamPrefix(input), expected);
    }

    void appName_data()
    {
        QTest::addColumn<Optional>("program");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("expected");
        QTest::newRow("dotted file name") << Optional("/usr/local/bin/com.example.agent") << "x" << "com.example";
        QTest::newRow("hidden file") << Optional("/opt/.hidden") << "x" << ".hidden";
        QTest::newRow("trailing slash") << Optional("/usr/bin/") << "x" << "bin";
        QTest::newRow("root only") << Optional("/") << "com.example.tool" << "Tool";
        QTest::newRow("nothing at all") << Optional() << "" << "";
    }
    void appName()
    {
        QFETCH(Optional, program);
        QFETCH(QString, label);
        QFETCH(QString, expected);
        QCOMPARE(ScannerEngine::appName(program, label), expected);
    }
};

QTEST_GUILESS_MAIN(TestNaming)
#include "tst_naming.moc"
