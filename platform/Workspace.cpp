#include "platform/Workspace.h"

#include <QFileInfo>
#include <QProcess>

namespace {

// QDesktopServices lives in QtGui, which the core does not link, so the
// desktop's opener is started directly, detached, without a shell.
class OpenerWorkspace final : public Workspace
{
public:
    bool openUrl(const QUrl &url) override
    {
        // A URL without a scheme could read as an option or a local path.
        if (!url.isValid() || url.scheme().isEmpty())
            return false;
        return QProcess::startDetached(QStringLiteral("/usr/bin/xdg-open"),
                                       {url.toString(QUrl::FullyEncoded)});
    }

    bool revealFiles(const QList<QUrl> &files) override { return openContainingFolder(files); }
};

} // namespace

bool Workspace::openContainingFolder(const QList<QUrl> &files)
{
    for (const QUrl &file : files) {
        if (file.isLocalFile())
            return openUrl(QUrl::fromLocalFile(QFileInfo(file.toLocalFile()).absolutePath()));
    }
    return false;
}

Workspace &Workspace::system()
{
    static OpenerWorkspace workspace;
    return workspace;
}
