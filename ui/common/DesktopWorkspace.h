#pragma once

#include "platform/Workspace.h"

#include <QObject>

// The workspace of a desktop session: URLs go to the desktop's opener; files
// are shown by the session's file manager over D-Bus, or, where none answers,
// by opening the folder that holds them.
class DesktopWorkspace final : public QObject, public Workspace
{
    Q_OBJECT

public:
    explicit DesktopWorkspace(QObject *parent = nullptr);

    bool openUrl(const QUrl &url) override;
    // Returns at once; the file manager's answer arrives later.
    bool revealFiles(const QList<QUrl> &files) override;

    // The one instance the application's windows share.
    static DesktopWorkspace &shared();
};
