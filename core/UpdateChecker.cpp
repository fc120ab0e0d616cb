#include "core/UpdateChecker.h"

#include "BuildInfo.h"
#include "model/AppSettings.h"
#include "platform/UserDefaults.h"
#include "platform/Workspace.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>

#include <algorithm>
#include <memory>

namespace {

QString key(const char *name)
{
    return QString::fromLatin1(name);
}

// Qt reports an HTTP error status as a reply error, but the server did answer
// and its body is decoded like any other; only a failure to get an answer is a
// transport error.
bool isTransportError(const QNetworkReply *reply)
{
    const QNetworkReply::NetworkError error = reply->error();
    if (error == QNetworkReply::NoError)
        return false;
    if (!reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid())
        return true;
    const bool statusError =
        (error >= QNetworkReply::ContentAccessDenied && error <= QNetworkReply::UnknownContentError)
        || (error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError)
        || error == QNetworkReply::ProtocolInvalidOperationError;
    return !statusError;
}

// An optional sign, then decimal digits only, fitting 64 bits.
std::optional<qint64> versionNumber(const QString &piece)
{
    static const QRegularExpression pattern(QStringLiteral("\\A[+-]?[0-9]+\\z"));
    if (!pattern.match(piece).hasMatch())
        return std::nullopt;
    bool ok = false;
    const qint64 number = piece.toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return number;
}

// Ordinal by code point (not UTF-16 unit) after canonical composition, so
// canonically equivalent pieces compare equal.
int comparePieces(const QString &a, const QString &b)
{
    const QList<uint> x = a.normalized(QString::NormalizationForm_C).toUcs4();
    const QList<uint> y = b.normalized(QString::NormalizationForm_C).toUcs4();
    if (std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end()))
        return -1;
    if (std::lexicographical_compare(y.begin(), y.end(), x.begin(), x.end()))
        return 1;
    return 0;
}

} // namespace

UpdateChecker::UpdateChecker(UserDefaults &defaults, Workspace &workspace, const QUrl &feedURL,
                             int timeoutMs, QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_workspace(workspace)
    , m_feedURL(feedURL)
    , m_timeoutMs(timeoutMs)
    , m_now([] { return QDateTime::currentDateTimeUtc(); })
    , m_network(new QNetworkAccessManager(this))
{
    m_lastCheckedAt = m_defaults.date(key(lastCheckedKey));
}

UpdateChecker &UpdateChecker::shared()
{
    // Deliberately never destroyed: it lives for the whole process, and its
    // network manager must not outlive the application object at exit.
    static UpdateChecker *const checker = new UpdateChecker(
        UserDefaults::standard(), Workspace::system(),
        QUrl(AppSettings::shared().updateFeedURL, QUrl::StrictMode), defaultTimeoutMs);
    return *checker;
}

void UpdateChecker::setClock(std::function<QDateTime()> now)
{
    m_now = std::move(now);
}

bool UpdateChecker::isAutomatic() const
{
    return m_defaults.boolValue(key(automaticKey), true);
}

bool UpdateChecker::hasUpdate() const
{
    if (!m_latest || compareVersions(m_latest->version, currentVersion()) != 1)
        return false;
    return m_defaults.string(key(skippedVersionKey)) != m_latest->version;
}

QString UpdateChecker::currentVersion()
{
    const QString version = QString::fromUtf8(BuildInfo::shortVersion);
    return version.isEmpty() ? QStringLiteral("0") : version;
}

int UpdateChecker::compareVersions(const QString &a, const QString &b)
{
    const QStringList x = a.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    const QStringList y = b.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    const qsizetype count = std::max(x.size(), y.size());
    const QString zero = QStringLiteral("0");
    for (qsizetype i = 0; i < count; ++i) {
        const QString &p = i < x.size() ? x.at(i) : zero;
        const QString &q = i < y.size() ? y.at(i) : zero;
        const std::optional<qint64> m = versionNumber(p);
        const std::optional<qint64> n = versionNumber(q);
        const int order = (m && n) ? (*m > *n) - (*m < *n) : comparePieces(p, q);
        if (order != 0)
            return order;
    }
    return 0;
}

void UpdateChecker::setChecking(bool checking)
{
    if (m_isChecking == checking)
        return;
    m_isChecking = checking;
    emit isCheckingChanged();
}

void UpdateChecker::setLastError(const std::optional<QString> &error)
{
    if (m_lastError == error)
        return;
    m_lastError = error;
    emit lastErrorChanged();
}

void UpdateChecker::check(bool silent)
{
    if (m_feedURL.isEmpty() || !m_feedURL.isValid()) {
        if (!silent)
            setLastError(QStringLiteral("Update feed URL not configured."));
        return;
    }

    setChecking(true);
    setLastError(std::nullopt);

    QNetworkRequest request(m_feedURL);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(m_timeoutMs);
    QNetworkReply *reply = m_network->get(request);

    // Stop reading as soon as the body outgrows any real feed.
    auto tooLarge = std::make_shared<bool>(false);
    connect(reply, &QNetworkReply::readyRead, this, [reply, tooLarge] {
        if (!*tooLarge && reply->bytesAvailable() > maxFeedBytes) {
            *tooLarge = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, silent, tooLarge] {
        finishCheck(reply, silent, *tooLarge);
    });
}

void UpdateChecker::finishCheck(QNetworkReply *reply, bool silent, bool tooLarge)
{
    reply->deleteLater();

    std::optional<QString> error;
    std::optional<AppcastEntry> entry;
    if (tooLarge || reply->bytesAvailable() > maxFeedBytes) {
        error = QStringLiteral("The update feed is larger than %1 bytes.").arg(maxFeedBytes);
    } else if (isTransportError(reply)) {
        // The transfer time-out aborts the reply; say what happened rather than "canceled".
        error = reply->error() == QNetworkReply::OperationCanceledError
            ? QStringLiteral("The request timed out.")
            : reply->errorString();
    } else {
        QString decodeError;
        entry = AppcastEntry::fromJson(reply->readAll(), &decodeError);
        if (!entry)
            error = decodeError;
    }

    if (entry) {
        m_latest = std::move(entry);
        const QDateTime now = m_now();
        m_lastCheckedAt = now;
        m_defaults.setDate(key(lastCheckedKey), now);
        emit latestChanged();
        emit lastCheckedAtChanged();
        emit hasUpdateChanged();
    } else if (!silent) {
        setLastError(error);
    }

    setChecking(false);
    emit checkFinished();
}

void UpdateChecker::checkIfDue()
{
    if (!isAutomatic())
        return;
    // A last check in the future gives a negative age and also waits.
    if (m_lastCheckedAt && m_lastCheckedAt->msecsTo(m_now()) < checkIntervalSeconds * 1000)
        return;
    QMetaObject::invokeMethod(this, [this] { check(true); }, Qt::QueuedConnection);
}

void UpdateChecker::skipLatest()
{
    if (!m_latest)
        return;
    m_defaults.setString(key(skippedVersionKey), m_latest->version);
    emit hasUpdateChanged();
}

void UpdateChecker::openDownload()
{
    if (!m_latest)
        return;
    const QUrl url(m_latest->downloadURL, QUrl::StrictMode);
    // Only a web address goes to the desktop: a feed must not be able to make
    // it open a local file or start some other registered handler.
    const QString scheme = url.scheme();
    if (!url.isValid() || url.host().isEmpty()
        || (scheme != QLatin1String("https") && scheme != QLatin1String("http")))
        return;
    m_workspace.openUrl(url);
}
