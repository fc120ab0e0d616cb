#pragma once

#include <QList>
#include <QUrl>

// Our stand-in for the platform's workspace: hands a URL to the desktop's
// default handler (normally the web browser or the settings application) and
// shows files in the file manager. Tests substitute an implementation that
// records the requests.
class Workspace
{
public:
    virtual ~Workspace() = default;

    // Returns whether the request could be handed over; the handler's own
    // outcome is not known.
    virtual bool openUrl(const QUrl &url) = 0;

    // Shows the files in one file-manager window with them selected. Returns
    // whether the request could be handed over.
    virtual bool revealFiles(const QList<QUrl> &files) = 0;

    // What a desktop without a file manager that selects files can do: open
    // the folder that holds the first local file. False when there is none.
    bool openContainingFolder(const QList<QUrl> &files);

    // The desktop's URL handler.
    static Workspace &system();
};
