#include "core/AppLogger.h"
#include "model/AppSettings.h"
#include "model/StoredLists.h"
#include "platform/PropertyList.h"
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

// A store laid out as property lists are written here.
QByteArray entry(const char *key, const QByteArray &value)
{
    return "\t<key>" + QByteArray(key) + "</key>\n\t" + value + "\n";
}

QByteArray stringArray(const QStringList &items)
{
    QByteArray text = "<array>";
    for (const QString &item : items)
        text += "\n\t\t<string>" + item.toUtf8() + "</string>";
    return text + "\n\t</array>";
}

QStringList numbered(const QString &prefix, int count)
{
    QStringList items;
    for (int i = 0; i < count; ++i)
        items << prefix + QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0'));
    return items;
}

// Every setting besides the lists, each away from its default, but for one the test writes.
const QByteArray kSettings = entry("appLanguage", "<string>de</string>") + entry("privacy.sentryEnabled", "<false/>")
    + entry("safeMode", "<false/>") + entry("updates.automatic", "<false/>")
    + entry("updates.lastChecked", "<date>2026-11-30T08:00:00Z</date>");

struct StoreText
{
    QStringList ids;
    QStringList locations;
    QByteArray extra; // more entries, between the two lists
    bool settingsFirst = false; // then the IDs before the locations
    QByteArray doctype = "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                         "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">";

    QByteArray text() const
    {
        const QByteArray idEntry = entry("ignoredBundleIDs", stringArray(ids));
        const QByteArray locationEntry = entry("customAppLocations", stringArray(locations));
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + doctype + "\n<plist version=\"1.0\">\n<dict>\n"
            + (settingsFirst ? kSettings + idEntry + extra + locationEntry : locationEntry + extra + idEntry + kSettings)
            + "</dict>\n</plist>\n";
    }
};

// What the settings above read as, then the two lists.
QVariantList readBack(const UserDefaults &d)
{
    return {d.string(QStringLiteral("appLanguage")).value_or(QString()),
            d.boolValue(QStringLiteral("privacy.sentryEnabled"), true), d.boolValue(QStringLiteral("safeMode"), true),
            d.boolValue(QStringLiteral("updates.automatic"), true),
            d.date(QStringLiteral("updates.lastChecked")).value_or(QDateTime()),
            d.string(QStringLiteral("updates.skippedVersion")).value_or(QStringLiteral("<none>")),
            StoredLists::customAppLocations(d), StoredLists::ignoredBundleIDs(d)};
}
}

class TestSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir m_config;

    QString storePath(const QString &name) const { return m_config.filePath(name + QStringLiteral(".plist")); }
    // A store of these bytes, named after the running row; empty when it cannot be written.
    QString storeOf(const QByteArray &content) const
    {
        const QString path = storePath(QString::fromLatin1(QTest::currentDataTag()));
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() ? path : QString();
    }

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

    // A store past the bounds of its read keeps every setting, and its lists up to the bound, which
    // leaves room to add a setting; it is set aside whole before the first write replaces it.
    // Within the bounds it is read whole.
    void storePastTheBounds_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<QStringList>("locations");
        QTest::addColumn<int>("keptIDs");       // -1: all
        QTest::addColumn<int>("keptLocations"); // -1: all
        QTest::addColumn<bool>("partly");

        // The bounds of the lists, which take all but the other settings' room.
        const qsizetype tagBound = PropertyList::maxTags - UserDefaults::settingsRoom.tags;
        const qint64 sizeBound = UserDefaults::maxFileSize - UserDefaults::settingsRoom.bytes;
        const auto listTags = [](const StoreText &store) { return store.text().count('<') - kSettings.count('<'); };
        const auto listBytes = [](const StoreText &store) { return store.text().size() - kSettings.size(); };
        // More than the general cap, so that the store's own bounds apply.
        const QStringList locations{"/Applications/Extra", "/Volumes/" + QString(300 * 1024, QLatin1Char('x'))};
        const auto row = [](const char *tag, const StoreText &store, int keptIDs, int keptLocations, bool partly) {
            QTest::newRow(tag) << store.text() << store.ids << store.locations << keptIDs << keptLocations << partly;
        };
        // Short IDs, two tags each, up to `tags` tags in the lists.
        const auto withTags = [&](qsizetype tags) {
            StoreText store{{}, locations, {}, false};
            store.ids = numbered("com.example.a", int(tags - listTags(store)) / 2);
            return store;
        };
        const StoreText many{numbered("com.example.a", 140000), locations, {}, false};
        row("140,000 short IDs", many, int(140000 - (listTags(many) - tagBound + 1) / 2), -1, true);
        row("tags one ID under the bound", withTags(tagBound - 2), -1, -1, false);
        row("tags at the bound", withTags(tagBound), -1, -1, false);
        const StoreText tagPast = withTags(tagBound + 2);
        row("tags one ID past the bound", tagPast, int(tagPast.ids.size()) - 1, -1, true);

        // Root, both lists and a list of empty lists.
        const auto withContainers = [&](int containers) {
            return StoreText{numbered("com.example.a", 3), locations,
                             entry("extra", "<array>" + QByteArray("<array/>").repeated(containers - 4) + "</array>"), false};
        };
        row("containers one under the bound", withContainers(PropertyList::maxDepth - 1), -1, -1, false);
        row("containers at the bound", withContainers(PropertyList::maxDepth), -1, -1, false);
        row("containers one past the bound", withContainers(PropertyList::maxDepth + 1), -1, -1, true);

        // One long path makes up the size: past the bound, that list keeps the path before it.
        const auto withSize = [&](qint64 bytes, bool ofFile) {
            StoreText store{numbered("com.example.a", 3), {"/Applications/Extra", QString()}, {}, true};
            store.locations[1] = QString(bytes - (ofFile ? store.text().size() : listBytes(store)), QLatin1Char('p'));
            return store;
        };
        row("size one byte under the bound", withSize(sizeBound - 1, false), -1, -1, false);
        row("size at the bound", withSize(sizeBound, false), -1, -1, false);
        row("size one byte past the bound", withSize(sizeBound + 1, false), -1, 1, true);
        // Nothing past the limit is read: the settings come first.
        row("past the file size limit", withSize(UserDefaults::maxFileSize + 100, true), -1, 1, true);

        // A document type holding what reads like the start of another store: none of it is a setting.
        const QByteArray decoy = "<plist><dict><key>safeMode</key><true/><key>privacy.sentryEnabled</key><true/>"
                                 "<key>appLanguage</key><string>fr</string>";
        const auto withDoctype = [&](const QByteArray &doctype, bool past) {
            StoreText store = past ? withContainers(PropertyList::maxDepth + 1)
                                   : StoreText{numbered("com.example.a", 3), locations, {}, false};
            store.doctype = doctype;
            return store;
        };
        const QByteArray literal = "<!DOCTYPE plist SYSTEM \"" + decoy + "\">";
        row("store in a literal of the document type", withDoctype(literal, false), -1, -1, false);
        row("store in a literal of the document type, past the bounds", withDoctype(literal, true), -1, -1, true);
        const QByteArray subset = "<!DOCTYPE plist [<!ENTITY close \"]\"><!ENTITY open '" + decoy + "'>]>";
        row("bracket in the internal subset", withDoctype(subset, false), -1, -1, false);
        row("bracket in the internal subset, past the bounds", withDoctype(subset, true), -1, -1, true);
    }
    void storePastTheBounds()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, ids);
        QFETCH(QStringList, locations);
        QFETCH(int, keptIDs);
        QFETCH(int, keptLocations);
        QFETCH(bool, partly);
        QVariantList expected{"de", false, false, false, QDateTime(QDate(2026, 11, 30), QTime(8, 0), Qt::UTC), "<none>",
                              keptLocations < 0 ? locations : locations.first(keptLocations),
                              keptIDs < 0 ? ids : ids.first(keptIDs)};
        const QString path = storeOf(content);
        QVERIFY(!path.isEmpty());
        QStringList logged;
        {
            UserDefaults defaults(path);
            defaults.setProblemLog([&logged](const QString &message) { logged << message.section(':', 0, 0); });
            QVERIFY(readBack(defaults) == expected);
            defaults.setString(QStringLiteral("updates.skippedVersion"), QStringLiteral("3.1"));
        }
        const QStringList expectedLines{"SETTINGS PARTLY READ", "SETTINGS SET ASIDE"};
        QCOMPARE(logged, partly ? expectedLines : QStringList());
        expected[5] = "3.1";
        QVERIFY(readBack(UserDefaults(path)) == expected);
        const QDir folder = QFileInfo(path).dir();
        const QStringList aside = folder.entryList({QFileInfo(path).fileName() + ".partly-read-*"});
        QCOMPARE(aside.size(), partly ? 1 : 0);
        if (partly) {
            QFile kept(folder.filePath(aside.first()));
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QVERIFY(kept.readAll() == content);
        }
    }

    // A store whose text cannot be read as it stands (another encoding, text that is not UTF-8, a
    // NUL) is set aside whole before the first change replaces it.
    void storeReadWithLoss_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("lossy"); // else the location reads "/Applications/Café"

        const auto xml = [](const QByteArray &declaration, const QByteArray &entries) {
            return declaration + "\n<plist version=\"1.0\">\n<dict>\n" + entries + "</dict>\n</plist>\n";
        };
        const QByteArray utf8 = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
        // As bytes: the strings here need not be UTF-8.
        const auto location = [](const QByteArray &path) {
            return entry("customAppLocations", "<array><string>" + path + "</string></array>");
        };
        const auto lossy = [](const char *tag, const QByteArray &content) { QTest::newRow(tag) << content << true; };
        lossy("declares ISO-8859-1",
              xml("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", location("/Applications/Caf\xE9") + kSettings));
        lossy("not UTF-8", xml(utf8, location("/Applications/Caf\xE9") + kSettings));
        lossy("NUL in a string", xml(utf8, location(QByteArray("/Applications/A") + '\0' + "B") + kSettings));
        lossy("NUL in a key", xml(utf8, QByteArray("<key>appLanguage") + '\0' + "x</key><string>fr</string>" + kSettings));
        // Binary strings may hold a NUL; the XML the store writes cannot.
        const QByteArray binary = PropertyList::toBinary({{"customAppLocations", QVariantList{"/Applications/Caf_"}},
                                                          {"safeMode", false}});
        const qsizetype mark = binary.indexOf("Caf_") + 3;
        lossy("binary, NUL in a string", QByteArray(binary).replace(mark, 1, QByteArray(1, '\0')));
        lossy("binary, not UTF-8", QByteArray(binary).replace(mark, 1, "\xE9"));
        QByteArray utf16 = PropertyList::toBinary({{"customAppLocations", QVariantList{"/Applications/Caf\u00e9"}}});
        utf16.replace(QByteArray("\0\xE9", 2), QByteArray("\xD8\0", 2));
        lossy("binary, unpaired surrogate", utf16);
        QTest::newRow("declares utf-8") << xml("<?xml version='1.0' encoding='utf-8'?>",
                                               location("/Applications/Caf\xC3\xA9") + kSettings) << false;
        QTest::newRow("character reference") << xml(utf8, location("/Applications/Caf&#xE9;") + kSettings) << false;
    }
    void storeReadWithLoss()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, lossy);
        const QString path = storeOf(content);
        QVERIFY(!path.isEmpty());
        QStringList logged;
        {
            UserDefaults defaults(path);
            defaults.setProblemLog([&logged](const QString &message) { logged << message.section(':', 0, 0); });
            if (!lossy)
                QCOMPARE(StoredLists::customAppLocations(defaults), QStringList{QStringLiteral("/Applications/Caf\u00e9")});
            defaults.setString(QStringLiteral("updates.skippedVersion"), QStringLiteral("3.1"));
        }
        QCOMPARE(UserDefaults(path).string(QStringLiteral("updates.skippedVersion")), QStringLiteral("3.1"));
        const QStringList expectedLines{"SETTINGS READ WITH LOSS", "SETTINGS SET ASIDE"};
        QCOMPARE(logged, lossy ? expectedLines : QStringList());
        const QDir folder = QFileInfo(path).dir();
        const QStringList aside = folder.entryList({QFileInfo(path).fileName() + ".partly-read-*"});
        QCOMPARE(aside.size(), lossy ? 1 : 0);
        if (lossy) {
            QFile kept(folder.filePath(aside.first()));
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QVERIFY(kept.readAll() == content);
        }
    }

    // A change that cannot be written leaves a line in the application log; the file keeps
    // what it held, and later changes that can be written still are.
    void unwritableChangeIsLogged_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("folderIsAFile");
        QVariantList ids;
        for (const QString &id : numbered("com.example.a", int(PropertyList::maxTags / 2)))
            ids << id;
        QTest::newRow("list past the tag bound") << "ignoredBundleIDs" << QVariant(ids) << false;
        // Within what the file may hold, but into the room kept for the other settings.
        ids = ids.mid(0, (PropertyList::maxTags - UserDefaults::settingsRoom.tags) / 2);
        QTest::newRow("list into the settings' room") << "ignoredBundleIDs" << QVariant(ids) << false;
        QTest::newRow("past the container bound")
            << "extra" << QVariant(QVariantList(PropertyList::maxDepth, QVariantMap())) << false;
        QTest::newRow("folder is a file") << "safeMode" << QVariant(false) << true;
    }
    void unwritableChangeIsLogged()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QFETCH(bool, folderIsAFile);
        const QString tag = QString::fromLatin1(QTest::currentDataTag());
        QTemporaryDir home;
        AppLogger logger(home.path());
        const QString folder = m_config.filePath(tag);
        if (folderIsAFile)
            QVERIFY(QFile(folder).open(QIODevice::WriteOnly));
        const QString path = folder + QStringLiteral("/Quillmere.plist");
        UserDefaults defaults(path);
        defaults.setProblemLog([&logger](const QString &message) { logger.log(message); });
        defaults.setString(QStringLiteral("appLanguage"), QStringLiteral("de"));
        defaults.setValue(key, value);
        defaults.setBool(QStringLiteral("privacy.sentryEnabled"), false);

        QFile log(logger.logFilePath());
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString lines = QString::fromUtf8(log.readAll());
        QVERIFY2(lines.contains("] SETTINGS NOT SAVED: the change to \"" + key + "\" was not written to " + path), qPrintable(lines));
        UserDefaults reread(path);
        QVERIFY(!reread.contains(key));
        QCOMPARE(reread.boolValue(QStringLiteral("privacy.sentryEnabled")), folderIsAFile ? std::nullopt : std::optional(false));
        QCOMPARE(reread.string(QStringLiteral("appLanguage")).has_value(), !folderIsAFile);
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
