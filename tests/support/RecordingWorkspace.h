#pragma once

#include "platform/Workspace.h"

#include <QList>

// A workspace that records the URLs it is asked to open and the files it is
// asked to reveal, instead of doing either.
class RecordingWorkspace : public Workspace
{
public:
    bool openUrl(const QUrl &url) override
    {
        openedUrls.append(url);
        return result;
    }
    bool revealFiles(const QList<QUrl> &files) override
    {
        revealedFiles.append(files);
        return result;
    }

    QList<QUrl> openedUrls;
    // One entry per request.
    QList<QList<QUrl>> revealedFiles;
    // What both requests report back.
    bool result = true;
};
