#include "model/AppSettings.h"
#include "model/StoredLists.h"
#include "platform/UserDefaults.h"

#include "BuildInfo.h"

#include <QtTest>

#include <QTemporaryDir>

namespace {
// JSON written with single quotes, which keeps the tables readable.
QByteArray q(const char *text)
{
    return QByteArray(text).replace('\'', '"');
}
}

class TestSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir m_config;

    QString storePath(const QString &name) const { return m_config.filePath(name + QStringLiteral(".plist")); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        // Before anything can touch the user's own store.
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        QVERIFY(UserDefaults::standard().filePath().startsWith(m_config.path()));
    }

    void decode_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("fallsBack");
        QTest::addColumn<QString>("email");   // null: none
        QTest::addColumn<QString>("website"); // null: none

        const QByteArray required = q("'version': '2.1', 'build': '77', 'about': 'A', 'sentryDSN': 'https://k@s/1', "
                                      "'updateFeedURL': 'https://example.org/feed.json'");
        const auto object = [&](const QByteArray &rest) {
            return "{" + required + (rest.isEmpty() ? QByteArray() : ", " + rest) + "}";
        };
        const auto good = [](const char *tag, const QByteArray &json, const QString &email, const QString &website) {
            QTest::newRow(tag) << json << false << email << website;
        };
        const auto bad = [](const char *tag, const QByteArray &json) {
            QTest::newRow(tag) << json << true << QString() << QString();
        };
        good("all keys", object(q("'supportEmail': 'a@b.c', 'websiteURL': 'https://w'")), "a@b.c", "https://w");
        good("optional keys missing", object({}), QString(), QString());
        good("optional keys null", object(q("'supportEmail': null, 'websiteURL': null")), QString(), QString());
        good("unknown keys ignored", object(q("'extra': [1, 2], 'websiteURL': 'w'")), QString(), "w");
        good("empty strings kept", object(q("'supportEmail': ''")), "", QString());
        bad("build is a number", q("{'version': '2.1', 'build': 77, 'about': 'A', 'sentryDSN': '', 'updateFeedURL': ''}"));
        bad("required key missing", q("{'version': '2.1', 'build': '77', 'sentryDSN': '', 'updateFeedURL': ''}"));
        bad("required key null", q("{'version': null, 'build': '77', 'about': '', 'sentryDSN': '', 'updateFeedURL': ''}"));
        bad("optional key of another type", object(q("'supportEmail': 5")));
        bad("top level array", "[" + object({}) + "]");
        bad("garbage", QByteArray("\xff\xfe garbage \x00", 12));
        bad("empty", QByteArray());
    }
    void decode()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, fallsBack);
        QFETCH(QString, email);
        QFETCH(QString, website);

        const AppSettings s = AppSettings::decode(json);
        if (fallsBack) {
            QCOMPARE(s.version, QStringLiteral("\u2014"));
            QCOMPARE(s.build, QStringLiteral("\u2014"));
            QVERIFY(s.about.isEmpty());
            QVERIFY(s.sentryDSN.isEmpty());
            QVERIFY(s.updateFeedURL.isEmpty());
            QVERIFY(!s.supportEmail);
            QVERIFY(!s.websiteURL);
            return;
        }
        QCOMPARE(s.version, QStringLiteral("2.1"));
        QCOMPARE(s.build, QStringLiteral("77"));
        QCOMPARE(s.about, QStringLiteral("A"));
        QCOMPARE(s.sentryDSN, QStringLiteral("https://k@s/1"));
        QCOMPARE(s.updateFeedURL, QStringLiteral("https://example.org/feed.json"));
        QCOMPARE(s.supportEmail.has_value(), !email.isNull());
        if (s.supportEmail)
            QCOMPARE(*s.supportEmail, email);
        QCOMPARE(s.websiteURL.has_value(), !website.isNull());
        if (s.websiteURL)
            QCOMPARE(*s.websiteURL, website);
    }

    // The shipped resource is read, and carries the version compiled in.
    void shippedResource()
    {
        const AppSettings &s = AppSettings::shared();
        QCOMPARE(s.version, QString::fromUtf8(BuildInfo::shortVersion));
        QCOMPARE(s.build, QString::fromUtf8(BuildInfo::buildNumber));
        QVERIFY(!s.about.isEmpty());
    }

    void ignoreList_data()
    {
        QTest::addColumn<QVariant>("stored"); // invalid: key absent
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QStringList>("expected");

        const QVariant none;
        const QVariant ab = QVariantList{"a", "b"};
        QTest::newRow("add to absent") << none << "add" << "a" << QStringList{"a"};
        QTest::newRow("add new") << ab << "add" << "c" << QStringList{"a", "b", "c"};
        QTest::newRow("add existing keeps one") << ab << "add" << "a" << QStringList{"a", "b"};
        QTest::newRow("add drops stored duplicate") << QVariant(QVariantList{"a", "b", "a"}) << "add" << "c"
                                                    << QStringList{"a", "b", "c"};
        QTest::newRow("remove") << ab << "remove" << "a" << QStringList{"b"};
        QTest::newRow("remove missing rewrites") << ab << "remove" << "x" << QStringList{"a", "b"};
        QTest::newRow("remove drops every copy") << QVariant(QVariantList{"a", "b", "a"}) << "remove" << "a"
                                                 << QStringList{"b"};
        QTest::newRow("remove from absent") << none << "remove" << "a" << QStringList{};
        QTest::newRow("stored as text reads empty") << QVariant("a") << "add" << "b" << QStringList{"b"};
        QTest::newRow("non-string element reads empty") << QVariant(QVariantList{"a", 5}) << "add" << "b"
                                                        << QStringList{"b"};
    }
    void ignoreList()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, operation);
        QFETCH(QString, id);
        QFETCH(QStringList, expected);

        const QString path = storePath(QString::fromLatin1(QTest::currentDataTag()));
        QFile::remove(path);
        {
            UserDefaults defaults(path);
            if (stored.isValid())
                defaults.setValue(StoredLists::ignoredBundleIDsKey, stored);
            if (operation == QLatin1String("add"))
                StoredLists::addToIgnoreList(id, defaults);
            else
                StoredLists::removeFromIgnoreList(id, defaults);
        }
        // Read through a fresh store: the change must have reached the file.
        UserDefaults reread(path);
        QStringList raw = reread.stringList(StoredLists::ignoredBundleIDsKey).value_or(QStringList{"<absent>"});
        // Written back as a set: no duplicates, order free.
        QCOMPARE(QSet<QString>(raw.cbegin(), raw.cend()).size(), raw.size());
        raw.sort();
        QCOMPARE(raw, expected);
        QStringList read = StoredLists::ignoredBundleIDs(reread);
        read.sort();
        QCOMPARE(read, expected);
    }

    void readingAStoredDuplicateGivesOneCopy()
    {
        UserDefaults defaults(storePath(QStringLiteral("dup")));
        defaults.setStringList(StoredLists::ignoredBundleIDsKey, {"a", "a", "b"});
        QCOMPARE(StoredLists::ignoredBundleIDs(defaults).size(), 2);
    }

    void removeCustomLocation_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("middle") << QVariant(QVariantList{"/a", "/b", "/c"}) << "/b" << QStringList{"/a", "/c"};
        QTest::newRow("stored twice") << QVariant(QVariantList{"/b", "/a", "/b", "/c"}) << "/b"
                                      << QStringList{"/a", "/c"};
        QTest::newRow("not stored") << QVariant(QVariantList{"/c", "/a"}) << "/b" << QStringList{"/c", "/a"};
        QTest::newRow("exact match only") << QVariant(QVariantList{"/b/", "/B", "/b"}) << "/b"
                                          << QStringList{"/b/", "/B"};
        QTest::newRow("absent") << QVariant() << "/b" << QStringList{};
        QTest::newRow("mistyped") << QVariant(QVariantList{"/a", true}) << "/a" << QStringList{};
    }
    void removeCustomLocation()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, path);
        QFETCH(QStringList, expected);
        const QString file = storePath(QStringLiteral("loc-") + QString::fromLatin1(QTest::currentDataTag()));
        QFile::remove(file);
        {
            UserDefaults defaults(file);
            if (stored.isValid())
                defaults.setValue(StoredLists::customAppLocationsKey, stored);
            StoredLists::removeCustomLocation(path, defaults);
        }
        UserDefaults reread(file);
        QCOMPARE(reread.stringList(StoredLists::customAppLocationsKey), std::optional(expected));
        QCOMPARE(StoredLists::customAppLocations(reread), expected);
    }

    void defaultStoreIsTheStandardOne()
    {
        StoredLists::addToIgnoreList(QStringLiteral("com.example.one"));
        QCOMPARE(StoredLists::ignoredBundleIDs(), QStringList{QStringLiteral("com.example.one")});
        StoredLists::removeFromIgnoreList(QStringLiteral("com.example.one"));
        QVERIFY(StoredLists::ignoredBundleIDs().isEmpty());
        QVERIFY(QFile::exists(UserDefaults::standard().filePath()));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
