#include "ui/settings/IgnoreListSettingsView.h"

#include "model/StoredLists.h"
#include "ui/common/UiStyle.h"
#include "ui/settings/RemovableList.h"
#include "ui/settings/SettingsLabels.h"
#include "ui/settings/SettingsLists.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

IgnoreListSettingsView::IgnoreListSettingsView(UserDefaults &defaults, QWidget *parent)
    : QWidget(parent)
    , m_defaults(defaults)
    , m_list(new RemovableList(QStringLiteral("nosign"), UiStyle::color(UiStyle::Tone::secondary),
                               tr("No apps ignored."), Qt::ElideRight, this))
    , m_clearAll(new QPushButton(tr("Clear All"), this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(12);
    layout->addWidget(SettingsLabels::heading(tr("Ignored Apps")));
    layout->addWidget(SettingsLabels::caption(tr("Apps on this list are never shown in scan results. "
                                                 "Use the right-click menu in the main window to add apps here.")));
    layout->addWidget(m_list, 1);

    auto *buttons = new QHBoxLayout;
    QPalette destructive = m_clearAll->palette();
    destructive.setColor(QPalette::ButtonText, UiStyle::color(UiStyle::Tone::red));
    m_clearAll->setPalette(destructive);
    buttons->addWidget(m_clearAll);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    connect(m_clearAll, &QPushButton::clicked, this, &IgnoreListSettingsView::clearIgnoreList);
    connect(m_list, &RemovableList::removeRequested, this, &IgnoreListSettingsView::removeIgnoredApp);
    showIDs(SettingsLists::sortedUniqueIDs(StoredLists::ignoredBundleIDs(m_defaults)));
}

void IgnoreListSettingsView::removeIgnoredApp(const QString &bundleID)
{
    StoredLists::removeFromIgnoreList(bundleID, m_defaults);
    showIDs(SettingsLists::sortedUniqueIDs(StoredLists::ignoredBundleIDs(m_defaults)));
}

void IgnoreListSettingsView::clearIgnoreList()
{
    // An empty list, not an absent key.
    m_defaults.setStringList(StoredLists::ignoredBundleIDsKey, {});
    showIDs({});
}

void IgnoreListSettingsView::showIDs(const QStringList &ids)
{
    m_ignoredIDs = ids;
    m_list->setEntries(ids, {});
    m_clearAll->setVisible(!ids.isEmpty());
}
