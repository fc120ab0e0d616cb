#include "model/InstalledApp.h"
#include "model/IsolatedText.h"
#include "model/LeftoverItem.h"

#include <QtTest>

#include <ctime>

class TestModel : public QObject
{
    Q_OBJECT
private slots:
    void displayPath_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("service");
        QTest::addColumn<QString>("expected");
        const int perm = int(LeftoverType::permission);
        const int login = int(LeftoverType::loginItem);
        QTest::newRow("raw service prefix") << perm << QString() << "kTCCServiceCamera" << "Camera";
        QTest::newRow("login program under home") << login << "/Library/LaunchAgents/a.plist"
                                                  << "/home/u/bin/agent" << "~/bin/agent";
        QTest::newRow("home twice") << int(LeftoverType::cache) << "/home/u/x/home/u/y" << QString() << "~/x~/y";
        QTest::newRow("nothing") << int(LeftoverType::cache) << QString() << QString() << "\u2014";
    }
    void displayPath()
    {
        QFETCH(int, type);
        QFETCH(QString, path);
        QFETCH(QString, service);
        QFETCH(QString, expected);
        LeftoverItem item;
        item.type = LeftoverType(type);
        if (!path.isNull())
            item.path = path;
        if (!service.isNull())
            item.permissionService = service;
        QCOMPARE(item.displayPath(QStringLiteral("/home/u")), expected);
    }

    // Every character class in outside text put into a line of our own: isolates
    // balanced (an opener closed, a stray end dropped), embeddings and overrides
    // left to end at our isolate, each line break one mark, the rest as it is.
    void isolatedText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("isolated");
        const QList<QPair<char16_t, const char *>> openers{{0x2066, "LRI"}, {0x2067, "RLI"}, {0x2068, "FSI"}};
        for (const auto &[opener, name] : openers)
            QTest::addRow("%s closed", name) << QStringLiteral("a") + QChar(opener) + QStringLiteral("b")
                                             << QStringLiteral("\u2068a") + QChar(opener) + QStringLiteral("b\u2069\u2069");
        QTest::newRow("PDI without its opener dropped") << "a\u2069b" << "\u2068ab\u2069";
        QTest::newRow("PDI after its opener kept") << "\u2066a\u2069b" << "\u2068\u2066a\u2069b\u2069";
        const QList<QPair<char16_t, const char *>> embeddings{
            {0x202A, "LRE"}, {0x202B, "RLE"}, {0x202C, "PDF"}, {0x202D, "LRO"}, {0x202E, "RLO"}};
        for (const auto &[control, name] : embeddings)
            QTest::addRow("%s kept", name) << QStringLiteral("a") + QChar(control) + QStringLiteral("b")
                                           << QStringLiteral("\u2068a") + QChar(control) + QStringLiteral("b\u2069");
        for (const QString &lineBreak : QStringList{"\n", "\r", "\r\n", "\v", "\f", "\x1c", "\x1d", "\x1e", "\u0085", "\u2028", "\u2029"})
            QTest::addRow("line break U+%04X", lineBreak.back().unicode()) << "a" + lineBreak + "b" << "\u2068a\u23CEb\u2069";
        QTest::newRow("LF CR two breaks") << "a\n\rb" << "\u2068a\u23CE\u23CEb\u2069";
        QTest::newRow("tab, ampersand, markup kept") << "a\t&<b>" << "\u2068a\t&<b>\u2069";
        QTest::newRow("outside the BMP kept") << "\U0001F600\U00010900" << "\u2068\U0001F600\U00010900\u2069";
        QTest::newRow("empty") << "" << "";
    }
    void isolatedText()
    {
        QFETCH(QString, text);
        QFETCH(QString, isolated);
        QCOMPARE(::isolatedText(text), isolated);
    }

    void initTestCase()
    {
        // A zone with clock changes, so that calendar days and 24-hour spans differ.
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }

    void lastLaunchedText_data()
    {
        QTest::addColumn<QDateTime>("launched");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("expected");
        const auto local = [](int month, int day, int hour, int minute = 0) {
            return QDateTime(QDate(2024, month, day), QTime(hour, minute), Qt::LocalTime);
        };
        QTest::newRow("23 hours, previous date") << local(6, 10, 13) << local(6, 11, 12) << "Today";
        QTest::newRow("one day") << local(6, 10, 12) << local(6, 11, 12) << "Yesterday";
        QTest::newRow("future, part of a day") << local(6, 12, 6) << local(6, 10, 12) << "-1 days ago";
        QTest::newRow("23-hour day of spring forward") << local(3, 30, 12) << local(3, 31, 12) << "Yesterday";
        QTest::newRow("24.5 hours over fall back") << local(10, 26, 12) << local(10, 27, 11, 30) << "Today";
        // 00:30 local on the 11th: under a day before 00:10 on the 12th.
        QTest::newRow("launch time given in UTC")
            << QDateTime(QDate(2024, 6, 10), QTime(22, 30), Qt::UTC) << local(6, 12, 0, 10) << "Today";
    }
    void lastLaunchedText()
    {
        QFETCH(QDateTime, launched);
        QFETCH(QDateTime, now);
        QFETCH(QString, expected);
        InstalledApp app;
        QCOMPARE(app.lastLaunchedText(now), QStringLiteral("Never"));
        app.lastLaunched = launched;
        QCOMPARE(app.lastLaunchedText(now), expected);
    }
};

QTEST_GUILESS_MAIN(TestModel)
#include "tst_model.moc"
