#include "platform/PropertyList.h"
#include "platform/ToolRunner.h"
#include "platform/UserDefaults.h"

#include "support/FakeMac.h"

#include <QtTest>

#include <QTemporaryDir>

#include <csignal>

namespace {

const QByteArray kXmlHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n";

QVariantMap everyKind()
{
    return {
        {"text", QStringLiteral("Grüße <&> \"quoted\"\nnext line")},
        {"empty text", QString()},
        {"yes", true},
        {"no", false},
        {"integer", qint64(1) << 40},
        {"negative", qint64(-42)},
        {"real", 3.5},
        // XML property lists keep whole seconds.
        {"date", QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::UTC)},
        {"date before 2001", QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59), Qt::UTC)},
        {"data", QByteArray("\x00\x01\xff bytes", 9)},
        {"list", QVariantList{QStringLiteral("a"), qint64(2), QVariantList{}, QVariantMap{{"k", true}}}},
        {"nested", QVariantMap{{"inner", QVariantMap{{"deep", QStringLiteral("value")}}}, {"empty", QVariantMap{}}}},
        {"\u30ad\u30fc", QStringLiteral("non-ASCII key")},
    };
}

// A valid XML property list of exactly `size` bytes.
QByteArray xmlOfSize(qint64 size)
{
    const QByteArray base = PropertyList::toXml({{"s", QString()}});
    return PropertyList::toXml({{"s", QString(size - base.size(), QLatin1Char('a'))}});
}

// A binary plist whose key "k" holds an array that references the next array
// `fanout` times, `levels` deep, down to one integer: a few bytes on disk,
// more than fanout^levels nodes once the references are followed.
QByteArray sharedArrays(int levels, int fanout)
{
    QByteArray plist("bplist00");
    QByteArray offsets;
    const auto object = [&](const QByteArray &bytes) {
        offsets += char(plist.size());
        plist += bytes;
    };
    object("\xd1\x01\x02");
    object("\x51k");
    for (int level = 0; level < levels; ++level)
        object(QByteArray(1, char(0xA0 | fanout)) + QByteArray(fanout, char(3 + level)));
    object(QByteArray("\x10\x07", 2));
    const auto bigEndian = [](quint64 value) {
        QByteArray bytes(8, '\0');
        qToBigEndian(value, bytes.data());
        return bytes;
    };
    const quint64 table = quint64(plist.size());
    return plist + offsets + QByteArray(6, '\0') + "\x01\x01" + bigEndian(quint64(offsets.size())) + bigEndian(0)
        + bigEndian(table);
}

// What the chatty tool writes to standard output.
QByteArray chattyOutput()
{
    QByteArray output = "abc";
    for (int n = 1; n <= 300000; ++n)
        output += QByteArray::number(n) + '\n';
    return output + "two\r\n\nfour";
}

} // namespace

class TestPlatform : public QObject
{
    Q_OBJECT

    QTemporaryDir m_config;
    FakeMac m_mac;
    int m_counter = 0;

    QString freshStore() { return m_mac.path(QStringLiteral("/config/store-%1/Quillmere.plist").arg(++m_counter)); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        QVERIFY(m_mac.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        QCOMPARE(UserDefaults::standard().filePath(), m_config.path() + QStringLiteral("/Quillmere/Quillmere.plist"));
    }

    // ---- UserDefaults

    // Thousands of custom locations and ignored IDs: the store holds far more
    // than other property lists may, and reads every key back.
    void storedValuesSurviveANewProcess()
    {
        const QString path = freshStore();
        QStringList locations, ids;
        for (int i = 0; i < 20000; ++i) {
            // 200 characters, most of them two bytes in UTF-8.
            locations << QStringLiteral("/Volumes/Archive/%1/").arg(i, 5, 10, QLatin1Char('0'))
                    + QString(177, QChar(0xe9));
            ids << QStringLiteral("com.example.vendor%1.application-with-a-long-name").arg(i);
        }
        {
            UserDefaults defaults(path);
            defaults.setBool(QStringLiteral("safeMode"), false);
            defaults.setStringList(QStringLiteral("customAppLocations"), locations);
            defaults.setStringList(QStringLiteral("ignoredBundleIDs"), ids);
            defaults.setString(QStringLiteral("gone"), QStringLiteral("x"));
            defaults.remove(QStringLiteral("gone"));
        }
        QVERIFY(QFileInfo(path).size() > PropertyList::maxFileSize);
        UserDefaults reread(path);
        QCOMPARE(reread.boolValue(QStringLiteral("safeMode")), std::optional(false));
        QCOMPARE(reread.stringList(QStringLiteral("customAppLocations")), std::optional(locations));
        QCOMPARE(reread.stringList(QStringLiteral("ignoredBundleIDs")), std::optional(ids));
        QVERIFY(!reread.contains(QStringLiteral("gone")));
    }

    // Read back from the file, so the stored types must have survived it.
    void wrongTypeReadsAsAbsent()
    {
        const QString path = freshStore();
        {
            UserDefaults defaults(path);
            defaults.setValue(QStringLiteral("bool"), qint64(0));
            defaults.setValue(QStringLiteral("text"), true);
            defaults.setValue(QStringLiteral("list"), QStringLiteral("/Applications"));
        }
        UserDefaults defaults(path);
        QVERIFY(defaults.contains(QStringLiteral("bool")));
        QCOMPARE(defaults.boolValue(QStringLiteral("bool"), true), true);
        QVERIFY(!defaults.string(QStringLiteral("text")));
        QVERIFY(!defaults.stringList(QStringLiteral("list")));
    }

    // An unreadable store reads as empty and is kept aside once, byte for byte, rather than
    // overwritten at the next write; a readable or empty one is not.
    void storeFileAtStart_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("unreadable");
        QTest::newRow("garbage") << QByteArray("not a property list \x01\x02") << true;
        QTest::newRow("truncated") << PropertyList::toXml({{"safeMode", false}}).chopped(12) << true;
        QTest::newRow("empty file") << QByteArray() << false;
        QTest::newRow("readable") << PropertyList::toXml({{"safeMode", false}}) << false;
    }
    void storeFileAtStart()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, unreadable);
        const QString path = freshStore();
        m_mac.createFile(path, content);

        UserDefaults defaults(path);
        if (unreadable)
            QCOMPARE(defaults.boolValue(QStringLiteral("safeMode"), true), true);
        defaults.setBool(QStringLiteral("updates.automatic"), false);
        defaults.setBool(QStringLiteral("safeMode"), true);
        QCOMPARE(UserDefaults(path).boolValue(QStringLiteral("updates.automatic")), std::optional(false));

        const QDir folder = QFileInfo(path).absoluteDir();
        const QStringList aside = folder.entryList({QStringLiteral("Quillmere.plist.unreadable-*")}, QDir::Files);
        QCOMPARE(folder.entryList(QDir::Files).size(), unreadable ? 2 : 1);
        if (!unreadable)
            return;
        QCOMPARE(aside.size(), 1);
        QFile kept(folder.filePath(aside.first()));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), content);
    }

    // A change that would leave a file the store cannot read is not written:
    // the file keeps the last readable settings and is never set aside.
    void unreadableChangeNotWritten()
    {
        const QString path = freshStore();
        const QVariantList containers(PropertyList::maxDepth + 1, QVariantMap());
        {
            UserDefaults defaults(path);
            defaults.setBool(QStringLiteral("safeMode"), false);
            defaults.setString(QStringLiteral("large"), QString(PropertyList::maxFileSize, QLatin1Char('x')));
            defaults.setValue(QStringLiteral("containers"), containers);
            QCOMPARE(defaults.contains(QStringLiteral("containers")), true); // for this process
        }
        UserDefaults reread(path);
        QCOMPARE(reread.boolValue(QStringLiteral("safeMode")), std::optional(false));
        QCOMPARE(reread.string(QStringLiteral("large"))->size(), PropertyList::maxFileSize);
        QVERIFY(!reread.contains(QStringLiteral("containers")));
        QCOMPARE(QFileInfo(path).absoluteDir().entryList(QDir::Files).size(), 1);
    }

    // ---- PropertyList

    // Shared references in a binary list are counted as often as the parser would copy them.
    void plistReading_data()
    {
        QTest::addColumn<QByteArray>("content"); // the tag "missing": no file
        QTest::addColumn<bool>("readable");
        const QByteArray xml = PropertyList::toXml(everyKind());
        const QByteArray binary = PropertyList::toBinary(everyKind());
        const int depth = PropertyList::maxDepth + 50;
        const QByteArray nested = QByteArray("<array>").repeated(depth) + QByteArray("</array>").repeated(depth);
        QVariantList values;
        for (int i = 0; i < 19997; ++i)
            values.append(qint64(i) * 1000);

        QTest::newRow("XML") << xml << true;
        QTest::newRow("binary") << binary << true;
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("named pipe") << QByteArray() << false; // would block the open for ever
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("truncated binary") << binary.left(binary.size() / 2) << false;
        QTest::newRow("binary without its trailer") << binary.chopped(8) << false;
        QTest::newRow("binary magic, garbage after") << QByteArray("bplist00") + QByteArray(64, '\xff') << false;
        QTest::newRow("malformed XML") << kXmlHeader + "<dict><key>a</key><string>b</dict></plist>" << false;
        QTest::newRow("top-level array") << kXmlHeader + "<array><string>a</string></array></plist>" << false;
        QTest::newRow("one byte over the cap") << xmlOfSize(PropertyList::maxFileSize + 1) << false;
        QTest::newRow("at the cap") << xmlOfSize(PropertyList::maxFileSize) << true;
        QTest::newRow("nested too deep") << kXmlHeader + "<dict><key>a</key>" + nested + "</dict></plist>" << false;
        QTest::newRow("579,197 nodes from 131 bytes") << sharedArrays(5, 14) << false;
        QTest::newRow("11,113 nodes, shared") << sharedArrays(4, 10) << true;
        QTest::newRow("20,000 distinct nodes") << PropertyList::toBinary({{"values", values}}) << true;
    }
    void plistReading()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, readable);
        const QString tag = QString::fromLatin1(QTest::currentDataTag());
        const QString path = m_mac.path("/plists/" + tag);
        if (tag == "named pipe")
            m_mac.createFifo("/plists/" + tag);
        else if (tag != "missing")
            m_mac.createFile(path, content);
        QCOMPARE(PropertyList::readFile(path).has_value(), readable);
        QCOMPARE(PropertyList::fromData(content).has_value(), readable);
        if (tag == "at the cap")
            QCOMPARE(PropertyList::readFile(path)->value("s").toString().size(), PropertyList::maxFileSize - xmlOfSize(0).size());
        if (tag == "XML" || tag == "binary") {
            const auto dict = PropertyList::readFile(path);
            QCOMPARE(dict, std::optional(everyKind()));
            QCOMPARE(dict->value(QStringLiteral("integer")).typeId(), int(QMetaType::LongLong));
            QCOMPARE(dict->value(QStringLiteral("yes")).typeId(), int(QMetaType::Bool));
        }
    }

    // Beyond the general cap, under the store's larger limit: only XML, and only
    // as few containers and tags as the parser handles in a small file.
    void largeOwnFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("readable");
        const QByteArray large = xmlOfSize(PropertyList::maxFileSize + 1);
        const auto listOf = [](const QByteArray &element, qsizetype count) {
            return kXmlHeader + "<dict><key>s</key><string>" + QByteArray(PropertyList::maxFileSize, 's')
                + "</string><key>a</key><array>" + element.repeated(count) + "</array></dict></plist>";
        };
        const int depth = 300000; // deep enough to overflow the parser's stack
        const QByteArray nested = QByteArray("<array>").repeated(depth) + QByteArray("</array>").repeated(depth);
        QTest::newRow("XML over the general cap") << large << true;
        QTest::newRow("binary over the general cap")
            << PropertyList::toBinary({{"s", QString(PropertyList::maxFileSize, QLatin1Char('a'))}}) << false;
        QTest::newRow("too many containers") << listOf("<array/>", PropertyList::maxDepth) << false;
        QTest::newRow("nested 300,000 deep") << kXmlHeader + "<dict><key>a</key>" + nested + "</dict></plist>" << false;
        QTest::newRow("too many tags") << listOf("<true/>", PropertyList::maxTags) << false;
        QTest::newRow("many tags") << listOf("<true/>", PropertyList::maxTags - 20) << true;
        // The file's own tags and containers, then one-tag elements up to the total.
        const QByteArray empty = listOf({}, 0);
        const auto tags = [&](qsizetype total) { return listOf("<true/>", total - empty.count('<')); };
        const auto containers = [&](qsizetype total) { return listOf("<array/>", total - 2); };
        QTest::newRow("tags one under the limit") << tags(PropertyList::maxTags - 1) << true;
        QTest::newRow("tags at the limit") << tags(PropertyList::maxTags) << true;
        QTest::newRow("tags one past the limit") << tags(PropertyList::maxTags + 1) << false;
        QTest::newRow("containers one under the limit") << containers(PropertyList::maxDepth - 1) << true;
        QTest::newRow("containers at the limit") << containers(PropertyList::maxDepth) << true;
        QTest::newRow("containers one past the limit") << containers(PropertyList::maxDepth + 1) << false;
        QTest::newRow("size at the store's limit") << xmlOfSize(UserDefaults::maxFileSize) << true;
        QTest::newRow("size one byte past the store's limit") << xmlOfSize(UserDefaults::maxFileSize + 1) << false;
    }
    void largeOwnFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, readable);
        QVERIFY(content.size() > PropertyList::maxFileSize);
        const QString path = m_mac.createFile("/plists/large " + QString::fromLatin1(QTest::currentDataTag()), content);
        QCOMPARE(PropertyList::readFile(path, UserDefaults::maxFileSize).has_value(), readable);
        QCOMPARE(PropertyList::fromData(content, UserDefaults::maxFileSize).has_value(), readable);
        QVERIFY(!PropertyList::readFile(path));
    }

    // Lists nested as deep as the reader allows are read; one level deeper is not.
    void nestingDepth_data()
    {
        QTest::addColumn<int>("depth"); // lists inside the top-level dictionary, the innermost empty
        QTest::addColumn<bool>("readable");
        QTest::newRow("one under the limit") << PropertyList::maxDepth - 1 << true;
        QTest::newRow("at the limit") << PropertyList::maxDepth << true;
        QTest::newRow("one past the limit") << PropertyList::maxDepth + 1 << false;
    }
    void nestingDepth()
    {
        QFETCH(int, depth);
        QFETCH(bool, readable);
        const QByteArray nested = QByteArray("<array>").repeated(depth) + QByteArray("</array>").repeated(depth);
        const QByteArray content = kXmlHeader + "<dict><key>a</key>" + nested + "</dict></plist>";
        const QString path = m_mac.createFile("/plists/nested " + QString::fromLatin1(QTest::currentDataTag()), content);
        const auto dict = PropertyList::readFile(path);
        QCOMPARE(dict.has_value(), readable);
        QCOMPARE(PropertyList::fromData(content).has_value(), readable);
        int read = 0;
        for (QVariant v = dict ? dict->value("a") : QVariant(); v.typeId() == QMetaType::QVariantList;
             v = v.toList().value(0))
            ++read;
        QCOMPARE(read, readable ? depth : 0);
    }

    // What a bounded read keeps of a text past its bounds (here mostly a small size limit).
    void boundedRead_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<qint64>("sizeLimit");
        QTest::addColumn<int>("spareTags");
        QTest::addColumn<QVariant>("expected"); // a map; invalid: unreadable
        QTest::addColumn<bool>("complete");
        QTest::addColumn<QStringList>("shortened");

        const auto plist = [](const QByteArray &entries) { return kXmlHeader + "<dict>" + entries + "</dict></plist>"; };
        const QByteArray setting = "<key>safeMode</key><false/>";
        QVariantList ids;
        QByteArray idList = "<key>ids</key><array>";
        for (int i = 0; i < 10; ++i) {
            ids << QStringLiteral("com.example.%1").arg(i) + QString(300, QLatin1Char('x'));
            idList += "\n<string>" + ids.last().toString().toUtf8() + "</string>";
        }
        idList += "</array>";
        const QByteArray store = plist(setting + idList);
        const qint64 large = UserDefaults::maxFileSize;
        const QVariantMap all{{"safeMode", false}, {"ids", ids}};
        const auto kept = [&](int n) { return QVariant(QVariantMap{{"safeMode", false}, {"ids", ids.mid(0, n)}}); };
        const auto row = [](const char *tag, const QByteArray &content, qint64 limit, int spare, const QVariant &expected,
                            bool complete, const QStringList &shortened) {
            QTest::newRow(tag) << content << limit << spare << expected << complete << shortened;
        };
        const qsizetype fifth = store.indexOf("com.example.4");
        const QByteArray nestedDicts = QByteArray("<dict><key>k</key>").repeated(600) + "<true/>"
            + QByteArray("</dict>").repeated(600);
        const QByteArray nestedLists = QByteArray("<array>").repeated(600) + QByteArray("</array>").repeated(600);
        QVariantList emptyLists;
        for (int i = 0; i < PropertyList::maxDepth - 3; ++i)
            emptyLists.append(QVariant(QVariantList()));

        row("within the bounds", store, large, 0, all, true, {});
        row("cut inside the fifth ID", store, fifth + 250, 0, kept(4), false, {"ids"});
        const QByteArray longText = "<key>text</key><string>" + QByteArray(1000, 'y') + "</string>";
        const QByteArray cutText = plist(idList + longText + setting);
        row("cut inside a setting", cutText, cutText.indexOf("yyy") + 500, 0, QVariantMap{{"ids", ids}}, false, {});
        row("cut past the end", store + QByteArray(300, '\n'), store.size() + 200, 0, all, true, {});
        row("deep dictionary left out", plist(setting + "<key>deep</key>" + nestedDicts), large, 0,
            QVariantMap{{"safeMode", false}}, false, {"deep"});
        row("deep list kept empty", plist(setting + "<key>deep</key>" + nestedLists), large, 0,
            QVariantMap{{"safeMode", false}, {"deep", QVariantList()}}, false, {"deep"});
        row("long list cut, short one kept whole",
            plist("<key>long</key><array>" + QByteArray("<array/>").repeated(600) + "</array>" + idList), large, 0,
            QVariantMap{{"long", emptyLists}, {"ids", ids}}, false, {"long"});
        // Lists leave the settings their room: here ten one-tag elements, besides the document's
        // six tags and the list's four.
        row("one-tag elements up to the room",
            plist(setting + "<key>flags</key><array>" + QByteArray("<true/>").repeated(12) + "</array>"), large,
            PropertyList::maxTags - 6 - (4 + 10), QVariantMap{{"safeMode", false}, {"flags", QVariantList(10, true)}},
            false, {"flags"});
        row("markup in comments and character data",
            plist(setting + "<key>ids</key><array><!-- <dict> --><string><![CDATA[</string><array>]]></string>"
                  + idList.mid(idList.indexOf("\n"))),
            large, 0, QVariantMap{{"safeMode", false}, {"ids", QVariantList{"</string><array>"} + ids}},
            true, {});
        // Markup before the store that reads like a store: XML and the parser must agree where it ends.
        const QByteArray decoy = "<plist><dict><key>safeMode</key><true/><key>ids</key><array><string>x</string>";
        const auto withDoctype = [&](const QByteArray &doctype) {
            return kXmlHeader.first(kXmlHeader.indexOf('\n') + 1) + doctype + kXmlHeader.mid(kXmlHeader.indexOf('\n') + 1)
                + "<dict>" + setting + idList + "</dict></plist>";
        };
        const QByteArray inLiteral = withDoctype("<!DOCTYPE plist SYSTEM \"" + decoy + "\">");
        row("store in a literal, cut", inLiteral, inLiteral.indexOf("com.example.4") + 250, 0, kept(4), false, {"ids"});
        const QByteArray inSubset = withDoctype("<!DOCTYPE plist [<!ENTITY a \"]\"><!ENTITY b '" + decoy + "'>]>");
        row("store in the internal subset, cut", inSubset, inSubset.indexOf("com.example.4") + 250, 0, kept(4), false,
            {"ids"});
        // The parser knows no single quotes, and quotes in instructions: it would read the decoy.
        const QByteArray singleQuoted = withDoctype("<!DOCTYPE plist SYSTEM '" + decoy + "</array></dict></plist>'>");
        row("store in a single-quoted literal", singleQuoted, large, 0, QVariant(), true, {});
        row("store in a single-quoted literal, cut", singleQuoted, singleQuoted.indexOf("com.example.4"), 0, QVariant(),
            true, {});
        row("instruction ending inside double quotes",
            withDoctype("<?a \"?>" + decoy + "</array></dict></plist><?b \"?>"), large, 0, QVariant(), true, {});
        row("malformed", plist(setting + "<key>a</key><string>b</dict>"), large, 0, QVariant(), true, {});
        row("malformed past the bounds", plist(setting + "<key>deep</key>" + nestedLists + "<string></dict>"), large, 0,
            QVariant(), true, {});
        row("binary", PropertyList::toBinary(all), large, 0, all, true, {});
        row("binary past the size limit", PropertyList::toBinary(all), 100, 0, QVariant(), true, {});
    }
    void boundedRead()
    {
        QFETCH(QByteArray, content);
        QFETCH(qint64, sizeLimit);
        QFETCH(int, spareTags);
        QFETCH(QVariant, expected);
        QFETCH(bool, complete);
        QFETCH(QStringList, shortened);
        const QString path = m_mac.createFile("/plists/bounded " + QString::fromLatin1(QTest::currentDataTag()), content);
        const PropertyList::BoundedRead read = PropertyList::readFileBounded(path, sizeLimit, {spareTags, 0, 0});
        QCOMPARE(read.values.has_value(), expected.isValid());
        if (!read.values)
            return;
        QCOMPARE(*read.values, expected.toMap());
        QCOMPARE(read.complete, complete);
        QCOMPARE(read.shortened, shortened);
        // What was read can be written back and read whole.
        QVERIFY(PropertyList::readsBackWhole(PropertyList::toXml(*read.values), sizeLimit, {spareTags, 0, 0})
                || content.startsWith("bplist00"));
    }

    // ---- ToolRunner

    // Another exit code is in childHoldingThePipes.
    void exitStatus_data()
    {
        QTest::addColumn<QByteArray>("body"); // "missing": a tool that cannot start
        QTest::addColumn<QString>("expected"); // started, succeeded, crashed, exit code
        QTest::newRow("success") << QByteArray("exit 0\n") << "1 1 0 0";
        QTest::newRow("killed by a signal") << QByteArray("kill -KILL $$\n") << "1 0 1 -1";
        QTest::newRow("missing") << QByteArray("missing") << "0 0 0 -1";
    }
    void exitStatus()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        const QString path = QStringLiteral("/bin/exit-") + QString::fromLatin1(QTest::currentDataTag());
        ToolRunner runner;
        runner.setToolPath("/usr/bin/pkill", body == "missing" ? m_mac.path(path) : m_mac.createScript(path, body));
        const ToolResult r = runner.run(QStringLiteral("/usr/bin/pkill"), {});
        const QString got = QStringLiteral("%1 %2 %3 %4").arg(r.started).arg(r.succeeded()).arg(r.crashed).arg(r.exitCode);
        QCOMPARE(got, expected);
        QCOMPARE(r.errorString.isEmpty(), r.started);
        QVERIFY(!r.timedOut);
    }

    // Standard error fills far beyond any pipe buffer while nothing arrives on
    // standard output; then lines that cross many read chunks, the last without a line feed.
    void largeOutputOnBothStreams_data()
    {
        QTest::addColumn<int>("mode"); // -1: capture, lines through the callback
        QTest::addColumn<int>("captureLimit"); // 0: the default
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QByteArray>("error");
        const int capture = int(ToolRunner::OutputMode::Capture);
        const QByteArray error(3'000'000, 'e');
        QTest::newRow("capture") << capture << 0 << chattyOutput() << error;
        QTest::newRow("discard") << int(ToolRunner::OutputMode::Discard) << 0 << QByteArray() << QByteArray();
        QTest::newRow("limit keeps the start") << capture << 1000 << chattyOutput().left(1000) << error.left(1000);
        QTest::newRow("lines") << -1 << 0 << QByteArray() << error;
    }
    void largeOutputOnBothStreams()
    {
        QFETCH(int, mode);
        QFETCH(int, captureLimit);
        QFETCH(QByteArray, output);
        QFETCH(QByteArray, error);
        ToolRunner runner;
        runner.setToolPath(QStringLiteral("/usr/bin/osascript"),
                           m_mac.createScript(QStringLiteral("/bin/chatty"),
                                              "printf abc\nhead -c 3000000 /dev/zero | tr '\\000' e >&2\n"
                                              "seq 1 300000\nprintf 'two\\r\\n\\nfour'\n"));
        ToolRunner::Options options;
        options.output = ToolRunner::OutputMode(qMax(mode, 0));
        if (captureLimit > 0)
            options.captureLimit = captureLimit;
        QList<QByteArray> lines;
        if (mode < 0)
            options.onOutputLine = [&lines](const QByteArray &line) { lines.append(line); };
        const ToolResult result = runner.run(QStringLiteral("/usr/bin/osascript"), {}, options);
        QVERIFY(result.succeeded());
        QCOMPARE(result.standardOutput, output);
        QCOMPARE(result.standardError, error);
        if (mode < 0)
            QCOMPARE(lines, chattyOutput().replace("\r\n", "\n").split('\n'));
    }

    // A script's child keeps the pipes open after the script has ended or been
    // killed: the run must not wait for the pipes to close, and a time-out
    // stops the child as well.
    void childHoldingThePipes_data()
    {
        QTest::addColumn<QByteArray>("ending");
        QTest::addColumn<bool>("timesOut");
        QTest::newRow("tool exits") << QByteArray("exit 3\n") << false;
        QTest::newRow("tool times out") << QByteArray("sleep 600\n") << true;
    }
    void childHoldingThePipes()
    {
        QFETCH(QByteArray, ending);
        QFETCH(bool, timesOut);
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-'));
        const QString pidFile = m_mac.path(QStringLiteral("/child-") + tag);
        const QString script = m_mac.createScript(
            QStringLiteral("/bin/parent-") + tag,
            "sleep 600 &\necho $! > '" + pidFile.toUtf8() + "'\necho started\n" + ending);
        ToolRunner runner;
        runner.setToolPath(QStringLiteral("/usr/bin/sfltool"), script);
        ToolRunner::Options options;
        options.timeoutMs = timesOut ? 300 : 60'000;
        const ToolResult result = runner.run(QStringLiteral("/usr/bin/sfltool"), {}, options);

        QFile file(pidFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const pid_t child = pid_t(file.readAll().trimmed().toInt());
        QVERIFY(child > 0);
        const auto running = [child] {
            QFile stat(QStringLiteral("/proc/%1/stat").arg(child));
            if (!stat.open(QIODevice::ReadOnly))
                return false;
            const QByteArray text = stat.readAll();
            const qsizetype close = text.lastIndexOf(')');
            return close >= 0 && close + 2 < text.size() && text.at(close + 2) != 'Z';
        };
        if (!timesOut)
            ::kill(child, SIGKILL);

        const QString got = QStringLiteral("%1 %2 %3 %4 %5").arg(result.started).arg(result.crashed)
                                .arg(result.timedOut).arg(result.exitCode).arg(result.standardOutput);
        QCOMPARE(got, timesOut ? QStringLiteral("1 0 1 -1 started\n") : QStringLiteral("1 0 0 3 started\n"));
        QTRY_VERIFY(!running());
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
