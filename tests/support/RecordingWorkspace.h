#pragma once

#include "platform/Workspace.h"

#include <QList>

// A workspace that records the URLs it is asked to open and the files it is
// asked to reveal, instead of doing either.
class RecordingWorkspace : public Workspace
{
public:
    bool openUrl(const QUrl &url) override;
    bool revealFiles(const QList<QUrl> &files) override;

    QList<QUrl> openedUrls;
    // One entry per request.
    QList<QList<QUrl>> revealedFiles;
    // What both requests report back.
    bool result = true;
};
