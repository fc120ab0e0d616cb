#pragma once

#include "platform/Workspace.h"

#include <QList>

// A workspace that records the URLs it is asked to open instead of opening them.
class RecordingWorkspace : public Workspace
{
public:
    bool openUrl(const QUrl &url) override
    {
        openedUrls.append(url);
        return result;
    }

    QList<QUrl> openedUrls;
    // What openUrl reports back.
    bool result = true;
};
