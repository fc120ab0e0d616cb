#include "ui/settings/LocationsSettingsView.h"

#include "model/StoredLists.h"
#include "ui/common/UiStyle.h"
#include "ui/settings/RemovableList.h"
#include "ui/settings/SettingsLabels.h"
#include "ui/settings/SettingsLists.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

LocationsSettingsView::LocationsSettingsView(UserDefaults &defaults, QWidget *parent)
    : QWidget(parent)
    , m_defaults(defaults)
    , m_list(new RemovableList(QStringLiteral("folder"), UiStyle::color(UiStyle::Tone::accent),
                               tr("No custom locations added."), Qt::ElideMiddle, this))
    , m_removeSelected(new QPushButton(tr("Remove Selected"), this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(12);
    layout->addWidget(SettingsLabels::heading(tr("Custom App Locations")));
    layout->addWidget(
        SettingsLabels::caption(tr("Folders added here will be scanned for .app bundles alongside /Applications.")));
    layout->addWidget(m_list, 1);

    auto *buttons = new QHBoxLayout;
    auto *add = new QPushButton(tr("Add Folder…"), this);
    buttons->addWidget(add);
    QPalette destructive = m_removeSelected->palette();
    destructive.setColor(QPalette::ButtonText, UiStyle::color(UiStyle::Tone::red));
    m_removeSelected->setPalette(destructive);
    buttons->addWidget(m_removeSelected);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    connect(add, &QPushButton::clicked, this, &LocationsSettingsView::addLocations);
    connect(m_removeSelected, &QPushButton::clicked, this, &LocationsSettingsView::removeSelectedLocations);
    connect(m_list, &RemovableList::removeRequested, this, &LocationsSettingsView::removeLocation);
    connect(m_list, &RemovableList::selectionChanged, this, &LocationsSettingsView::updateButtons);
    reload();
}

QSet<QString> LocationsSettingsView::locationSelection() const
{
    return m_list->selection();
}

void LocationsSettingsView::setLocationSelection(const QSet<QString> &paths)
{
    m_list->setSelection(paths);
}

void LocationsSettingsView::addLocations()
{
    const QStringList chosen = m_chooser ? m_chooser(this) : QStringList();
    if (chosen.isEmpty())
        return;
    SettingsLists::addCustomLocations(chosen, m_defaults);
    reload();
}

void LocationsSettingsView::removeSelectedLocations()
{
    SettingsLists::removeCustomLocations(locationSelection().values(), m_defaults);
    m_list->setSelection({});
    reload();
}

void LocationsSettingsView::removeLocation(const QString &path)
{
    StoredLists::removeCustomLocation(path, m_defaults);
    reload();
}

void LocationsSettingsView::reload()
{
    m_customPaths = StoredLists::customAppLocations(m_defaults);
    m_list->setEntries(m_customPaths, [](const QString &path) { return SettingsLists::displayPath(path); });
    updateButtons();
}

void LocationsSettingsView::updateButtons()
{
    m_removeSelected->setVisible(!m_customPaths.isEmpty());
    m_removeSelected->setEnabled(!m_list->selection().isEmpty());
}
