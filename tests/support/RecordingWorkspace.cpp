#include "RecordingWorkspace.h"

bool RecordingWorkspace::openUrl(const QUrl &url)
{
    openedUrls.append(url);
    return result;
}

bool RecordingWorkspace::revealFiles(const QList<QUrl> &files)
{
    revealedFiles.append(files);
    return result;
}
