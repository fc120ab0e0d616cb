#include "core/AppcastEntry.h"
#include "core/UpdateChecker.h"
#include "platform/UserDefaults.h"
#include "support/LocalHttpServer.h"
#include "support/RecordingWorkspace.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// JSON written with single quotes, which keeps the tables readable.
QByteArray json(const char *text)
{
    return QByteArray(text).replace('\'', '"');
}

const QByteArray goodFeed = json("{'version':'2.0','build':'200','downloadURL':'https://example.org/Quillmere-2.0.zip',"
                                 "'notes':'Faster scans.','publishedAt':'2024-05-01T10:00:00Z'}");

QByteArray feedWithVersion(const QString &version, const QString &url = QStringLiteral("https://example.org/q.zip"))
{
    return QStringLiteral("{\"version\":\"%1\",\"downloadURL\":\"%2\"}").arg(version, url).toUtf8();
}

const QDateTime fixedNow = QDateTime(QDate(2024, 6, 1), QTime(12, 0), Qt::UTC);

} // namespace

class TestUpdateChecker : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<UserDefaults> m_defaults;
    RecordingWorkspace m_workspace;

    std::unique_ptr<UpdateChecker> makeChecker(const QUrl &feed, int timeoutMs = 5000)
    {
        auto checker = std::make_unique<UpdateChecker>(*m_defaults, m_workspace, feed, timeoutMs);
        checker->setClock([] { return fixedNow; });
        return checker;
    }

    // Runs one networked check to its end.
    static bool runCheck(UpdateChecker &checker, bool silent)
    {
        QSignalSpy finished(&checker, &UpdateChecker::checkFinished);
        checker.check(silent);
        return finished.wait(10000);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_defaults = std::make_unique<UserDefaults>(m_dir->filePath(QStringLiteral("defaults.plist")));
        m_workspace.openedUrls.clear();
    }

    void compareVersions_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("expected");
        QTest::newRow("numeric not textual") << "1.10" << "1.9" << 1;
        QTest::newRow("missing piece is zero") << "1.0" << "1" << 0;
        QTest::newRow("extra piece") << "1.0.1" << "1.0" << 1;
        QTest::newRow("empty pieces dropped") << "1..2" << "1.2" << 0;
        QTest::newRow("both empty") << "" << "" << 0;
        QTest::newRow("leading zero") << "01" << "1" << 0;
        QTest::newRow("plus sign") << "+1" << "1" << 0;
        QTest::newRow("suffix letters") << "2.0b" << "2.0a" << 1;
        QTest::newRow("suffix is text") << "1.2-beta" << "1.2" << 1;
        QTest::newRow("letter prefix") << "V2" << "1" << 1;
        QTest::newRow("negative") << "-1" << "1" << -1;
        QTest::newRow("only dots") << "..." << "0" << 0;
        QTest::newRow("empty against zero") << "" << "0.0" << 0;
        QTest::newRow("beyond 64 bits is text") << "10000000000000000000" << "9" << -1;
        QTest::newRow("64-bit limit is a number") << "9223372036854775807" << "10" << 1;
        QTest::newRow("blank is not a digit") << " 1" << "1" << -1;
        QTest::newRow("case-sensitive") << "1.a" << "1.B" << 1;
        QTest::newRow("canonically equal") << "1.\u00e9" << "1.e\u0301" << 0;
        QTest::newRow("code point order") << "\uffff" << "\U0001F600" << -1;
    }
    void compareVersions()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, expected);
        QCOMPARE(UpdateChecker::compareVersions(a, b), expected);
        QCOMPARE(UpdateChecker::compareVersions(b, a), -expected);
    }

    void currentVersionIsTheBuildVersion()
    {
        QCOMPARE(UpdateChecker::currentVersion(), QStringLiteral("1.0.0"));
    }

    void decodeFeed_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("ok");
        QTest::newRow("full") << goodFeed << true;
        QTest::newRow("required only") << json("{'version':'1','downloadURL':'u'}") << true;
        QTest::newRow("extra keys") << json("{'version':'1','downloadURL':'u','size':5,'x':{}}") << true;
        QTest::newRow("null optionals")
            << json("{'version':'1','downloadURL':'u','notes':null,'build':null,'publishedAt':null}") << true;
        QTest::newRow("number version") << json("{'version':2,'downloadURL':'u'}") << false;
        QTest::newRow("null version") << json("{'version':null,'downloadURL':'u'}") << false;
        QTest::newRow("missing downloadURL") << json("{'version':'1'}") << false;
        QTest::newRow("number build") << json("{'version':'1','downloadURL':'u','build':7}") << false;
        QTest::newRow("bool notes") << json("{'version':'1','downloadURL':'u','notes':false}") << false;
        QTest::newRow("array") << json("[{'version':'1','downloadURL':'u'}]") << false;
        QTest::newRow("string") << json("'1.0'") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("trailing garbage") << json("{'version':'1','downloadURL':'u'} x") << false;
        QTest::newRow("html") << QByteArray("<html><body>Not here</body></html>") << false;
    }
    void decodeFeed()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, ok);
        QString error;
        const std::optional<AppcastEntry> entry = AppcastEntry::fromJson(body, &error);
        QCOMPARE(entry.has_value(), ok);
        QCOMPARE(error.isEmpty(), ok);
    }

    void goodFeedIsPublished_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("notes"); // null: none
        QTest::addColumn<QString>("build");
        QTest::newRow("full") << goodFeed << "2.0" << "Faster scans." << "200";
        QTest::newRow("extra keys")
            << json("{'version':'3','downloadURL':'https://e.org/x','minOS':'12','size':1}")
            << "3" << QString() << QString();
        QTest::newRow("null notes")
            << json("{'version':'3.1','downloadURL':'https://e.org/x','notes':null}")
            << "3.1" << QString() << QString();
    }
    void goodFeedIsPublished()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, version);
        QFETCH(QString, notes);
        QFETCH(QString, build);
        LocalHttpServer server;
        server.setJson(body);
        auto checker = makeChecker(server.url());
        QSignalSpy checking(checker.get(), &UpdateChecker::isCheckingChanged);
        QSignalSpy latestChanged(checker.get(), &UpdateChecker::latestChanged);

        QSignalSpy finished(checker.get(), &UpdateChecker::checkFinished);
        checker->check(false);
        QVERIFY(checker->isChecking());
        QVERIFY(finished.wait(10000));
        QVERIFY(!checker->isChecking());

        QVERIFY(checker->latest());
        QCOMPARE(checker->latest()->version, version);
        QCOMPARE(checker->latest()->notes, notes.isNull() ? std::nullopt : std::optional(notes));
        QCOMPARE(checker->latest()->build, build.isNull() ? std::nullopt : std::optional(build));
        QCOMPARE(checker->lastError(), std::nullopt);
        QCOMPARE(checker->lastCheckedAt(), std::optional(fixedNow));
        QCOMPARE(m_defaults->date(QStringLiteral("updates.lastChecked")), std::optional(fixedNow));
        QCOMPARE(latestChanged.count(), 1);
        QCOMPARE(checking.count(), 2);
        QCOMPARE(server.requestCount(), 1);
        QVERIFY(server.requests().first().startsWith("GET /feed.json HTTP/1.1\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestUpdateChecker)
#include "tst_update_checker.moc"
