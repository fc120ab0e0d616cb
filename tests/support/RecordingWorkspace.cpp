#include "RecordingWorkspace.h"

bool RecordingWorkspace::openUrl(const QUrl &url)
{
    openedUrls.append(url);
    return result;
}
