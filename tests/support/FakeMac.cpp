#include "support/FakeMac.h"

#include "platform/PropertyList.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

FakeMac::FakeMac()
{
    QDir().mkpath(home());
}

FakeMac::~FakeMac()
{
    if (!m_dir.isValid())
        return;
    const auto removeEntry = [](const char *p, const struct stat *, int, struct FTW *) {
        remove(p);
        return 0;
    };
    // Depth first, links not followed, so nothing outside the folder is touched.
    nftw(QFile::encodeName(m_dir.path()).constData(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
}

QString FakeMac::root() const
{
    return m_dir.path() + QStringLiteral("/mac");
}

QString FakeMac::home() const
{
    return root() + QStringLiteral("/Users/tester");
}

SystemRoots FakeMac::roots() const
{
    return SystemRoots{home(), root()};
}

QString FakeMac::path(const QString &fakePath) const
{
    if (fakePath == QLatin1String("~"))
        return home();
    if (fakePath.startsWith(QLatin1String("~/")))
        return home() + fakePath.mid(1);
    if (fakePath.startsWith(m_dir.path()))
        return fakePath;
    return root() + fakePath;
}

QString FakeMac::createDir(const QString &fakePath)
{
    const QString p = path(fakePath);
    QDir().mkpath(p);
    return p;
}

QString FakeMac::createFile(const QString &fakePath, const QByteArray &content)
{
    const QString p = path(fakePath);
    QDir().mkpath(QFileInfo(p).absolutePath());
    QFile f(p);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(content);
    return p;
}

QString FakeMac::createFileOfSize(const QString &fakePath, qint64 size)
{
    const QString p = createFile(fakePath);
    QFile f(p);
    if (f.open(QIODevice::ReadWrite))
        f.resize(size);
    return p;
}

QString FakeMac::createPlist(const QString &fakePath, const QVariantMap &dict, bool binary)
{
    return createFile(fakePath, binary ? PropertyList::toBinary(dict) : PropertyList::toXml(dict));
}

QString FakeMac::createSymlink(const QString &target, const QString &fakeLinkPath)
{
    const QString p = path(fakeLinkPath);
    QDir().mkpath(QFileInfo(p).absolutePath());
    QFile::link(target, p);
    return p;
}

QString FakeMac::createScript(const QString &fakePath, const QByteArray &body)
{
    const QString p = createFile(fakePath, "#!/bin/sh\n" + body);
    QFile::setPermissions(p, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                 | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    return p;
}

QString FakeMac::createApp(const QString &fakeBundlePath, const QString &bundleID, const QString &version,
                           bool binaryPlist)
{
    const QString p = createDir(fakeBundlePath);
    QVariantMap info;
    if (!bundleID.isEmpty())
        info.insert(QStringLiteral("CFBundleIdentifier"), bundleID);
    if (!version.isEmpty())
        info.insert(QStringLiteral("CFBundleShortVersionString"), version);
    const QString name = QFileInfo(p).completeBaseName();
    info.insert(QStringLiteral("CFBundleExecutable"), name);
    createPlist(p + QStringLiteral("/Contents/Info.plist"), info, binaryPlist);
    createFile(p + QStringLiteral("/Contents/MacOS/") + name, QByteArray(100, 'x'));
    return p;
}

QString FakeMac::createFifo(const QString &fakePath)
{
    const QString p = path(fakePath);
    QDir().mkpath(QFileInfo(p).absolutePath());
    mkfifo(QFile::encodeName(p).constData(), 0644);
    return p;
}

bool FakeMac::createRawNamed(const QString &fakeFolder, const QByteArray &name, bool folder)
{
    const QByteArray p = QFile::encodeName(createDir(fakeFolder)) + '/' + name;
    if (folder)
        return mkdir(p.constData(), 0755) == 0;
    const int fd = open(p.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool ok = write(fd, "0123456789", 10) == 10;
    close(fd);
    return ok;
}

QStringList FakeMac::awkwardNames()
{
    return {
        QStringLiteral("with blank"),
        QStringLiteral("it's quoted"),
        QStringLiteral("double \"quoted\""),
        QStringLiteral("Con \uc790\ubc31"),
        QStringLiteral("new\nline"),
        QStringLiteral("-leading-dash"),
        QStringLiteral("back\\slash"),
        QStringLiteral("$(touch pwned)"),
    };
}

QMap<QString, QByteArray> FakeMac::fingerprint(const QStringList &skipped) const
{
    QStringList skippedPaths;
    for (const QString &fakePath : skipped)
        skippedPaths << path(fakePath);
    const auto isSkipped = [&](const QString &p) {
        return std::any_of(skippedPaths.cbegin(), skippedPaths.cend(), [&](const QString &s) {
            // The folders on the way to a skipped one may be made with it.
            return p == s || p.startsWith(s + QLatin1Char('/')) || s.startsWith(p + QLatin1Char('/'));
        });
    };
    QMap<QString, QByteArray> entries;
    QDirIterator it(root(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        if (isSkipped(p))
            continue;
        struct stat st;
        if (lstat(QFile::encodeName(p).constData(), &st) != 0)
            continue;
        QByteArray value = QByteArray::number(st.st_mode, 8);
        if (S_ISLNK(st.st_mode)) {
            value += ' ' + QFile::encodeName(QFile::symLinkTarget(p));
        } else if (S_ISREG(st.st_mode)) {
            QFile file(p);
            if (file.open(QIODevice::ReadOnly))
                value += ' ' + QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex();
        }
        entries.insert(p.mid(root().size()), value);
    }
    return entries;
}
