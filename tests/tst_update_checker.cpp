#include "core/AppcastEntry.h"
#include "core/UpdateChecker.h"
#include "platform/UserDefaults.h"
#include "support/LocalHttpServer.h"
#include "support/RecordingWorkspace.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using Optional = std::optional<QString>;
Q_DECLARE_METATYPE(Optional)

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
        QTest::newRow("empty pieces dropped") << "1..2" << "1.2" << 0;
        QTest::newRow("plus sign") << "+1" << "1" << 0;
        QTest::newRow("blank is not a digit") << " 1" << "1" << -1;
        QTest::newRow("case-sensitive") << "1.a" << "1.B" << 1;
        QTest::newRow("canonically equal") << "1.\u00e9" << "1.e\u0301" << 0;
        QTest::newRow("code point order") << "\uffff" << "\U0001F600" << -1;
        // Unequal lengths: the shorter text reads "0" where it has no piece.
        QTest::newRow("extra zero piece") << "1.2" << "1.2.0" << 0;
        QTest::newRow("two extra zero pieces") << "1.2.0.0" << "1.2" << 0;
        QTest::newRow("extra zero written twice") << "1.2.00" << "1.2" << 0;
        QTest::newRow("extra signed zero") << "1.2" << "1.2.+0" << 0;
        QTest::newRow("extra piece, shorter older") << "1.2" << "1.2.1" << -1;
        QTest::newRow("extra piece, longer newer") << "1.2.1" << "1.2" << 1;
        QTest::newRow("non-zero piece after zeros") << "1.2.0.0.1" << "1.2" << 1;
        QTest::newRow("extra negative piece") << "1.2.-1" << "1.2" << -1;
        QTest::newRow("earlier piece decides over length") << "1.3" << "1.2.9" << 1;
        // A piece that is not a number meets the padding "0" as text.
        QTest::newRow("extra text piece after 0") << "1.2.beta" << "1.2" << 1;
        QTest::newRow("extra text piece before 0") << "1.2" << "1.2.!" << 1;
        QTest::newRow("extra text piece starting with 0") << "1.2.0a" << "1.2" << 1;
    }
    void compareVersions()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, expected);
        QCOMPARE(UpdateChecker::compareVersions(a, b), expected);
        QCOMPARE(UpdateChecker::compareVersions(b, a), -expected);
    }

    // The optional fields read as absent when missing or null, as text when given;
    // any other value, or a null where a value is required, fails the feed.
    void optionalFeedFields_data()
    {
        QTest::addColumn<QByteArray>("feed");
        QTest::addColumn<bool>("decoded");
        QTest::addColumn<Optional>("build");
        QTest::addColumn<Optional>("notes");
        QTest::addColumn<Optional>("publishedAt");
        const QJsonObject given{{"version", "2.0"},
                                {"downloadURL", "https://example.org/q.zip"},
                                {"build", "200"},
                                {"notes", "Faster scans."},
                                {"publishedAt", "2024-05-01T10:00:00Z"}};
        const auto feed = [&](const QStringList &absent, const QStringList &null) {
            QJsonObject object = given;
            for (const QString &key : absent)
                object.remove(key);
            for (const QString &key : null)
                object.insert(key, QJsonValue::Null);
            return QJsonDocument(object).toJson(QJsonDocument::Compact);
        };
        const auto text = [&](const char *key) { return Optional(given.value(QLatin1String(key)).toString()); };
        const QStringList optional{"build", "notes", "publishedAt"};
        QTest::newRow("all given") << feed({}, {}) << true << text("build") << text("notes") << text("publishedAt");
        QTest::newRow("all absent") << feed(optional, {}) << true << Optional() << Optional() << Optional();
        QTest::newRow("all null") << feed({}, optional) << true << Optional() << Optional() << Optional();
        for (const QString &key : optional) {
            for (const bool isNull : {false, true}) {
                const auto value = [&](const char *field) { return key == QLatin1String(field) ? Optional() : text(field); };
                QTest::addRow("%s %s", qPrintable(key), isNull ? "null" : "absent")
                    << (isNull ? feed({}, {key}) : feed({key}, {})) << true << value("build") << value("notes")
                    << value("publishedAt");
            }
        }
        QTest::newRow("notes empty") << json("{'version':'2.0','downloadURL':'u','notes':''}") << true << Optional()
                                     << Optional(QString()) << Optional();
        QTest::newRow("version null") << feed({}, {"version"}) << false << Optional() << Optional() << Optional();
        QTest::newRow("downloadURL null") << feed({}, {"downloadURL"}) << false << Optional() << Optional()
                                          << Optional();
        QTest::newRow("publishedAt a number") << json("{'version':'2.0','downloadURL':'u','publishedAt':20240501}")
                                              << false << Optional() << Optional() << Optional();
        QTest::newRow("notes a list") << json("{'version':'2.0','downloadURL':'u','notes':['a']}") << false
                                      << Optional() << Optional() << Optional();
    }
    void optionalFeedFields()
    {
        QFETCH(QByteArray, feed);
        QFETCH(bool, decoded);
        QFETCH(Optional, build);
        QFETCH(Optional, notes);
        QFETCH(Optional, publishedAt);
        LocalHttpServer server;
        server.setJson(feed);
        auto checker = makeChecker(server.url());
        QVERIFY(runCheck(*checker, false));
        QCOMPARE(checker->latest().has_value(), decoded);
        QCOMPARE(checker->lastError().has_value(), !decoded);
        if (!decoded)
            return;
        QCOMPARE(checker->latest()->version, QStringLiteral("2.0"));
        QCOMPARE(checker->latest()->build, build);
        QCOMPARE(checker->latest()->notes, notes);
        QCOMPARE(checker->latest()->publishedAt, publishedAt);
    }

    // A failed check keeps what an earlier check published; only a check
    // that reports errors publishes one.
    void failedCheckKeepsState_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QString>("errorPart");
        const QList<std::pair<const char *, const char *>> failures{
            {"missing downloadURL", "\"downloadURL\""},
            {"build not a text", "not a text"},
            {"html error page", "not valid JSON"},
            {"never answers", "timed out"},
            {"closed port", "refused"},
            {"body too large", "larger than"},
        };
        for (const auto &[failure, errorPart] : failures)
            QTest::newRow(failure) << failure << false << errorPart;
        QTest::newRow("html error page, silent") << "html error page" << true << QString();
    }
    void failedCheckKeepsState()
    {
        QFETCH(QString, failure);
        QFETCH(bool, silent);
        QFETCH(QString, errorPart);
        LocalHttpServer server;
        server.setJson(goodFeed);
        // Only the server that never answers needs the short time-out.
        auto checker = makeChecker(server.url(), failure == QLatin1String("never answers") ? 300 : 5000);
        QVERIFY(runCheck(*checker, false));
        QVERIFY(checker->latest());
        checker->setClock([] { return fixedNow.addDays(3); });

        if (failure == QLatin1String("missing downloadURL"))
            server.setJson(json("{'version':'9.0'}"));
        else if (failure == QLatin1String("build not a text"))
            server.setJson(json("{'version':'9.0','downloadURL':'u','build':7}"));
        else if (failure == QLatin1String("html error page"))
            server.setResponse({500, "<html><body><h1>Internal Server Error</h1></body></html>", "text/html"});
        else if (failure == QLatin1String("never answers"))
            server.setMode(LocalHttpServer::Mode::hold);
        else if (failure == QLatin1String("closed port"))
            server.close();
        else if (failure == QLatin1String("body too large"))
            server.setJson("{\"version\":\"9.0\",\"downloadURL\":\"https://e.org/x\",\"notes\":\""
                           + QByteArray(UpdateChecker::maxFeedBytes + 1, 'x') + "\"}");

        QVERIFY(runCheck(*checker, false)); // leaves an error behind
        QVERIFY(checker->lastError());
        QSignalSpy latestChanged(checker.get(), &UpdateChecker::latestChanged);
        QSignalSpy errorChanged(checker.get(), &UpdateChecker::lastErrorChanged);

        QVERIFY(runCheck(*checker, silent));

        QVERIFY(!checker->isChecking());
        QCOMPARE(latestChanged.count(), 0);
        QCOMPARE(checker->latest(), AppcastEntry::fromJson(goodFeed));
        QCOMPARE(checker->lastCheckedAt(), std::optional(fixedNow));
        QCOMPARE(m_defaults->date(QStringLiteral("updates.lastChecked")), std::optional(fixedNow));
        if (silent) {
            // Cleared at the start and not set again.
            QCOMPARE(checker->lastError(), std::nullopt);
            QCOMPARE(errorChanged.count(), 1);
        } else {
            QVERIFY2(checker->lastError() && checker->lastError()->contains(errorPart, Qt::CaseInsensitive),
                     qPrintable(checker->lastError().value_or(QStringLiteral("<none>"))));
        }
    }

    void unconfiguredFeed_data()
    {
        QTest::addColumn<QUrl>("feed");
        QTest::addColumn<bool>("silent");
        QTest::newRow("empty") << QUrl() << false;
        QTest::newRow("invalid, silent") << QUrl(QStringLiteral("http://exa mple.org/"), QUrl::StrictMode) << true;
    }
    void unconfiguredFeed()
    {
        QFETCH(QUrl, feed);
        QFETCH(bool, silent);
        auto checker = makeChecker(feed);
        QSignalSpy checking(checker.get(), &UpdateChecker::isCheckingChanged);
        QSignalSpy error(checker.get(), &UpdateChecker::lastErrorChanged);
        QSignalSpy finished(checker.get(), &UpdateChecker::checkFinished);
        checker->check(silent);
        QCoreApplication::processEvents();
        QCOMPARE(checking.count(), 0);
        QCOMPARE(finished.count(), 0);
        QCOMPARE(error.count(), silent ? 0 : 1);
        QCOMPARE(checker->lastError(),
                 silent ? std::nullopt : std::optional(QStringLiteral("Update feed URL not configured.")));
    }

    // Each check clears the flag at its own end and publishes its own outcome.
    void overlappingChecks()
    {
        LocalHttpServer server;
        server.setMode(LocalHttpServer::Mode::hold);
        auto checker = makeChecker(server.url());
        QSignalSpy finished(checker.get(), &UpdateChecker::checkFinished);
        QSignalSpy latestChanged(checker.get(), &UpdateChecker::latestChanged);
        checker->check(false);
        checker->check(false);
        QTRY_COMPARE(server.requestCount(), 2);
        QVERIFY(server.requests().first().startsWith("GET /feed.json HTTP/1.1\r\n"));
        QVERIFY(checker->isChecking());

        QVERIFY(server.answerHeld({200, feedWithVersion(QStringLiteral("2.5")), "application/json"}));
        QVERIFY(finished.wait(10000));
        QVERIFY(!checker->isChecking());
        QCOMPARE(checker->latest()->version, QStringLiteral("2.5"));
        QCOMPARE(latestChanged.count(), 1);
        QCOMPARE(checker->lastError(), std::nullopt);

        QVERIFY(server.answerHeld({500, "<html>busy</html>", "text/html"}));
        QTRY_COMPARE(finished.count(), 2);
        QVERIFY(!checker->isChecking());
        QCOMPARE(checker->latest()->version, QStringLiteral("2.5"));
        QVERIFY(checker->lastError());
    }

    void checkIfDue_data()
    {
        QTest::addColumn<QVariant>("automatic"); // invalid: not stored
        QTest::addColumn<QVariant>("lastChecked");
        QTest::addColumn<qint64>("age"); // seconds before now
        QTest::addColumn<bool>("due");
        const QVariant none;
        const QVariant date(fixedNow);
        QTest::newRow("never checked") << none << none << qint64(0) << true;
        QTest::newRow("just under 23 hours") << none << date << qint64(82'799) << false;
        QTest::newRow("23 hours") << none << date << qint64(82'800) << true;
        QTest::newRow("last check in the future") << none << date << qint64(-60) << false;
        QTest::newRow("automatic off") << QVariant(false) << none << qint64(0) << false;
    }
    void checkIfDue()
    {
        QFETCH(QVariant, automatic);
        QFETCH(QVariant, lastChecked);
        QFETCH(qint64, age);
        QFETCH(bool, due);
        if (automatic.isValid())
            m_defaults->setValue(QStringLiteral("updates.automatic"), automatic);
        if (lastChecked.isValid())
            m_defaults->setValue(QStringLiteral("updates.lastChecked"), lastChecked);
        LocalHttpServer server;
        server.setResponse({500, "<html>down</html>", "text/html"});
        auto checker = makeChecker(server.url());
        const QDateTime now = fixedNow.addSecs(age);
        checker->setClock([now] { return now; });
        QSignalSpy finished(checker.get(), &UpdateChecker::checkFinished);

        checker->checkIfDue();
        QVERIFY(!checker->isChecking()); // started later, never inside the call
        QCoreApplication::sendPostedEvents(checker.get());
        QCOMPARE(checker->isChecking(), due);
        if (due) {
            QVERIFY(finished.wait(10000));
            QCOMPARE(server.requestCount(), 1);
            QCOMPARE(checker->lastError(), std::nullopt); // silent
        }
        QCOMPARE(finished.count(), due ? 1 : 0);
    }

    void skippedVersion()
    {
        LocalHttpServer server;
        auto checker = makeChecker(server.url());
        QSignalSpy updateChanged(checker.get(), &UpdateChecker::hasUpdateChanged);

        checker->skipLatest(); // nothing to skip
        QCOMPARE(updateChanged.count(), 0);
        QVERIFY(!m_defaults->contains(QStringLiteral("updates.skippedVersion")));
        QVERIFY(!checker->hasUpdate());

        server.setJson(feedWithVersion(QStringLiteral("1.2")));
        QVERIFY(runCheck(*checker, false));
        QVERIFY(checker->hasUpdate());

        updateChanged.clear();
        checker->skipLatest();
        QCOMPARE(updateChanged.count(), 1);
        QVERIFY(!checker->hasUpdate());
        QCOMPARE(m_defaults->string(QStringLiteral("updates.skippedVersion")), std::optional(QStringLiteral("1.2")));

        // The skip outlives the checker, and a still newer version is offered again.
        checker = makeChecker(server.url());
        QVERIFY(runCheck(*checker, true));
        QVERIFY(!checker->hasUpdate());
        server.setJson(feedWithVersion(QStringLiteral("1.2.1")));
        QVERIFY(runCheck(*checker, true));
        QVERIFY(checker->hasUpdate());
    }

    void openDownload_data()
    {
        QTest::addColumn<QString>("downloadURL");
        QTest::addColumn<QUrl>("opened"); // empty: nothing opened
        QTest::newRow("https") << "https://example.org/Quillmere-2.0.zip"
                               << QUrl(QStringLiteral("https://example.org/Quillmere-2.0.zip"));
        QTest::newRow("local file with a host") << "file://localhost/etc/passwd" << QUrl();
        QTest::newRow("no host") << "https://" << QUrl();
    }
    void openDownload()
    {
        QFETCH(QString, downloadURL);
        QFETCH(QUrl, opened);
        LocalHttpServer server;
        server.setJson(feedWithVersion(QStringLiteral("3.0"), downloadURL));
        auto checker = makeChecker(server.url());

        checker->openDownload(); // no entry yet
        QVERIFY(m_workspace.openedUrls.isEmpty());

        QVERIFY(runCheck(*checker, false));
        QCOMPARE(checker->latest()->downloadURL, downloadURL);
        checker->openDownload();
        QCOMPARE(m_workspace.openedUrls, opened.isEmpty() ? QList<QUrl>() : QList<QUrl>{opened});
    }
};

QTEST_GUILESS_MAIN(TestUpdateChecker)
#include "tst_update_checker.moc"
