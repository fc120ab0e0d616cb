#include "platform/Workspace.h"

#include <QProcess>

namespace {

// QDesktopServices lives in QtGui, which the core does not link, so the
// desktop's opener is started directly, detached, without a shell.
class DesktopWorkspace final : public Workspace
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
};

} // namespace

Workspace &Workspace::system()
{
    static DesktopWorkspace workspace;
    return workspace;
}
