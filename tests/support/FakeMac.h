#pragma once

#include "model/SystemRoots.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QTemporaryDir>
#include <QVariantMap>

// Builds a whole fake Mac in a temporary folder: a system root with the home
// folder at "/Users/tester" below it. Paths given to the builder are as the
// system sees them: "/Library/Caches/x" lies under the root, "~/Library/x"
// under the home folder. Every create call makes missing parent folders.
class FakeMac
{
public:
    FakeMac();
    // Removes the whole tree itself first: names that are not valid UTF-8
    // cannot be removed through Qt's paths.
    ~FakeMac();

    bool isValid() const { return m_dir.isValid(); }
    SystemRoots roots() const;
    QString root() const;
    QString home() const;

    // The real path of a fake path ("/Library/x" or "~/x"); a real path is returned unchanged.
    QString path(const QString &fakePath) const;

    QString createDir(const QString &fakePath);
    QString createFile(const QString &fakePath, const QByteArray &content = QByteArray());
    // A file of `size` bytes.
    QString createFileOfSize(const QString &fakePath, qint64 size);
    QString createPlist(const QString &fakePath, const QVariantMap &dict, bool binary = false);
    QString createSymlink(const QString &target, const QString &fakeLinkPath);
    // An executable shell script (a fake system tool).
    QString createScript(const QString &fakePath, const QByteArray &body);

    // An application bundle with Contents/Info.plist; an empty bundle ID leaves it out.
    QString createApp(const QString &fakeBundlePath, const QString &bundleID, const QString &version = QString(),
                      bool binaryPlist = false);

    // A named pipe: opening it for reading blocks until a writer comes.
    QString createFifo(const QString &fakePath);
    // A file or folder in `fakeFolder` whose name is raw bytes (invalid UTF-8, say).
    // Returns false when it could not be made.
    bool createRawNamed(const QString &fakeFolder, const QByteArray &name, bool folder = false);

    // Every entry below the root, keyed by its path as the system sees it, with
    // its kind, mode and content (a link: its target). Entries at or below the
    // `skipped` fake paths, and the folders on the way to them, are left out.
    // Equal fingerprints: nothing changed.
    QMap<QString, QByteArray> fingerprint(const QStringList &skipped = {}) const;

    // Names that break naive code: blanks, quotes, non-ASCII, a newline, a leading dash.
    static QStringList awkwardNames();

private:
    QTemporaryDir m_dir;
};
