#pragma once

#include <QStringList>
#include <QWidget>

class QPushButton;
class RemovableList;
class UserDefaults;

// The Ignore List tab: the bundle identifiers hidden from scan results.
class IgnoreListSettingsView : public QWidget
{
    Q_OBJECT

public:
    explicit IgnoreListSettingsView(UserDefaults &defaults, QWidget *parent = nullptr);

    QStringList ignoredIDs() const { return m_ignoredIDs; }
    RemovableList *list() const { return m_list; }
    QPushButton *clearAllButton() const { return m_clearAll; }

public slots:
    void removeIgnoredApp(const QString &bundleID);
    void clearIgnoreList();

private:
    void showIDs(const QStringList &ids);

    UserDefaults &m_defaults;
    QStringList m_ignoredIDs;
    RemovableList *m_list;
    QPushButton *m_clearAll;
};
