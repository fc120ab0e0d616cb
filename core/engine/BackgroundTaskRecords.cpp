#include "core/engine/BackgroundTaskRecords.h"

#include "core/engine/DirectorySize.h"
#include "core/engine/FinderRules.h"
#include "core/engine/LibraryFinders.h"
#include "core/engine/Naming.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextBoundaryFinder>

#include <sys/stat.h>

#include <algorithm>
#include <optional>

namespace {

const QString dumpTool = QStringLiteral("/usr/bin/sfltool");
// The registry is small; a dump tool that hangs must not hold up the scan for ever.
constexpr int dumpTimeoutMs = 60 * 1000;

struct BTMEntry
{
    std::optional<QString> identifier;
    std::optional<QString> parentID;
    std::optional<QString> name;
    std::optional<QString> executable;
    std::optional<QString> itemType;
};

bool isLineBreak(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x0A && u <= 0x0D) || u == 0x85 || u == 0x2028 || u == 0x2029;
}

// Identifiers are counted in user-perceived characters; below U+0300 (where
// the combining marks begin) every code unit is one character.
qsizetype characterCount(const QString &text)
{
    bool simple = true;
    for (const QChar c : text) {
        if (c.unicode() >= 0x300) {
            simple = false;
            break;
        }
    }
    if (simple)
        return text.size();
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() > 0)
        ++count;
    return count;
}

bool lies(const QString &path, const QString &folder)
{
    return path.compare(folder, Qt::CaseInsensitive) == 0
        || (path.size() > folder.size() && path.startsWith(folder, Qt::CaseInsensitive)
            && path.at(folder.size()) == QLatin1Char('/'));
}

// The system's own programs are never offered for removal, whatever a record
// claims. Compared without case: the Mac's file system ignores it.
bool isSystemProgramPath(const QString &systemPath)
{
    static const QStringList homebrewFolders = {
        QStringLiteral("/opt/homebrew/bin"), QStringLiteral("/opt/homebrew/Cellar"), QStringLiteral("/opt/homebrew/opt"),
        QStringLiteral("/usr/local/bin"),    QStringLiteral("/usr/local/Cellar"),    QStringLiteral("/usr/local/opt"),
    };
    for (const QString &folder : homebrewFolders) {
        if (lies(systemPath, folder))
            return true;
    }
    if (lies(systemPath, QStringLiteral("/System")) || lies(systemPath, QStringLiteral("/bin"))
        || lies(systemPath, QStringLiteral("/sbin")))
        return true;
    return lies(systemPath, QStringLiteral("/usr")) && !lies(systemPath, QStringLiteral("/usr/local"));
}

// The part of `path` below `folder`, or nothing.
std::optional<QString> below(const QString &path, const QString &folder)
{
    if (path.size() > folder.size() + 1 && path.startsWith(folder, Qt::CaseInsensitive)
        && path.at(folder.size()) == QLatin1Char('/'))
        return path.mid(folder.size() + 1);
    return std::nullopt;
}

bool isProtectedIgnoringCase(const QString &entry, const QSet<QString> &excluded)
{
    if (ScannerEngine::isAppleIdentifier(entry.toLower()))
        return true;
    return std::any_of(excluded.cbegin(), excluded.cend(),
                       [&](const QString &name) { return entry.compare(name, Qt::CaseInsensitive) == 0; });
}

// A record may name any file as its program. Only where launch jobs keep
// their programs is the file taken to be the record's own: the launch
// folders, the privileged helper folder, or inside an entry of an Application
// Support folder that the full scan would offer. Documents, shared runtimes
// and other applications' bundles are not.
bool isProgramLocation(const QString &systemPath, const QString &homeSystemPath, const ScannerEngine::NameClaim &claimed)
{
    struct Place
    {
        QString folder;
        const QSet<QString> *excluded; // entries of the folder that are never ours; null: any entry
        bool inHome;
    };
    const Place places[] = {
        {homeSystemPath + QStringLiteral("/Library/LaunchAgents"), nullptr, true},
        {QStringLiteral("/Library/LaunchAgents"), nullptr, false},
        {QStringLiteral("/Library/LaunchDaemons"), nullptr, false},
        {QStringLiteral("/Library/PrivilegedHelperTools"), nullptr, false},
        {homeSystemPath + QStringLiteral("/Library/Application Support"), &ScannerEngine::applicationSupportExclusions(),
         true},
        {QStringLiteral("/Library/Application Support"), &ScannerEngine::systemApplicationSupportExclusions(), false},
    };
    for (const Place &place : places) {
        if (place.inHome && homeSystemPath.isEmpty())
            continue;
        const std::optional<QString> rest = below(systemPath, place.folder);
        if (!rest)
            continue;
        const QStringList parts = rest->split(QLatin1Char('/'));
        if (place.excluded && isProtectedIgnoringCase(parts.first(), *place.excluded))
            return false;
        return !claimed || std::none_of(parts.cbegin(), parts.cend(), claimed);
    }
    return false;
}

// Decides whether a record's executable may be offered for removal: an
// absolute path to a regular file (a final link is not followed) outside the
// system's program folders and in a place of programs, also after resolving
// linked folders on the way. Records share a few folders, so resolved folders
// are kept for one dump.
class ExecutableCheck
{
public:
    ExecutableCheck(const SystemRoots &roots, const ScannerEngine::NameClaim &claimed)
        : m_roots(roots)
        , m_canonicalRoot(QFileInfo(roots.root).canonicalFilePath())
        , m_claimed(claimed)
    {
        m_homeSystemPath = roots.home.isEmpty() ? QString() : roots.asSystemPath(QDir::cleanPath(roots.home));
    }

    // The real path, or nothing.
    std::optional<QString> removablePath(const QString &value)
    {
        // A NUL would cut the path short at the system call: another file would be checked than offered.
        if (!value.startsWith(QLatin1Char('/')) || value.contains(QChar(0)) || m_canonicalRoot.isEmpty())
            return std::nullopt;
        const QString systemPath = QDir::cleanPath(value);
        if (systemPath == QLatin1String("/") || isSystemProgramPath(systemPath)
            || !isProgramLocation(systemPath, m_homeSystemPath, m_claimed))
            return std::nullopt;
        const QString real = m_roots.system(systemPath);
        struct stat st;
        if (lstat(QFile::encodeName(real).constData(), &st) != 0 || !S_ISREG(st.st_mode))
            return std::nullopt;

        const qsizetype slash = systemPath.lastIndexOf(QLatin1Char('/'));
        const QString folder = resolvedFolder(systemPath.left(qMax<qsizetype>(slash, 1)));
        if (folder.isEmpty())
            return std::nullopt;
        const QString resolved = folder == QLatin1String("/") ? systemPath.mid(slash)
                                                               : folder + systemPath.mid(slash);
        if (isSystemProgramPath(resolved))
            return std::nullopt;
        const QString resolvedHome = m_homeSystemPath.isEmpty() ? QString() : resolvedFolder(m_homeSystemPath);
        if (!isProgramLocation(resolved, resolvedHome, m_claimed))
            return std::nullopt;
        return real;
    }

private:
    // The folder as the system sees it once every link is resolved; empty when
    // it leads out of the root.
    QString resolvedFolder(const QString &systemFolder)
    {
        const auto cached = m_folders.constFind(systemFolder);
        if (cached != m_folders.constEnd())
            return *cached;
        const QString canonical = QFileInfo(m_roots.system(systemFolder)).canonicalFilePath();
        const QString resolved =
            canonical.isEmpty() ? QString() : SystemRoots{QString(), m_canonicalRoot}.asSystemPath(canonical);
        m_folders.insert(systemFolder, resolved);
        return resolved;
    }

    const SystemRoots &m_roots;
    const QString m_canonicalRoot;
    const ScannerEngine::NameClaim &m_claimed;
    QString m_homeSystemPath;
    QHash<QString, QString> m_folders;
};

QList<BTMEntry> parseRecords(const QString &dump)
{
    static const QString uuidKey = QStringLiteral("UUID:");
    static const QString identifierKey = QStringLiteral("Identifier:");
    static const QString parentKey = QStringLiteral("Parent Identifier:");
    static const QString nameKey = QStringLiteral("Name:");
    static const QString executableKey = QStringLiteral("Executable:");
    static const QString typeKey = QStringLiteral("Type:");

    QList<BTMEntry> records;
    std::optional<BTMEntry> open;
    const auto valueAfter = [](QStringView line, const QString &key) {
        return line.mid(key.size()).trimmed().toString();
    };

    const qsizetype length = dump.size();
    qsizetype start = 0;
    while (start <= length) {
        qsizetype end = start;
        while (end < length && !isLineBreak(dump.at(end)))
            ++end;
        const QStringView line = QStringView(dump).mid(start, end - start).trimmed();
        start = end + 1;
        if (line.isEmpty())
            continue;

        if (line.startsWith(uuidKey)) {
            if (open)
                records.append(std::move(*open));
            open.emplace();
            continue;
        }
        if (!open)
            continue;
        if (line.startsWith(identifierKey)) {
            open->identifier = valueAfter(line, identifierKey);
        } else if (line.startsWith(parentKey)) {
            open->parentID = valueAfter(line, parentKey);
        } else if (line.startsWith(nameKey)) {
            open->name = valueAfter(line, nameKey);
        } else if (line.startsWith(executableKey)) {
            QString value = valueAfter(line, executableKey);
            if (!value.isEmpty() && value != QLatin1String("missing value"))
                open->executable = value;
        } else if (line.startsWith(typeKey)) {
            open->itemType = valueAfter(line, typeKey);
        }
    }
    if (open)
        records.append(std::move(*open));
    return records;
}

QString cleanedType(const QString &type)
{
    static const QRegularExpression flagWord(QStringLiteral("\\s*\\(0x[0-9a-fA-F]+\\)"),
                                             QRegularExpression::UseUnicodePropertiesOption);
    if (!type.contains(QLatin1String("(0x")))
        return type.trimmed();
    return QString(type).remove(flagWord).trimmed();
}

}

QList<LeftoverItem> ScannerEngine::findOrphanBackgroundItems(const SystemRoots &roots, const ToolRunner &runner,
                                                             const QSet<QString> &installedIDs,
                                                             const NameClaim &claimed)
{
    ToolRunner::Options options;
    options.output = ToolRunner::OutputMode::Capture;
    options.timeoutMs = dumpTimeoutMs;
    const ToolResult result = runner.run(dumpTool, {QStringLiteral("dumpbtm")}, options);
    if (!result.succeeded())
        return {};
    // Output cut at the capture limit would end in a half record.
    if (result.standardOutput.size() >= options.captureLimit)
        return {};

    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(result.standardOutput);
    if (decoder.hasError())
        return {};
    return parseBTMDump(text, installedIDs, roots, claimed);
}

QList<LeftoverItem> ScannerEngine::parseBTMDump(const QString &dump, const QSet<QString> &installedIDs,
                                                const SystemRoots &roots, const NameClaim &claimed)
{
    QList<LeftoverItem> items;
    QSet<QString> produced;
    ExecutableCheck executables(roots, claimed);
    for (const BTMEntry &entry : parseRecords(dump)) {
        if (!entry.identifier)
            continue;
        const QString &identifier = *entry.identifier;
        if (isAppleIdentifier(identifier) || characterCount(identifier) <= 4)
            continue;
        if (claimed && (claimed(identifier) || (entry.parentID && claimed(*entry.parentID))))
            continue;
        if (installedIDs.contains(identifier) || (entry.parentID && installedIDs.contains(*entry.parentID)))
            continue;
        // An empty parent line names no parent; it must not give the item an empty bundle ID.
        const QString owner = entry.parentID && !entry.parentID->isEmpty() ? *entry.parentID : identifier;
        const QString bundleID = stripTeamPrefix(owner).value_or(owner);
        // A helper registered under its team's prefix still belongs to an installed app.
        if (installedIDs.contains(bundleID))
            continue;
        if (produced.contains(identifier))
            continue;
        produced.insert(identifier);

        LeftoverItem item;
        item.appName = (entry.name && !entry.name->isEmpty()) ? *entry.name : displayName(identifier);
        item.bundleID = bundleID;
        item.type = LeftoverType::backgroundActivity;
        if (entry.executable) {
            if (const auto path = executables.removablePath(*entry.executable)) {
                item.path = *path;
                item.size = fileSize(*path);
            }
        }
        if (entry.itemType)
            item.permissionService = cleanedType(*entry.itemType);
        items.append(item);
    }
    return items;
}
