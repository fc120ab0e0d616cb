#include "ui/main/ContentView.h"

#include "core/LanguageManager.h"
#include "core/Scanner.h"
#include "core/UpdateChecker.h"
#include "platform/Trash.h"
#include "platform/Workspace.h"
#include "ui/common/BannerFrame.h"
#include "ui/common/BusyIndicator.h"
#include "ui/common/OutsideText.h"
#include "ui/common/SymbolIcon.h"
#include "ui/common/UiStyle.h"
#include "ui/main/FrameRules.h"
#include "ui/main/SafeModeSetting.h"

#include <QAction>
#include <QButtonGroup>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QFrame *divider(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setFixedHeight(1);
    line->setStyleSheet(UiStyle::textTone(UiStyle::Tone::quaternary));
    return line;
}

// An empty named place with a layout of its own, for a region built elsewhere.
template <typename Layout>
QWidget *place(const QString &name, QWidget *parent, QMargins margins, int spacing,
               Qt::Alignment alignment = {})
{
    auto *widget = new QWidget(parent);
    widget->setObjectName(name);
    auto *layout = new Layout(widget);
    layout->setContentsMargins(margins);
    layout->setSpacing(spacing);
    if (alignment)
        layout->setAlignment(alignment);
    return widget;
}

BannerFrame *bannerBox(const QString &name, QWidget *parent)
{
    auto *box = new BannerFrame(UiStyle::color(UiStyle::Tone::orange), 0.12, 0, 8, parent);
    box->setObjectName(name);
    auto *layout = new QHBoxLayout(box);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(8);
    layout->setAlignment(Qt::AlignTop);
    return box;
}

QWidget *region(QWidget *parent, std::initializer_list<QWidget *> parts)
{
    auto *widget = new QWidget(parent);
    auto *layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QWidget *part : parts)
        layout->addWidget(part);
    return widget;
}

} // namespace

ContentView::ContentView(const ScannerServices &services, UpdateChecker &updater, LanguageManager &lm,
                         QWidget *parent)
    : QWidget(parent)
    , m_scanner(new Scanner(services, this))
    , m_lm(lm)
    , m_updater(updater)
    , m_safeMode(SafeModeSetting::forStore(*services.defaults))
{
    setAcceptDrops(true);
    setLocale(m_lm.locale());
    buildFrame();
    buildLeftoversRegions();
    buildRosterRegions();

    connect(m_scanner, &Scanner::isScanningChanged, this, [this] { refreshHeader(); refreshPanes(); });
    connect(m_scanner, &Scanner::isLoadingRosterChanged, this, [this] { refreshHeader(); refreshPanes(); });
    connect(m_scanner, &Scanner::scanProgressChanged, this, &ContentView::refreshHeader);
    connect(m_scanner, &Scanner::itemsChanged, this, &ContentView::refreshPanes);
    connect(m_scanner, &Scanner::installedAppsChanged, this, &ContentView::refreshPanes);
    connect(m_scanner, &Scanner::tccAccessDeniedChanged, this, &ContentView::refreshBanners);
    connect(m_scanner, &Scanner::removalFailuresChanged, this, &ContentView::refreshBanners);
    connect(&m_updater, &UpdateChecker::hasUpdateChanged, this, &ContentView::refreshUpdateBanner);
    connect(&m_updater, &UpdateChecker::latestChanged, this, &ContentView::refreshUpdateBanner);
    connect(&m_lm, &LanguageManager::languageChanged, this, &ContentView::refreshTexts);
    connect(this, &ContentView::selectedTabChanged, this, &ContentView::refreshTab);
    connect(this, &ContentView::isDragTargetedChanged, this, [this] {
        m_dropOverlay->setVisible(m_isDragTargeted);
        m_dropOverlay->raise();
    });
    connect(m_safeMode.get(), &SafeModeSetting::valueChanged, this, [this] {
        emit safeModeChanged();
        emit filtersChanged();
    });
    connect(this, &ContentView::selectedTypeChanged, this, &ContentView::filtersChanged);
    connect(this, &ContentView::searchTextChanged, this, &ContentView::filtersChanged);

    refreshHeader();
    refreshUpdateBanner();
    refreshTab();
    refreshPanes();
    refreshBanners();
}

ContentView::~ContentView() = default;

// ---- the frame ----

void ContentView::buildFrame()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    layout->addWidget(buildHeader());
    m_updateBanner = region(this, {buildUpdateBanner(), divider(this)});
    layout->addWidget(m_updateBanner);
    layout->addWidget(divider(this));
    layout->addWidget(buildTabPicker());
    layout->addWidget(divider(this));

    const QMargins barMargins(16, 8, 16, 8);
    m_leftoversFilterBar = place<QHBoxLayout>(QStringLiteral("leftoversFilterBar"), this, barMargins, 10);
    m_rosterFilterBar = place<QHBoxLayout>(QStringLiteral("rosterFilterBar"), this, barMargins, 10);
    m_filterBars = new QStackedWidget(this);
    m_filterBars->addWidget(m_leftoversFilterBar);
    m_filterBars->addWidget(m_rosterFilterBar);
    m_filterBars->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    layout->addWidget(m_filterBars);
    layout->addWidget(divider(this));

    m_leftoversProgress = place<QVBoxLayout>(QStringLiteral("leftoversProgress"), this, {}, 16, Qt::AlignCenter);
    m_leftoversTable = place<QVBoxLayout>(QStringLiteral("leftoversTable"), this, {}, 0);
    m_leftoversEmptyState = place<QVBoxLayout>(QStringLiteral("leftoversEmptyState"), this, {}, 16, Qt::AlignCenter);
    m_rosterLoading = place<QVBoxLayout>(QStringLiteral("rosterLoading"), this, {}, 16, Qt::AlignCenter);
    m_rosterTable = place<QVBoxLayout>(QStringLiteral("rosterTable"), this, {}, 0);
    m_rosterEmptyState = place<QVBoxLayout>(QStringLiteral("rosterEmptyState"), this, {}, 20, Qt::AlignCenter);
    // Page order follows the pane-content enumerations.
    m_leftoversPane = new QStackedWidget(this);
    for (QWidget *page : {m_leftoversProgress, m_leftoversTable, m_leftoversEmptyState})
        m_leftoversPane->addWidget(page);
    m_rosterPane = new QStackedWidget(this);
    for (QWidget *page : {m_rosterLoading, m_rosterTable, m_rosterEmptyState})
        m_rosterPane->addWidget(page);
    m_panes = new QStackedWidget(this);
    m_panes->addWidget(m_leftoversPane);
    m_panes->addWidget(m_rosterPane);
    layout->addWidget(m_panes, 1);

    m_fullDiskAccessBanner = bannerBox(QStringLiteral("fullDiskAccessBanner"), this);
    m_fullDiskAccessBanner->setCursor(Qt::PointingHandCursor);
    m_fullDiskAccessBanner->installEventFilter(this);
    m_fullDiskAccessRegion = region(this, {divider(this), m_fullDiskAccessBanner});
    layout->addWidget(m_fullDiskAccessRegion);

    m_removalFailureBanner = bannerBox(QStringLiteral("removalFailureBanner"), this);
    m_removalFailureRegion = region(this, {divider(this), m_removalFailureBanner});
    layout->addWidget(m_removalFailureRegion);

    m_actionBar = place<QHBoxLayout>(QStringLiteral("actionBar"), this, barMargins, 8);
    layout->addWidget(divider(this));
    layout->addWidget(m_actionBar);

    // Over everything, outside the layout; sized with the view.
    m_dropOverlay = place<QVBoxLayout>(QStringLiteral("dropOverlay"), this, {}, 0, Qt::AlignCenter);
    m_dropOverlay->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_dropOverlay->hide();
}

QWidget *ContentView::buildHeader()
{
    auto *header = new QWidget(this);
    header->setObjectName(QStringLiteral("header"));
    auto *layout = new QHBoxLayout(header);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(10);

    auto *icon = new QLabel(header);
    icon->setPixmap(SymbolIcon::appIcon().pixmap(28, 28, QIcon::Normal));
    icon->setFixedSize(28, 28);
    layout->addWidget(icon);
    auto *title = new QLabel(tr("Quillmere"), header);
    title->setFont(UiStyle::font(UiStyle::TextStyle::title2, QFont::Bold));
    layout->addWidget(title);
    layout->addStretch(1);

    m_activityIndicator = new QWidget(header);
    auto *activity = new QHBoxLayout(m_activityIndicator);
    activity->setContentsMargins(0, 0, 0, 0);
    activity->setSpacing(6);
    activity->addWidget(new BusyIndicator(QSize(36, 10), m_activityIndicator));
    m_activityText = new QLabel(m_activityIndicator);
    m_activityText->setTextFormat(Qt::PlainText);
    m_activityText->setObjectName(QStringLiteral("activityText"));
    m_activityText->setFont(UiStyle::font(UiStyle::TextStyle::caption));
    m_activityText->setStyleSheet(UiStyle::textTone(UiStyle::Tone::secondary));
    activity->addWidget(m_activityText);
    layout->addWidget(m_activityIndicator);

    const auto headerButton = [header, layout](const QString &symbol, const QString &text, const QString &tip) {
        auto *button = new QPushButton(SymbolIcon::icon(symbol, UiStyle::color(UiStyle::Tone::primary)), text, header);
        button->setToolTip(tip);
        button->setFocusPolicy(Qt::TabFocus);
        layout->addWidget(button);
        return button;
    };
    m_settingsButton = headerButton(QStringLiteral("gearshape"), QString(), tr("Settings"));
    m_openTrashButton = headerButton(QStringLiteral("trash"), QString(), tr("Open Trash"));
    m_showLogButton = headerButton(QStringLiteral("doc.text.magnifyingglass"), tr("Show Log"), QString());
    m_donationButton = headerButton(QStringLiteral("cup.and.saucer.fill"), tr("Buy me a coffee"), tr("Buy me a coffee"));
    m_donationButton->setFont(UiStyle::font(UiStyle::TextStyle::caption));
    connect(m_settingsButton, &QPushButton::clicked, this, &ContentView::openSettingsWindow);
    connect(m_openTrashButton, &QPushButton::clicked, this, &ContentView::openTrash);
    connect(m_showLogButton, &QPushButton::clicked, this, &ContentView::showLog);
    connect(m_donationButton, &QPushButton::clicked, this, &ContentView::openDonationPage);

    // One primary button per tab; only the selected tab's is shown, so only it takes Ctrl+R.
    const auto primaryButton = [&](const QString &symbol, const QString &text) {
        auto *button = new QPushButton(SymbolIcon::icon(symbol, Qt::white), text, header);
        button->setStyleSheet(UiStyle::filledButton(UiStyle::color(UiStyle::Tone::accent)));
        // An action rather than the button's own shortcut: that one clicks only after an
        // animation. The action follows its button: hidden or disabled, Ctrl+R does nothing.
        auto *shortcut = new QAction(button);
        shortcut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
        button->addAction(shortcut);
        connect(shortcut, &QAction::triggered, button, &QPushButton::click);
        layout->addWidget(button);
        return button;
    };
    m_scanButton = primaryButton(QStringLiteral("magnifyingglass"), tr("Scan for Leftovers"));
    m_scanButton->setObjectName(QStringLiteral("scanButton"));
    m_loadAppsButton = primaryButton(QStringLiteral("arrow.clockwise"), tr("Load Apps"));
    m_loadAppsButton->setObjectName(QStringLiteral("loadAppsButton"));
    connect(m_scanButton, &QPushButton::clicked, this, &ContentView::scanForLeftovers);
    connect(m_loadAppsButton, &QPushButton::clicked, this, &ContentView::loadApps);
    return header;
}

QWidget *ContentView::buildUpdateBanner()
{
    auto *banner = new QWidget(this);
    banner->setObjectName(QStringLiteral("updateBanner"));
    banner->setAutoFillBackground(true);
    QPalette palette = banner->palette();
    palette.setColor(QPalette::Window, UiStyle::color(UiStyle::Tone::blue));
    banner->setPalette(palette);
    auto *layout = new QHBoxLayout(banner);
    layout->setContentsMargins(16, 8, 16, 8);
    layout->setSpacing(10);

    auto *icon = new QLabel(banner);
    icon->setPixmap(SymbolIcon::pixmap(QStringLiteral("arrow.down.circle.fill"), 16, Qt::white));
    layout->addWidget(icon);
    m_updateText = new QLabel(banner);
    m_updateText->setTextFormat(Qt::PlainText);
    m_updateText->setFont(UiStyle::font(UiStyle::TextStyle::callout));
    m_updateText->setStyleSheet(QStringLiteral("color: white;"));
    layout->addWidget(m_updateText);
    layout->addStretch(1);

    const QString buttonStyle = QStringLiteral("QPushButton { background: %1; color: %2; border: none;"
                                               " border-radius: 5px; padding: 3px 10px; }");
    m_downloadButton = new QPushButton(tr("Download"), banner);
    m_downloadButton->setStyleSheet(buttonStyle.arg(QStringLiteral("white"), UiStyle::css(UiStyle::color(UiStyle::Tone::blue))));
    m_laterButton = new QPushButton(tr("Later"), banner);
    m_laterButton->setStyleSheet(buttonStyle.arg(UiStyle::css(QColor(255, 255, 255, 64)), QStringLiteral("white")));
    layout->addWidget(m_downloadButton);
    layout->addWidget(m_laterButton);
    connect(m_downloadButton, &QPushButton::clicked, &m_updater, &UpdateChecker::openDownload);
    connect(m_laterButton, &QPushButton::clicked, &m_updater, &UpdateChecker::skipLatest);
    return banner;
}

QWidget *ContentView::buildTabPicker()
{
    auto *picker = new QWidget(this);
    picker->setObjectName(QStringLiteral("tabPicker"));
    picker->setAccessibleName(tr("Tab"));
    auto *layout = new QHBoxLayout(picker);
    layout->setContentsMargins(16, 8, 16, 8);
    layout->setSpacing(0);
    auto *group = new QButtonGroup(picker);
    group->setExclusive(true);
    layout->addStretch(1);
    // Two joined segments; the chosen one in the accent colour.
    const QString segment = QStringLiteral(
        "QPushButton { border: 1px solid %1; background: %2; padding: 3px 12px; border-%3-radius: 5px;"
        " border-%4-radius: 5px; }"
        "QPushButton:checked { background: %5; color: white; border-color: %5; }");
    const QString line = UiStyle::css(UiStyle::color(UiStyle::Tone::tertiary));
    const QString base = UiStyle::css(palette().color(QPalette::Base));
    const QString accent = UiStyle::css(UiStyle::color(UiStyle::Tone::accent));
    for (AppTab tab : AppTabs::allCases()) {
        // The raw value, untranslated: the labels read the same in every language.
        auto *button = new QPushButton(AppTabs::rawValue(tab), picker);
        button->setCheckable(true);
        button->setMinimumWidth(150);
        const bool first = tab == AppTabs::allCases().first();
        button->setStyleSheet(first ? segment.arg(line, base, QStringLiteral("top-left"), QStringLiteral("bottom-left"), accent)
                                    : segment.arg(line, base, QStringLiteral("top-right"), QStringLiteral("bottom-right"), accent));
        group->addButton(button);
        layout->addWidget(button);
        // Whatever checks a segment (a click, the keyboard, an assistive tool) picks its tab.
        connect(button, &QPushButton::toggled, this, [this, tab](bool checked) {
            if (checked)
                setSelectedTab(tab);
        });
        (tab == AppTab::leftovers ? m_leftoversTabButton : m_installedTabButton) = button;
    }
    layout->addStretch(1);
    return picker;
}

void ContentView::refreshHeader()
{
    const bool scanning = m_scanner->isScanning();
    const bool loading = m_scanner->isLoadingRoster();
    m_activityIndicator->setVisible(scanning || loading);
    m_activityText->setText(
        FrameRules::activityText(scanning, loading, m_scanner->scanProgress(), m_lm.localized(QStringLiteral("loading_apps"))));
    m_scanButton->setEnabled(!scanning);
    m_loadAppsButton->setEnabled(!loading);
}

void ContentView::refreshUpdateBanner()
{
    const std::optional<AppcastEntry> latest = m_updater.latest();
    const bool show = m_updater.hasUpdate() && latest.has_value();
    if (latest)
        m_updateText->setText(tr("Version %1 is available").arg(OutsideText::inLine(latest->version)));
    m_updateBanner->setVisible(show);
}

void ContentView::refreshTab()
{
    const bool leftovers = m_selectedTab == AppTab::leftovers;
    m_leftoversTabButton->setChecked(leftovers);
    m_installedTabButton->setChecked(!leftovers);
    m_scanButton->setVisible(leftovers);
    m_loadAppsButton->setVisible(!leftovers);
    m_filterBars->setCurrentIndex(leftovers ? 0 : 1);
    m_panes->setCurrentIndex(leftovers ? 0 : 1);
}

void ContentView::refreshPanes()
{
    m_leftoversPane->setCurrentIndex(
        int(FrameRules::leftoversPane(m_scanner->isScanning(), !m_scanner->items().isEmpty())));
    m_rosterPane->setCurrentIndex(
        int(FrameRules::rosterPane(m_scanner->isLoadingRoster(), !m_scanner->installedApps().isEmpty())));
}

void ContentView::refreshBanners()
{
    m_fullDiskAccessRegion->setVisible(m_scanner->tccAccessDenied());
    m_removalFailureRegion->setVisible(!m_scanner->removalFailures().isEmpty());
}

void ContentView::refreshTexts()
{
    setLocale(m_lm.locale());
    refreshHeader();
}

// ---- state ----

namespace {
template <typename T>
bool assign(T &member, const T &value)
{
    if (member == value)
        return false;
    member = value;
    return true;
}
} // namespace

void ContentView::setSelectedTab(AppTab tab)
{
    if (assign(m_selectedTab, tab))
        emit selectedTabChanged();
}

void ContentView::setSelectedType(std::optional<LeftoverType> type)
{
    if (assign(m_selectedType, type))
        emit selectedTypeChanged();
}

void ContentView::setSearchText(const QString &text)
{
    if (assign(m_searchText, text))
        emit searchTextChanged();
}

void ContentView::setSortOrder(const QList<LeftoverComparator> &order)
{
    if (assign(m_sortOrder, order))
        emit sortOrderChanged();
}

void ContentView::setTableSelection(const QSet<QUuid> &selection)
{
    if (assign(m_tableSelection, selection))
        emit tableSelectionChanged();
}

void ContentView::setIsDragTargeted(bool targeted)
{
    if (assign(m_isDragTargeted, targeted))
        emit isDragTargetedChanged();
}

void ContentView::setRosterSearch(const QString &text)
{
    if (assign(m_rosterSearch, text))
        emit rosterSearchChanged();
}

void ContentView::setRosterSortOrder(const QList<AppComparator> &order)
{
    if (assign(m_rosterSortOrder, order))
        emit rosterSortOrderChanged();
}

void ContentView::setRosterSelection(const QSet<QUuid> &selection)
{
    if (assign(m_rosterSelection, selection))
        emit rosterSelectionChanged();
}

void ContentView::setShowingLog(bool showing)
{
    if (assign(m_showingLog, showing))
        emit showingLogChanged();
}

void ContentView::setAppToRemove(const std::optional<InstalledApp> &app)
{
    // Records of a listing are told apart by their fresh ids.
    const auto id = [](const std::optional<InstalledApp> &a) { return a ? a->id : QUuid(); };
    if (m_appToRemove.has_value() == app.has_value() && id(m_appToRemove) == id(app))
        return;
    m_appToRemove = app;
    emit appToRemoveChanged();
}

void ContentView::setShowRemoveConfirmation(bool showing)
{
    if (assign(m_showRemoveConfirmation, showing))
        emit showRemoveConfirmationChanged();
}

bool ContentView::safeMode() const
{
    return m_safeMode->value();
}

void ContentView::setSafeMode(bool on)
{
    // The setting announces the change to every window, this one included.
    m_safeMode->setValue(on);
}

// ---- derived values ----

LeftoverFilters ContentView::filters() const
{
    return LeftoverFilters{safeMode(), m_selectedType, m_searchText};
}

bool ContentView::passesFilters(const LeftoverItem &item) const
{
    return DerivedLists::passesFilters(item, filters());
}

QList<LeftoverItem> ContentView::filteredItems() const
{
    return DerivedLists::filteredItems(m_scanner->items(), filters(), m_sortOrder);
}

int ContentView::hiddenBySafeModeCount() const
{
    return DerivedLists::hiddenBySafeModeCount(m_scanner->items(), safeMode());
}

QList<LeftoverItem> ContentView::selectedItems() const
{
    return DerivedLists::selectedItems(m_scanner->items(), m_tableSelection);
}

QList<InstalledApp> ContentView::filteredApps() const
{
    return DerivedLists::filteredApps(m_scanner->installedApps(), m_rosterSearch);
}

QList<InstalledApp> ContentView::selectedApps() const
{
    return DerivedLists::selectedApps(m_scanner->installedApps(), m_rosterSelection);
}

// ---- actions ----

void ContentView::openSettingsWindow()
{
    emit settingsRequested();
}

void ContentView::openTrash()
{
    // The Trash this application moves files to; whether it opened is not reported.
    const ScannerServices &services = m_scanner->services();
    if (services.trash && services.workspace)
        services.workspace->openUrl(QUrl::fromLocalFile(services.trash->filesPath()));
}

void ContentView::showLog()
{
    setShowingLog(true);
}

void ContentView::openDonationPage()
{
    if (Workspace *workspace = m_scanner->services().workspace)
        workspace->openUrl(QUrl(QString::fromLatin1(donationUrl)));
}

void ContentView::scanForLeftovers()
{
    setTableSelection({});
    m_scanner->scan();
}

void ContentView::loadApps()
{
    setRosterSelection({});
    m_scanner->loadInstalledApps();
}

// ---- drops ----

bool ContentView::handleDrop(const QList<QUrl> &urls)
{
    if (urls.isEmpty())
        return false;
    // Accepted at once; the file is judged after the drop has ended.
    const QUrl first = urls.first();
    QTimer::singleShot(0, this, [this, first] { handleDroppedApp(first); });
    return true;
}

namespace {
QList<QUrl> localFileUrls(const QMimeData *data)
{
    QList<QUrl> urls;
    if (!data || !data->hasUrls())
        return urls;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            urls.append(url);
    }
    return urls;
}
} // namespace

void ContentView::dragEnterEvent(QDragEnterEvent *event)
{
    if (localFileUrls(event->mimeData()).isEmpty())
        return;
    event->acceptProposedAction();
    setIsDragTargeted(true);
}

void ContentView::dragLeaveEvent(QDragLeaveEvent *)
{
    setIsDragTargeted(false);
}

void ContentView::dropEvent(QDropEvent *event)
{
    setIsDragTargeted(false);
    if (handleDrop(localFileUrls(event->mimeData())))
        event->acceptProposedAction();
}

bool ContentView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_fullDiskAccessBanner && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        openFullDiskAccessSettings();
        return true;
    }
    if (m_rosterView && watched == m_rosterView->viewport() && event->type() == QEvent::Resize)
        fitRosterVersionColumn();
    return QWidget::eventFilter(watched, event);
}

QSize ContentView::minimumSizeHint() const
{
    // Not a fixed minimum: a fixed one would let banners squeeze the action bar off the window.
    return QWidget::minimumSizeHint().expandedTo(QSize(960, 580));
}

void ContentView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_dropOverlay->setGeometry(rect());
}
