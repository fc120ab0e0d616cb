#include "model/InstalledApp.h"
#include "model/LeftoverItem.h"
#include "model/LeftoverType.h"

#include <QtTest>

#include <algorithm>

class TestModel : public QObject
{
    Q_OBJECT
private slots:
    void typesSortByText()
    {
        QList<LeftoverType> all = LeftoverTypes::allCases();
        std::sort(all.begin(), all.end());
        QStringList texts;
        for (LeftoverType t : all)
            texts << LeftoverTypes::rawValue(t);
        QCOMPARE(texts, (QStringList{"App Support", "Application Scripts", "Background Activity", "Cache",
                                     "Container", "Log", "Login Item", "Permission", "Plugin", "Preference",
                                     "Saved State"}));
    }

    void rawValueRoundTrip()
    {
        for (LeftoverType t : LeftoverTypes::allCases())
            QCOMPARE(LeftoverTypes::fromRawValue(LeftoverTypes::rawValue(t)), std::optional(t));
        QVERIFY(!LeftoverTypes::fromRawValue(QStringLiteral("cache")));
        QCOMPARE(LeftoverTypes::safeTypes().size(), 5);
    }

    void displayPath_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("service");
        QTest::addColumn<QString>("expected");
        const int perm = int(LeftoverType::permission);
        const int login = int(LeftoverType::loginItem);
        const int bg = int(LeftoverType::backgroundActivity);
        QTest::newRow("raw service prefix") << perm << QString() << "kTCCServiceCamera" << "Camera";
        QTest::newRow("service display text") << perm << QString() << "Screen Capture" << "Screen Capture";
        QTest::newRow("background type") << bg << QString() << "login item" << "login item";
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

    void lastLaunchedText_data()
    {
        QTest::addColumn<qint64>("secondsAgo");
        QTest::addColumn<QString>("expected");
        QTest::newRow("23 hours") << qint64(23 * 3600) << "Today";
        QTest::newRow("one day") << qint64(86400) << "Yesterday";
        QTest::newRow("47 hours") << qint64(47 * 3600) << "Yesterday";
        QTest::newRow("forty days") << qint64(40 * 86400) << "40 days ago";
        QTest::newRow("future") << qint64(-3 * 86400) << "-3 days ago";
    }
    void lastLaunchedText()
    {
        QFETCH(qint64, secondsAgo);
        QFETCH(QString, expected);
        const QDateTime now = QDateTime::currentDateTimeUtc();
        InstalledApp app;
        QCOMPARE(app.lastLaunchedText(now), QStringLiteral("Never"));
        QCOMPARE(app.appSize, -1);
        app.lastLaunched = now.addSecs(-secondsAgo);
        QCOMPARE(app.lastLaunchedText(now), expected);
    }
};

QTEST_GUILESS_MAIN(TestModel)
#include "tst_model.moc"
