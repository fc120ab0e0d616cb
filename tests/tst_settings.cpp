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
        bad("build is a number", q("{'version': '2.1', 'build': 77, 'about': 'A', 'sentryDSN': '', 'updateFeedURL': ''}"));
        bad("required key missing", q("{'version': '2.1', 'build': '77', 'sentryDSN': '', 'updateFeedURL': ''}"));
        bad("optional key of another type", object(q("'supportEmail': 5")));
        bad("top level array", "[" + object({}) + "]");
        bad("garbage", QByteArray("\xff\xfe garbage \x00", 12));
    }
    void decode()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, fallsBack);
        QFETCH(QString, email);
        QFETCH(QString, website);
        const auto fields = [](const AppSettings &s) {
            return QStringList{s.version, s.build, s.about, s.sentryDSN, s.updateFeedURL,
                               s.supportEmail.value_or("<none>"), s.websiteURL.value_or("<none>")};
        };
        const QStringList expected = fallsBack
            ? QStringList{"\u2014", "\u2014", "", "", "", "<none>", "<none>"}
            : QStringList{"2.1", "77", "A", "https://k@s/1", "https://example.org/feed.json",
                          email.isNull() ? "<none>" : email, website.isNull() ? "<none>" : website};
        QCOMPARE(fields(AppSettings::decode(json)), expected);
    }

    // The shipped resource is read, and carries the version compiled in.
    void shippedResource()
    {
        const AppSettings &s = AppSettings::shared();
        QCOMPARE(s.version, QString::fromUtf8(BuildInfo::shortVersion));
        QCOMPARE(s.build, QString::fromUtf8(BuildInfo::buildNumber));
        QVERIFY(!s.about.isEmpty());
    }

    // Both stored lists, written through one store and read back through a fresh one. The ignore list
    // is written back as a set (compared sorted); custom locations keep their order.
    void storedLists_data()
    {
        QTest::addColumn<QVariant>("stored"); // invalid: key absent
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("expected");

        const QVariant none;
        const QVariant ab = QVariantList{"a", "b"};
        const QVariant aba = QVariantList{"a", "b", "a"};
        const auto row = [](const char *tag, const QVariant &stored, const char *operation, const char *value,
                            const QStringList &expected) {
            QTest::newRow(tag) << stored << QString(operation) << QString(value) << expected;
        };
        row("add existing keeps one", ab, "add", "a", {"a", "b"});
        row("add drops stored duplicate", aba, "add", "c", {"a", "b", "c"});
        row("remove missing rewrites", ab, "remove", "x", {"a", "b"});
        row("remove drops every copy", aba, "remove", "a", {"b"});
        row("non-string element reads empty", QVariant(QVariantList{"a", 5}), "add", "b", {"b"});
        row("location: stored twice", QVariantList{"/b", "/a", "/b", "/c"}, "location", "/b", {"/a", "/c"});
        row("location: exact match only", QVariantList{"/b/", "/B", "/b"}, "location", "/b", {"/b/", "/B"});
        row("location: absent", none, "location", "/b", {});
        row("location: mistyped", QVariantList{"/a", true}, "location", "/a", {});
    }
    void storedLists()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, operation);
        QFETCH(QString, value);
        QFETCH(QStringList, expected);

        const bool location = operation == QLatin1String("location");
        const QString key = location ? StoredLists::customAppLocationsKey : StoredLists::ignoredBundleIDsKey;
        const QString path = storePath(QString::fromLatin1(QTest::currentDataTag()));
        QFile::remove(path);
        {
            UserDefaults defaults(path);
            if (stored.isValid())
                defaults.setValue(key, stored);
            if (location)
                StoredLists::removeCustomLocation(value, defaults);
            else if (operation == QLatin1String("add"))
                StoredLists::addToIgnoreList(value, defaults);
            else
                StoredLists::removeFromIgnoreList(value, defaults);
        }
        UserDefaults reread(path);
        QStringList raw = reread.stringList(key).value_or(QStringList{"<absent>"});
        QStringList read = location ? StoredLists::customAppLocations(reread) : StoredLists::ignoredBundleIDs(reread);
        if (!location) {
            QCOMPARE(QSet<QString>(raw.cbegin(), raw.cend()).size(), raw.size());
            raw.sort();
            read.sort();
        }
        QCOMPARE(raw, expected);
        QCOMPARE(read, expected);
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
