#include "ui/main/RosterTab.h"

#include "core/LanguageManager.h"
#include "core/Scanner.h"
#include "model/StoredLists.h"
#include "ui/common/BusyIndicator.h"
#include "ui/common/Divider.h"
#include "ui/common/MarkdownText.h"
#include "ui/common/OutsideText.h"
#include "ui/common/SymbolIcon.h"
#include "ui/common/UiStyle.h"
#include "ui/main/FrameRules.h"
#include "ui/main/RosterTableModel.h"
#include "ui/main/RosterTableView.h"
#include "ui/main/SearchField.h"
#include "ui/main/WindowActions.h"

#include <QBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>

namespace {

// Only the sizes differ: the rows stay where they are unless sorted by size.
bool onlySizesDiffer(const QList<InstalledApp> &a, const QList<InstalledApp> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const InstalledApp &x = a.at(i);
        const InstalledApp &y = b.at(i);
        if (x.id != y.id || x.name != y.name || x.bundleID != y.bundleID || x.path != y.path || x.version != y.version
            || x.lastLaunched != y.lastLaunched)
            return false;
    }
    return true;
}

template <typename T>
bool assign(T &member, const T &value)
{
    if (member == value)
        return false;
    member = value;
    return true;
}

} // namespace

RosterTab::RosterTab(Scanner &scanner, LanguageManager &lm, QWidget *parent)
    : QWidget(parent)
    , m_scanner(scanner)
    , m_lm(lm)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildFilterBar());
    layout->addWidget(new Divider(this));

    m_table = new RosterTableView(scanner, lm, this);
    auto *tablePage = new QWidget(this);
    tablePage->setObjectName(QStringLiteral("rosterTable"));
    auto *tableLayout = new QVBoxLayout(tablePage);
    tableLayout->setContentsMargins(0, 0, 0, 0);
    tableLayout->addWidget(m_table);
    // Page order follows the pane-content enumeration.
    m_pane = new QStackedWidget(this);
    m_pane->addWidget(buildLoadingView());
    m_pane->addWidget(tablePage);
    m_pane->addWidget(buildEmptyState());
    layout->addWidget(m_pane, 1);

    connect(m_table, &RosterTableView::sortOrderChosen, this, &RosterTab::setRosterSortOrder);
    connect(m_table, &RosterTableView::selectionChosen, this, &RosterTab::setRosterSelection);
    connect(m_table, &RosterTableView::menuActionChosen, this, &RosterTab::runMenuAction);
    connect(&m_scanner, &Scanner::installedAppsChanged, this, [this] {
        refreshRoster(true);
        refreshPane();
    });
    connect(&m_scanner, &Scanner::isLoadingRosterChanged, this, &RosterTab::refreshPane);
    connect(this, &RosterTab::rosterSearchChanged, this, [this] { refreshRoster(); });
    connect(this, &RosterTab::rosterSortOrderChanged, this, [this] { refreshRoster(); });
    connect(this, &RosterTab::rosterSelectionChanged, this, [this] { m_table->setSelection(m_rosterSelection); });
    connect(this, &RosterTab::showRemoveConfirmationChanged, this, &RosterTab::refreshRemoveAlert);
    connect(this, &RosterTab::appToRemoveChanged, this, &RosterTab::refreshRemoveAlert);
    refreshRoster();
    refreshPane();
}

QWidget *RosterTab::buildFilterBar()
{
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("rosterFilterBar"));
    bar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(16, 8, 16, 8);
    layout->setSpacing(10);
    m_searchField = new SearchField(tr("Search installed apps\u2026"), bar);
    m_searchField->setObjectName(QStringLiteral("rosterSearch"));
    layout->addWidget(m_searchField, 1);
    layout->addStretch(1);
    m_count = new QLabel(bar);
    m_count->setObjectName(QStringLiteral("rosterCount"));
    m_count->setFont(UiStyle::font(UiStyle::TextStyle::caption));
    m_count->setStyleSheet(UiStyle::textTone(UiStyle::Tone::secondary));
    layout->addWidget(m_count);
    connect(m_searchField, &SearchField::textChanged, this, &RosterTab::setRosterSearch);
    connect(this, &RosterTab::rosterSearchChanged, m_searchField, [this] { m_searchField->setText(m_rosterSearch); });
    return bar;
}

QWidget *RosterTab::buildLoadingView()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("rosterLoading"));
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(16);
    layout->setAlignment(Qt::AlignCenter);
    layout->addWidget(new BusyIndicator(QSize(120, 12), page), 0, Qt::AlignHCenter);
    auto *text = new QLabel(tr("Loading installed apps…"), page);
    text->setStyleSheet(UiStyle::textTone(UiStyle::Tone::secondary));
    layout->addWidget(text, 0, Qt::AlignHCenter);
    return page;
}

QWidget *RosterTab::buildEmptyState()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("rosterEmptyState"));
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(20);
    layout->setAlignment(Qt::AlignCenter);
    auto *symbol = new QLabel(page);
    symbol->setPixmap(SymbolIcon::pixmap(QStringLiteral("app.badge"), 56, UiStyle::color(UiStyle::Tone::tertiary)));
    layout->addWidget(symbol, 0, Qt::AlignHCenter);
    const QString shortcut = QKeySequence(Qt::CTRL | Qt::Key_R).toString(QKeySequence::NativeText);
    auto *hint = new QLabel(page);
    setMarkdownText(hint, tr("Press **%1** or click **Load Apps** to see installed applications.").arg(shortcut));
    hint->setAlignment(Qt::AlignCenter);
    hint->setStyleSheet(UiStyle::textTone(UiStyle::Tone::secondary));
    layout->addWidget(hint, 0, Qt::AlignHCenter);
    return page;
}

// ---- state ----

void RosterTab::setRosterSearch(const QString &text)
{
    if (assign(m_rosterSearch, text))
        emit rosterSearchChanged();
}

void RosterTab::setRosterSortOrder(const QList<AppComparator> &order)
{
    if (assign(m_rosterSortOrder, order))
        emit rosterSortOrderChanged();
}

void RosterTab::setRosterSelection(const QSet<QUuid> &selection)
{
    if (assign(m_rosterSelection, selection))
        emit rosterSelectionChanged();
}

void RosterTab::setAppToRemove(const std::optional<InstalledApp> &app)
{
    // Records of a listing are told apart by their fresh ids.
    const auto id = [](const std::optional<InstalledApp> &a) { return a ? a->id : QUuid(); };
    if (m_appToRemove.has_value() == app.has_value() && id(m_appToRemove) == id(app))
        return;
    m_appToRemove = app;
    emit appToRemoveChanged();
}

void RosterTab::setShowRemoveConfirmation(bool showing)
{
    if (assign(m_showRemoveConfirmation, showing))
        emit showRemoveConfirmationChanged();
}

QList<InstalledApp> RosterTab::filteredApps() const
{
    return DerivedLists::filteredApps(m_scanner.installedApps(), m_rosterSearch);
}

QList<InstalledApp> RosterTab::selectedApps() const
{
    return DerivedLists::selectedApps(m_scanner.installedApps(), m_rosterSelection);
}

// ---- the table ----

void RosterTab::refreshRoster(bool rosterChanged)
{
    RosterTableModel &model = m_table->rosterModel();
    const QList<InstalledApp> &apps = m_scanner.installedApps();
    const bool sortsBySize = std::any_of(m_rosterSortOrder.begin(), m_rosterSortOrder.end(), [](const AppComparator &c) {
        return c.key == AppComparator::Key::appSize;
    });
    if (!sortsBySize && rosterChanged && onlySizesDiffer(apps, m_rosterShown)) {
        // A size arrived: touch only its row; the search and the order do not look at sizes.
        for (qsizetype i = 0; i < apps.size(); ++i) {
            if (apps.at(i).appSize != m_rosterShown.at(i).appSize)
                model.updateApp(apps.at(i));
        }
    } else {
        model.setApps(DerivedLists::sortedApps(filteredApps(), m_rosterSortOrder));
        m_table->setSelection(m_rosterSelection);
        m_table->fitVersionColumn();
    }
    m_rosterShown = apps;

    m_count->setVisible(!apps.isEmpty());
    if (!apps.isEmpty())
        m_count->setText(RosterRules::countText(model.rowCount()));
    m_table->setSortOrder(m_rosterSortOrder);
}

void RosterTab::refreshPane()
{
    m_pane->setCurrentIndex(
        int(FrameRules::rosterPane(m_scanner.isLoadingRoster(), !m_scanner.installedApps().isEmpty())));
}

// ---- the context menu ----

void RosterTab::runMenuAction(RosterMenuEntry::Action action, const InstalledApp &app)
{
    using Action = RosterMenuEntry::Action;
    switch (action) {
    case Action::reveal: WindowActions::revealInFinder(m_scanner, {app.path}); break;
    case Action::scanLeftovers: emit scanLeftoversRequested(app); break;
    case Action::resetAllPermissions: m_scanner.resetAllPermissions(app.bundleID, app.name); break;
    case Action::requestRemove: requestRemoveApp(app); break;
    case Action::unignore: WindowActions::unignoreBundleID(m_scanner, app.bundleID); break;
    // Only the stored list: no log line, and the leftovers list keeps its rows until the next scan.
    case Action::addToIgnore: StoredLists::addToIgnoreList(app.bundleID, *m_scanner.services().defaults); break;
    case Action::separator: break;
    }
}

// ---- the removal confirmation ----

void RosterTab::requestRemoveApp(const InstalledApp &app)
{
    setAppToRemove(app);
    setShowRemoveConfirmation(true);
}

void RosterTab::cancelRemoveApp()
{
    setAppToRemove(std::nullopt);
}

void RosterTab::confirmRemoveApp()
{
    if (m_appToRemove) {
        m_scanner.removeAppCompletely(*m_appToRemove);
        setRosterSelection({});
    }
    setAppToRemove(std::nullopt);
}

void RosterTab::refreshRemoveAlert()
{
    if (!m_showRemoveConfirmation) {
        // Closed by the state, not by the user: nothing was chosen.
        if (QMessageBox *alert = m_removeAlert) {
            m_removeAlert = nullptr;
            alert->close();
        }
        return;
    }
    if (!m_removeAlert) {
        m_removeAlert = new QMessageBox(QMessageBox::Warning, QString(), QString(), QMessageBox::NoButton, this);
        m_removeAlert->setObjectName(QStringLiteral("removeAppAlert"));
        m_removeAlert->setAttribute(Qt::WA_DeleteOnClose);
        m_removeAlert->setWindowModality(Qt::WindowModal);
        QPushButton *cancel = m_removeAlert->addButton(m_lm.localized(QStringLiteral("cancel")), QMessageBox::RejectRole);
        QPushButton *remove = m_removeAlert->addButton(m_lm.localized(QStringLiteral("remove_app_confirm_button")),
                                                       QMessageBox::DestructiveRole);
        remove->setObjectName(QStringLiteral("removeEverything"));
        remove->setStyleSheet(UiStyle::textTone(UiStyle::Tone::red));
        m_removeAlert->setDefaultButton(cancel);
        m_removeAlert->setEscapeButton(cancel);
        // Finished rather than a button click: closing the alert's window (or Alt+F4)
        // clicks nothing, and must cancel all the same.
        connect(m_removeAlert, &QDialog::finished, this, [this, alert = m_removeAlert.data(), remove] {
            if (m_removeAlert != alert)
                return;
            // Closing by itself and deleted later: the next request gets an alert of its own.
            m_removeAlert = nullptr;
            setShowRemoveConfirmation(false);
            alert->clickedButton() == remove ? confirmRemoveApp() : cancelRemoveApp();
        });
        m_removeAlert->open();
    }
    const QString title = m_lm.localized(QStringLiteral("remove_app_confirm_title"));
    m_removeAlert->setWindowTitle(title);
    m_removeAlert->setText(QStringLiteral("<b>%1</b>").arg(title.toHtmlEscaped()));
    m_removeAlert->setInformativeText(m_appToRemove ? m_lm.localized(QStringLiteral("remove_app_confirm_message"),
                                                                     {OutsideText::inLine(m_appToRemove->name)})
                                                    : QString());
    // The message names the app: plain text (the box makes this label on first use, as rich text).
    if (auto *message = m_removeAlert->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
        message->setTextFormat(Qt::PlainText);
}
