#pragma once

#include <QUrl>

// Our stand-in for the platform's workspace: hands a URL to the desktop's
// default handler (normally the web browser or the settings application).
// Tests substitute an implementation that records the requests.
class Workspace
{
public:
    virtual ~Workspace() = default;

    // Returns whether the request could be handed over; the handler's own
    // outcome is not known.
    virtual bool openUrl(const QUrl &url) = 0;

    // The desktop's URL handler.
    static Workspace &system();
};
