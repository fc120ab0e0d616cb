#include "core/engine/SystemOperations.h"

#include "core/engine/AdminCommand.h"
#include "core/engine/FinderRules.h"
#include "platform/RunningApplications.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kPkill = QStringLiteral("/usr/bin/pkill");
const QString kOsascript = QStringLiteral("/usr/bin/osascript");
const QString kTccutil = QStringLiteral("/usr/bin/tccutil");
const QString kLaunchctl = QStringLiteral("/bin/launchctl");

const QStringList kProtectedRoots = {
    QStringLiteral("/"),        QStringLiteral("/System"), QStringLiteral("/usr"),
    QStringLiteral("/bin"),     QStringLiteral("/sbin"),   QStringLiteral("/Library"),
    QStringLiteral("/Applications"), QStringLiteral("/Users"), QStringLiteral("/private"),
};

// pkill reads its pattern as an extended regular expression. QRegularExpression::escape
// also escapes characters such as "-", which ERE leaves undefined, so only the
// ERE metacharacters are escaped here.
QString literalPattern(const QString &text)
{
    static const QString special = QStringLiteral("\\.[]{}()*+?^$|");
    QString out;
    out.reserve(text.size() * 2);
    for (const QChar c : text) {
        if (special.contains(c))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

// The entry itself, not what a symbolic link points to: a dangling link that
// rm left behind is still there.
bool entryExists(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

QString decodedUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    return decoder.hasError() ? QString() : text;
}

// Compared without case: the Mac's file system ignores it, so "/library" is "/Library".
bool isProtectedOrHome(const QString &systemPath, const QString &homeSystemPath)
{
    for (const QString &root : kProtectedRoots) {
        if (systemPath.compare(root, Qt::CaseInsensitive) == 0)
            return true;
    }
    return !homeSystemPath.isEmpty() && systemPath.compare(homeSystemPath, Qt::CaseInsensitive) == 0;
}

bool refusedForAdministratorRemoval(const SystemRoots &roots, const QString &path)
{
    if (!ScannerEngine::isPlainPath(path))
        return true;
    const QString systemPath = roots.asSystemPath(path);
    if (systemPath.isEmpty() || !ScannerEngine::isPlainPath(systemPath))
        return true; // outside the root we were given
    const QString home = QDir::cleanPath(roots.home);
    if (!home.isEmpty() && path == home)
        return true;
    if (isProtectedOrHome(systemPath, home.isEmpty() ? QString() : roots.asSystemPath(home)))
        return true;

    // rm removes the entry itself but follows linked folders on the way to it:
    // judge the path again as it lies once its folder is resolved.
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString folder = QFileInfo(slash > 0 ? path.left(slash) : QStringLiteral("/")).canonicalFilePath();
    if (folder.isEmpty())
        return false; // nothing there to remove
    const SystemRoots resolvedRoots{QFileInfo(home).canonicalFilePath(), QFileInfo(roots.root).canonicalFilePath()};
    const QString resolved = (folder == QLatin1String("/") ? QString() : folder) + path.mid(slash);
    const QString resolvedSystemPath = resolvedRoots.asSystemPath(resolved);
    if (resolvedRoots.root.isEmpty() || resolvedSystemPath.isEmpty())
        return true; // leads out of the root
    const QString resolvedHome = resolvedRoots.home.isEmpty() ? QString() : resolvedRoots.asSystemPath(resolvedRoots.home);
    return isProtectedOrHome(resolvedSystemPath, resolvedHome);
}

bool usableBundleID(const QString &bundleID)
{
    return !bundleID.isEmpty() && !bundleID.startsWith(QLatin1Char('-')) && !bundleID.contains(QChar(0));
}

}

int ScannerEngine::terminateApp(const ToolRunner &runner, const QString &bundleID, const QSet<QString> &installedIDs)
{
    int count = 0;
    for (const qint64 pid : RunningApplications::withBundleIdentifier(bundleID)) {
        if (RunningApplications::terminate(pid) || RunningApplications::forceTerminate(pid))
            ++count;
    }

    // The whole identifier, taken literally: the first two components alone
    // ("com.example") would stop every application of that vendor and more.
    if (bundleID.split(QLatin1Char('.'), Qt::SkipEmptyParts).size() < 2 || isAppleIdentifier(bundleID))
        return count;
    ToolRunner::Options options;
    options.output = ToolRunner::OutputMode::Discard;
    // It must begin and end where the identifier does: other.app is neither
    // com.other.app nor other.app2. A "." may follow, as in the application's
    // own helpers, unless an installed application's ID goes on after it.
    const bool extended = !extendingIDs(bundleID, installedIDs).isEmpty();
    const QString pattern = QStringLiteral("(^|[^[:alnum:]_.-])") + literalPattern(bundleID)
        + (extended ? QStringLiteral("([^[:alnum:]_.-]|$)") : QStringLiteral("([^[:alnum:]_-]|$)"));
    const ToolResult result = runner.run(kPkill, {QStringLiteral("-f"), QStringLiteral("--"), pattern}, options);
    if (result.succeeded())
        ++count;
    return count;
}

AdminRemovalResult ScannerEngine::removeWithAdministratorPrivileges(const SystemRoots &roots, const ToolRunner &runner,
                                                                    const QStringList &paths, const QString &appName)
{
    AdminRemovalResult result;
    if (paths.isEmpty())
        return result;

    QStringList working = paths;
    std::sort(working.begin(), working.end());
    working.erase(std::unique(working.begin(), working.end()), working.end());

    const bool refused = std::any_of(working.cbegin(), working.cend(), [&](const QString &p) {
        return refusedForAdministratorRemoval(roots, p);
    });
    if (refused) {
        result.failed = working;
        return result;
    }

    // rm -v lists every file it removes, so the output can be huge: it is read
    // line by line while the tool runs and only which requested paths it names is kept.
    // The output of "do shell script" may end its lines with a carriage return.
    QList<bool> named(working.size(), false);
    qsizetype unnamed = working.size();
    ToolRunner::Options options;
    options.output = ToolRunner::OutputMode::Capture;
    options.captureLimit = 1024 * 1024;
    options.onOutputLine = [&](const QByteArray &bytes) {
        if (unnamed == 0)
            return;
        for (const QByteArray &piece : bytes.split('\r')) {
            const QString line = decodedUtf8(piece);
            if (line.isEmpty())
                continue;
            for (qsizetype i = 0; i < working.size(); ++i) {
                if (!named[i] && line.contains(working[i])) {
                    named[i] = true;
                    --unnamed;
                }
            }
        }
    };
    const ToolResult run = runner.run(kOsascript, {QStringLiteral("-e"), AdminCommand::script(working, appName)},
                                      options);
    if (!run.started) {
        result.failed = working;
        return result;
    }

    const QString errorText = decodedUtf8(run.standardError);
    const bool exitedNormally = !run.timedOut && !run.crashed;
    // osascript reports the dismissed dialog as error -128; as an exit status that reads 128.
    const bool cancelled = (exitedNormally && (run.exitCode == -128 || run.exitCode == 128))
        || (!run.succeeded()
            && (errorText.contains(QLatin1String("User canceled")) || errorText.contains(QLatin1String("(-128)"))));
    if (cancelled) {
        result.failed = working;
        result.cancelled = true;
        return result;
    }

    const bool succeeded = run.succeeded();
    for (qsizetype i = 0; i < working.size(); ++i) {
        const QString &p = working[i];
        // After a failure part of the batch may be gone: what no longer exists was removed.
        if (!entryExists(p) || (succeeded && named[i]))
            result.removed << p;
        else
            result.failed << p;
    }
    return result;
}

bool ScannerEngine::tccReset(const ToolRunner &runner, const QString &bundleID, const QString &service)
{
    // The service arrives as display text ("Screen Capture"); tccutil wants its name.
    QString serviceName = service;
    serviceName.remove(QLatin1Char(' '));
    // An empty bundle identifier would reset the service for every application,
    // and the service "All" every permission of this one.
    static const QRegularExpression plainName(QRegularExpression::anchoredPattern(QStringLiteral("[A-Za-z0-9]+")));
    if (!usableBundleID(bundleID) || !plainName.match(serviceName).hasMatch()
        || serviceName.compare(QLatin1String("All"), Qt::CaseInsensitive) == 0)
        return false;
    ToolRunner::Options options;
    options.output = ToolRunner::OutputMode::Inherit;
    return runner.run(kTccutil, {QStringLiteral("reset"), serviceName, bundleID}, options).succeeded();
}

bool ScannerEngine::tccResetAll(const ToolRunner &runner, const QString &bundleID)
{
    // Without a bundle identifier tccutil would reset every application's permissions.
    if (!usableBundleID(bundleID))
        return false;
    ToolRunner::Options options;
    options.output = ToolRunner::OutputMode::Inherit;
    return runner.run(kTccutil, {QStringLiteral("reset"), QStringLiteral("All"), bundleID}, options).succeeded();
}

void ScannerEngine::launchctlBootout(const ToolRunner &runner, const QString &label)
{
    if (label.isEmpty() || isAppleIdentifier(label))
        return;
    const QString target = QStringLiteral("gui/") + QString::number(::getuid()) + QLatin1Char('/') + label;
    ToolRunner::Options options;
    options.output = ToolRunner::OutputMode::Discard;
    runner.run(kLaunchctl, {QStringLiteral("bootout"), target}, options);
}

QStringList ScannerEngine::launchdPlists(const SystemRoots &roots, const QString &label,
                                         const QSet<QString> &installedIDs)
{
    if (label.isEmpty() || isAppleIdentifier(label) || label.size() < 5)
        return {};
    const QStringList folders = {
        roots.inHome(QStringLiteral("/Library/LaunchAgents")),
        roots.system(QStringLiteral("/Library/LaunchAgents")),
        roots.system(QStringLiteral("/Library/LaunchDaemons")),
    };
    // The label must end where a component ends: com.example.sync is not com.example.syncd.
    const QString startsWith = label + QLatin1Char('.');
    const QString inside = QLatin1Char('.') + label + QLatin1Char('.');
    // A label of one component ("updater") would claim other jobs' files
    // ("com.example.updater.plist"): it owns only its own file.
    const bool qualified = label.split(QLatin1Char('.'), Qt::SkipEmptyParts).size() >= 2;
    const QString ownFile = label + QStringLiteral(".plist");
    QStringList found;
    for (const QString &folder : folders) {
        const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
        for (const QString &name : names) {
            const bool matches = qualified
                ? name.endsWith(QLatin1String(".plist")) && (name.startsWith(startsWith) || name.contains(inside))
                : name == ownFile;
            if (matches && !isAppleIdentifier(name) && !isOtherAppsName(name, label, installedIDs))
                found << folder + QLatin1Char('/') + name;
        }
    }
    return found;
}
