#include "MacTreeGenerator.h"

#include "platform/PropertyList.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <random>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kMarker[] = "/.quillmere-fake-mac";
const char kManifest[] = "/.manifest.json";

// Writes with plain system calls: a quarter of a million files through QFile
// takes several times longer, and files are sparse so the tree costs no disk.
class Writer
{
public:
    MacTreeGenerator::Tree tree;
    bool ok = true;

    void dir(const QByteArray &path)
    {
        if (mkdir(path.constData(), 0755) == 0)
            ++tree.folders;
        else if (errno != EEXIST)
            ok = false;
    }

    // Makes the missing folders of `path` below `base`.
    void dirs(const QByteArray &base, const QByteArray &relative)
    {
        QByteArray p = base;
        for (const QByteArray &part : relative.split('/')) {
            if (part.isEmpty())
                continue;
            p += '/' + part;
            dir(p);
        }
    }

    void sparse(const QByteArray &path, qint64 size)
    {
        const int fd = open(path.constData(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 || ftruncate(fd, size) != 0)
            ok = false;
        if (fd >= 0)
            close(fd);
        count(path, size);
    }

    void content(const QByteArray &path, const QByteArray &data)
    {
        const int fd = open(path.constData(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 || write(fd, data.constData(), size_t(data.size())) != data.size())
            ok = false;
        if (fd >= 0)
            close(fd);
        count(path, data.size());
    }

private:
    void count(const QByteArray &path, qint64 size)
    {
        if (path.mid(path.lastIndexOf('/') + 1).startsWith('.'))
            return;
        ++tree.files;
        tree.bytes += size;
    }
};

QByteArray leftoverID(int k)
{
    return "com.vendor" + QByteArray::number(k % 97) + ".tool" + QByteArray::number(k);
}

QByteArray leftoverName(int k)
{
    return "Tool " + QByteArray::number(k);
}

QByteArray plist(const QVariantMap &dict, bool binary)
{
    return binary ? PropertyList::toBinary(dict) : PropertyList::toXml(dict);
}

// Mostly small files with a long tail, as caches have.
qint64 fileSize(std::mt19937 &random)
{
    const int bucket = int(random() % 100);
    if (bucket < 60)
        return random() % 4096;
    if (bucket < 95)
        return 4096 + random() % (256 * 1024);
    return 256 * 1024 + random() % (16 * 1024 * 1024);
}

void generateLeftovers(Writer &w, const QByteArray &home, const MacTreeGenerator::Options &o, std::mt19937 &random)
{
    const QByteArray library = home + "/Library";
    w.dir(library);
    for (const char *area : {"/Caches", "/Application Support", "/Containers", "/Preferences",
                             "/Saved Application State", "/Logs", "/Application Scripts", "/LaunchAgents"}) {
        w.dir(library + area);
    }

    // Every leftover application starts with its Caches, Application Support and
    // Container folders; the rest of the folders are spread below them.
    std::vector<QByteArray> folders;
    const int apps = std::max(1, o.leftoverApps);
    for (int k = 0; k < apps; ++k) {
        const QByteArray id = leftoverID(k);
        folders.push_back(library + "/Caches/" + id);
        w.dir(folders.back());
        // Half of the applications name their support folder after the bundle ID.
        folders.push_back(library + "/Application Support/" + (k % 2 ? id : leftoverName(k)));
        w.dir(folders.back());
        const QByteArray container = library + "/Containers/" + id;
        w.dirs(library + "/Containers", id + "/Data/Library/Caches");
        w.dir(container + "/Data/Library/Application Support");
        folders.push_back(container + "/Data/Library/Caches");
        folders.push_back(container + "/Data/Library/Application Support");

        w.content(library + "/Preferences/" + id + ".plist",
                  plist({{QStringLiteral("LastWindow"), QStringLiteral("main")}, {QStringLiteral("Runs"), k}}, k % 2));
        if (k % 4 == 0) {
            const QByteArray state = library + "/Saved Application State/" + id + ".savedState";
            w.dir(state);
            w.sparse(state + "/windows.plist", 2048 + k);
        }
        if (k % 5 == 0) {
            w.dir(library + "/Logs/" + leftoverName(k));
            w.sparse(library + "/Logs/" + leftoverName(k) + "/run.log", 10000 + k);
        }
        if (k % 7 == 0) {
            w.dir(library + "/Application Scripts/" + id);
            w.sparse(library + "/Application Scripts/" + id + "/hook.scpt", 900);
        }
        if (k % 10 == 0) {
            const QVariantMap agent{{QStringLiteral("Label"), QString::fromLatin1(id + ".agent")},
                                    {QStringLiteral("ProgramArguments"),
                                     QVariantList{QStringLiteral("/Applications/") + QString::fromLatin1(leftoverName(k))
                                                  + QStringLiteral(".app/Contents/MacOS/agent")}}};
            w.content(library + "/LaunchAgents/" + id + ".agent.plist", plist(agent, k % 20 == 0));
        }
    }

    // New folders hang below a random earlier one, so depth varies (up to about ten levels).
    const qint64 extraFolders = std::max<qint64>(0, o.folders - w.tree.folders);
    for (qint64 i = 0; i < extraFolders; ++i) {
        const QByteArray &parent = folders[random() % folders.size()];
        if (parent.count('/') > 22) {
            --i;
            continue;
        }
        folders.push_back(parent + (i % 3 == 0 ? "/blobs" : "/d") + QByteArray::number(i));
        w.dir(folders.back());
        if (i % 50 == 0)
            w.sparse(folders.back() + "/.DS_Store", 6148);
    }
    for (int i = 0; i < o.files; ++i) {
        const QByteArray &folder = folders[random() % folders.size()];
        w.sparse(folder + "/f" + QByteArray::number(i) + (i % 4 == 0 ? ".cache" : ".db"), fileSize(random));
    }
}

void generateSystem(Writer &w, const QByteArray &root, const MacTreeGenerator::Options &o)
{
    w.dirs(root, "Library/LaunchDaemons");
    w.dirs(root, "Library/PrivilegedHelperTools");
    w.dirs(root, "Library/Preferences");
    w.dirs(root, "Library/Application Support");
    w.dirs(root, "Library/Caches");
    for (int k = 0; k < o.leftoverApps; k += 25) {
        const QByteArray id = leftoverID(k);
        const QVariantMap daemon{{QStringLiteral("Label"), QString::fromLatin1(id + ".helper")},
                                 {QStringLiteral("Program"),
                                  QStringLiteral("/Library/PrivilegedHelperTools/") + QString::fromLatin1(id + ".helper")}};
        w.content(root + "/Library/LaunchDaemons/" + id + ".helper.plist", plist(daemon, k % 50 == 0));
        w.sparse(root + "/Library/PrivilegedHelperTools/" + id + ".helper", 150000);
        w.content(root + "/Library/Preferences/" + id + ".plist", plist({{QStringLiteral("Enabled"), true}}, false));
        w.dirs(root, "Library/Application Support/" + leftoverName(k));
        w.sparse(root + "/Library/Application Support/" + leftoverName(k) + "/data.bin", 70000);
    }
}

// Plug-in bundles of uninstalled makers, some without an Info.plist, in the user's and the system's folders.
void generatePlugins(Writer &w, const QByteArray &root, const QByteArray &home, const MacTreeGenerator::Options &o)
{
    const QList<QByteArray> folders{home + "/Library/PreferencePanes", root + "/Library/Screen Savers",
                                    home + "/Library/Audio/Plug-Ins/Components",
                                    root + "/Library/Audio/Plug-Ins/HAL", root + "/Library/Audio/Plug-Ins/VST3"};
    for (const QByteArray &folder : folders)
        w.dirs("/", folder);
    for (int k = 0; k < o.leftoverApps; k += 20) {
        const QByteArray &folder = folders[(k / 20) % folders.size()];
        const QByteArray bundle = folder + "/" + leftoverName(k) + ".plugin";
        w.dirs(folder, leftoverName(k) + ".plugin/Contents/MacOS");
        if (k % 40 == 0) {
            const QVariantMap info{{QStringLiteral("CFBundleIdentifier"), QString::fromLatin1(leftoverID(k) + ".plugin")}};
            w.content(bundle + "/Contents/Info.plist", plist(info, k % 80 == 0));
        }
        w.sparse(bundle + "/Contents/MacOS/plugin", 300000 + k);
    }
}

void generateApplications(Writer &w, const QByteArray &root, const QByteArray &home,
                          const MacTreeGenerator::Options &o)
{
    w.dirs(root, "Applications/Utilities");
    for (int i = 0; i < o.installedApps; ++i) {
        const QByteArray name = "App " + QByteArray::number(i);
        const QByteArray bundle = root + (i % 10 == 9 ? "/Applications/Utilities/" : "/Applications/") + name + ".app";
        const QString id = i % 30 == 0 ? QStringLiteral("com.apple.app%1").arg(i) : QStringLiteral("com.maker%1.app").arg(i);
        w.dir(bundle);
        w.dirs(bundle, "Contents/MacOS");
        w.dirs(bundle, "Contents/Resources/en.lproj");
        const QVariantMap info{{QStringLiteral("CFBundleIdentifier"), id},
                               {QStringLiteral("CFBundleShortVersionString"), QStringLiteral("1.%1").arg(i)},
                               {QStringLiteral("CFBundleExecutable"), QString::fromLatin1(name)}};
        w.content(bundle + "/Contents/Info.plist", plist(info, i % 3 == 0));
        w.sparse(bundle + "/Contents/MacOS/" + name, 2000000 + 1000 * i);
        for (int r = 0; r < 8; ++r)
            w.sparse(bundle + "/Contents/Resources/r" + QByteArray::number(r) + ".png", 30000 + r);
        w.sparse(bundle + "/Contents/Resources/en.lproj/Localizable.strings", 4000);
        if (i % 3 == 0) {
            // Installed applications have caches too; the finders must pass them by.
            w.dir(home + "/Library/Caches/" + id.toLatin1());
            w.sparse(home + "/Library/Caches/" + id.toLatin1() + "/Cache.db", 500000);
        }
    }
}

QJsonObject optionsJson(const MacTreeGenerator::Options &o)
{
    return {{QStringLiteral("layout"), MacTreeGenerator::layoutVersion},
            {QStringLiteral("leftoverApps"), o.leftoverApps},
            {QStringLiteral("folders"), o.folders},
            {QStringLiteral("files"), o.files},
            {QStringLiteral("installedApps"), o.installedApps},
            {QStringLiteral("seed"), qint64(o.seed)}};
}

}

QString MacTreeGenerator::cacheRoot(const Options &options)
{
    const QByteArray key = QJsonDocument(optionsJson(options)).toJson(QJsonDocument::Compact);
    return QDir::tempPath() + QStringLiteral("/quillmere-fake-mac-v%1-").arg(layoutVersion)
        + QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(12));
}

MacTreeGenerator::Tree MacTreeGenerator::generate(const QString &root, const Options &options)
{
    const QByteArray nativeRoot = QFile::encodeName(QDir::cleanPath(QDir(root).absolutePath()));
    const QString macRoot = QFile::decodeName(nativeRoot) + QStringLiteral("/mac");
    const QJsonObject wanted = optionsJson(options);

    QFile manifest(QFile::decodeName(nativeRoot + kManifest));
    if (manifest.open(QIODevice::ReadOnly)) {
        const QJsonObject stored = QJsonDocument::fromJson(manifest.readAll()).object();
        if (stored.value(QStringLiteral("options")).toObject() == wanted) {
            Tree tree;
            tree.roots = SystemRoots{macRoot + QStringLiteral("/Users/tester"), macRoot};
            tree.folders = stored.value(QStringLiteral("folders")).toInteger();
            tree.files = stored.value(QStringLiteral("files")).toInteger();
            tree.bytes = stored.value(QStringLiteral("bytes")).toInteger();
            tree.leftoverApps = options.leftoverApps;
            tree.installedApps = options.installedApps;
            return tree;
        }
        manifest.close();
    }

    // Only a folder made here is ever removed.
    QDir dir(QFile::decodeName(nativeRoot));
    if (dir.exists()) {
        if (!QFile::exists(QFile::decodeName(nativeRoot + kMarker)) || !dir.removeRecursively())
            return Tree();
    }
    if (!QDir().mkpath(dir.path()) || !QFile(QFile::decodeName(nativeRoot + kMarker)).open(QIODevice::WriteOnly))
        return Tree();

    Writer w;
    const QByteArray mac = nativeRoot + "/mac";
    const QByteArray home = mac + "/Users/tester";
    w.dir(mac);
    w.dirs(mac, "Users/tester");
    std::mt19937 random(options.seed);
    generateLeftovers(w, home, options, random);
    generateSystem(w, mac, options);
    generatePlugins(w, mac, home, options);
    generateApplications(w, mac, home, options);
    if (!w.ok)
        return Tree();
    // The root folder itself is not below the root.
    --w.tree.folders;

    Tree tree = w.tree;
    tree.roots = SystemRoots{macRoot + QStringLiteral("/Users/tester"), macRoot};
    tree.leftoverApps = options.leftoverApps;
    tree.installedApps = options.installedApps;

    QJsonObject stored{{QStringLiteral("options"), wanted},
                       {QStringLiteral("folders"), tree.folders},
                       {QStringLiteral("files"), tree.files},
                       {QStringLiteral("bytes"), tree.bytes}};
    // Written last: a tree without a manifest is incomplete and made again.
    if (!manifest.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || manifest.write(QJsonDocument(stored).toJson()) < 0)
        return Tree();
    return tree;
}

MacTreeGenerator::Tree MacTreeGenerator::generate(const QString &root)
{
    return generate(root, Options());
}

QString MacTreeGenerator::cacheRoot()
{
    return cacheRoot(Options());
}
