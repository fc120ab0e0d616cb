#pragma once

#include "ui/settings/FolderChooser.h"

#include <QSet>
#include <QStringList>
#include <QWidget>

class QPushButton;
class RemovableList;
class UserDefaults;

// The App Locations tab: extra folders searched for application bundles,
// written straight to "customAppLocations".
class LocationsSettingsView : public QWidget
{
    Q_OBJECT

public:
    explicit LocationsSettingsView(UserDefaults &defaults, QWidget *parent = nullptr);

    QStringList customPaths() const { return m_customPaths; }
    QSet<QString> locationSelection() const;
    void setLocationSelection(const QSet<QString> &paths);

    void setFolderChooser(FolderChooser chooser) { m_chooser = std::move(chooser); }

    RemovableList *list() const { return m_list; }
    QPushButton *removeSelectedButton() const { return m_removeSelected; }

public slots:
    void addLocations();
    void removeSelectedLocations();
    void removeLocation(const QString &path);

private:
    void reload();
    void updateButtons();

    UserDefaults &m_defaults;
    FolderChooser m_chooser = chooseFoldersWithDialog;
    QStringList m_customPaths;
    RemovableList *m_list;
    QPushButton *m_removeSelected;
};
