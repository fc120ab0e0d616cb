#include "ui/settings/SettingsView.h"

#include "core/LanguageManager.h"
#include "core/UpdateChecker.h"
#include "ui/common/SymbolIcon.h"
#include "ui/settings/IgnoreListSettingsView.h"
#include "ui/settings/LanguageSettingsView.h"
#include "ui/settings/LocationsSettingsView.h"
#include "ui/settings/PrivacySettingsView.h"
#include "ui/settings/UpdateSettingsView.h"

#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
const char *const tabTags[] = {"locations", "ignore", "updates", "privacy", "language"};
}

SettingsView::SettingsView(UserDefaults &defaults, LanguageManager &languageManager, UpdateChecker &updater,
                           bool isCrashReportingEnabled, QWidget *parent)
    : QWidget(parent)
    , m_languageManager(languageManager)
    , m_tabs(new QTabWidget(this))
    , m_locations(new LocationsSettingsView(defaults))
    , m_ignore(new IgnoreListSettingsView(defaults))
    , m_updates(new UpdateSettingsView(updater, updater.isAutomatic()))
    , m_privacy(new PrivacySettingsView(defaults, isCrashReportingEnabled))
    , m_language(new LanguageSettingsView(languageManager))
{
    m_tabs->addTab(m_locations, SymbolIcon::icon(QStringLiteral("folder.badge.plus")), tr("App Locations"));
    m_tabs->addTab(m_ignore, SymbolIcon::icon(QStringLiteral("nosign")), tr("Ignore List"));
    m_tabs->addTab(m_updates, SymbolIcon::icon(QStringLiteral("arrow.triangle.2.circlepath")), tr("Updates"));
    m_tabs->addTab(m_privacy, SymbolIcon::icon(QStringLiteral("hand.raised")), tr("Privacy"));
    m_tabs->addTab(m_language, SymbolIcon::icon(QStringLiteral("globe")), tr("Language"));
    // Every tab stays in sight: the window is never narrower than its tabs.
    m_tabs->setUsesScrollButtons(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    setMinimumSize(QSize(520, 380).expandedTo(layout->minimumSize()));

    setLocale(m_languageManager.locale());
    connect(&m_languageManager, &LanguageManager::languageChanged, this,
            [this] { setLocale(m_languageManager.locale()); });
}

QString SettingsView::selectedTab() const
{
    return QString::fromLatin1(tabTags[qBound(0, m_tabs->currentIndex(), 4)]);
}

void SettingsView::setSelectedTab(const QString &tag)
{
    for (int i = 0; i < 5; ++i) {
        if (tag == QLatin1String(tabTags[i]))
            m_tabs->setCurrentIndex(i);
    }
}

void SettingsView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // A window brought back from the dock or another desktop keeps the draft.
    if (!event->spontaneous())
        m_language->syncDraftLanguage();
}
