#include "ui/main/ContentView.h"

#include "core/LanguageManager.h"
#include "core/MainThread.h"
#include "core/Scanner.h"
#include "core/UpdateChecker.h"
#include "platform/Trash.h"
#include "platform/Workspace.h"
#include "ui/common/BusyIndicator.h"
#include "ui/common/Divider.h"
#include "ui/common/SymbolIcon.h"
#include "ui/common/UiStyle.h"
#include "ui/main/ActionBar.h"
#include "ui/main/Banners.h"
#include "ui/main/DropFrame.h"
#include "ui/main/DroppedBundle.h"
#include "ui/main/FrameRules.h"
#include "ui/main/LeftoversTab.h"
#include "ui/main/LogView.h"
#include "ui/main/RosterTab.h"
#include "ui/main/SafeModeSetting.h"
#include "ui/main/UpdateBanner.h"

#include <QAction>
#include <QButtonGroup>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

ContentView::ContentView(const ScannerServices &services, UpdateChecker &updater, LanguageManager &lm,
                         QWidget *parent)
    : QWidget(parent)
    , m_scanner(new Scanner(services, this))
    , m_lm(lm)
    , m_safeMode(SafeModeSetting::forStore(*services.defaults))
{
    setAcceptDrops(true);
    setLocale(m_lm.locale());

    m_leftoversTab = new LeftoversTab(*m_scanner, m_lm, *m_safeMode, this);
    m_rosterTab = new RosterTab(*m_scanner, m_lm, this);
    m_actionBar = new ActionBar(*m_scanner, m_lm, *m_leftoversTab, *m_rosterTab, this);
    m_tabs = new QStackedWidget(this);
    m_tabs->addWidget(m_leftoversTab);
    m_tabs->addWidget(m_rosterTab);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildHeader());
    layout->addWidget(new UpdateBanner(updater, this));
    layout->addWidget(new Divider(this));
    layout->addWidget(buildTabPicker());
    layout->addWidget(new Divider(this));
    layout->addWidget(m_tabs, 1);
    layout->addWidget(new Banners(*m_scanner, this));
    layout->addWidget(new Divider(this));
    layout->addWidget(m_actionBar);

    // Over everything, outside the layout; sized with the view.
    m_dropOverlay = new DropFrame(this);
    m_dropOverlay->setObjectName(QStringLiteral("dropOverlay"));
    m_dropOverlay->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_dropOverlay->hide();

    for (auto signal : {&Scanner::isScanningChanged, &Scanner::isLoadingRosterChanged, &Scanner::scanProgressChanged})
        connect(m_scanner, signal, this, &ContentView::refreshHeader);
    connect(&m_lm, &LanguageManager::languageChanged, this, [this] {
        setLocale(m_lm.locale());
        refreshHeader();
    });
    connect(this, &ContentView::selectedTabChanged, this, &ContentView::refreshTab);
    connect(this, &ContentView::isDragTargetedChanged, this, [this] {
        m_dropOverlay->setVisible(m_isDragTargeted);
        m_dropOverlay->raise();
        m_leftoversTab->setDragTargeted(m_isDragTargeted);
    });
    connect(this, &ContentView::showingLogChanged, this, &ContentView::refreshLogSheet);
    connect(m_safeMode.get(), &SafeModeSetting::valueChanged, this, &ContentView::safeModeChanged);
    connect(m_leftoversTab, &LeftoversTab::scanAppRequested, this, &ContentView::scanLeftovers);
    const auto scanApp = [this](const InstalledApp &app) { scanLeftovers(app.bundleID, app.name); };
    connect(m_rosterTab, &RosterTab::scanLeftoversRequested, this, scanApp);
    connect(m_actionBar, &ActionBar::scanLeftoversRequested, this, scanApp);

    refreshHeader();
    refreshTab();
}

ContentView::~ContentView() = default;

// ---- the frame ----

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
        // A symbol alone says nothing to a screen reader.
        if (text.isEmpty())
            button->setAccessibleName(tip);
        button->setFocusPolicy(Qt::TabFocus);
        layout->addWidget(button);
        return button;
    };
    QPushButton *settings = headerButton(QStringLiteral("gearshape"), QString(), tr("Settings"));
    QPushButton *openTrash = headerButton(QStringLiteral("trash"), QString(), tr("Open Trash"));
    QPushButton *showLog = headerButton(QStringLiteral("doc.text.magnifyingglass"), tr("Show Log"), QString());
    QPushButton *donation = headerButton(QStringLiteral("cup.and.saucer.fill"), tr("Buy me a coffee"), tr("Buy me a coffee"));
    donation->setFont(UiStyle::font(UiStyle::TextStyle::caption));
    connect(settings, &QPushButton::clicked, this, &ContentView::openSettingsWindow);
    connect(openTrash, &QPushButton::clicked, this, &ContentView::openTrash);
    connect(showLog, &QPushButton::clicked, this, &ContentView::showLog);
    connect(donation, &QPushButton::clicked, this, &ContentView::openDonationPage);

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

void ContentView::refreshTab()
{
    const bool leftovers = m_selectedTab == AppTab::leftovers;
    m_leftoversTabButton->setChecked(leftovers);
    m_installedTabButton->setChecked(!leftovers);
    m_scanButton->setVisible(leftovers);
    m_loadAppsButton->setVisible(!leftovers);
    m_tabs->setCurrentWidget(leftovers ? static_cast<QWidget *>(m_leftoversTab) : m_rosterTab);
    m_actionBar->setTab(m_selectedTab);
}

void ContentView::refreshLogSheet()
{
    if (!m_showingLog) {
        if (m_logView)
            m_logView->close();
        return;
    }
    AppLogger *logger = m_scanner->services().logger;
    if (m_logView || !logger)
        return;
    m_logView = new LogView(*logger, this);
    m_logView->setAttribute(Qt::WA_DeleteOnClose);
    m_logView->setWindowModality(Qt::WindowModal);
    connect(m_logView, &QDialog::finished, this, [this] {
        // Deleted later: reopening at once makes a new sheet.
        m_logView = nullptr;
        setShowingLog(false);
    });
    m_logView->open();
}

// ---- state ----

void ContentView::setSelectedTab(AppTab tab)
{
    if (m_selectedTab == tab)
        return;
    m_selectedTab = tab;
    emit selectedTabChanged();
}

void ContentView::setIsDragTargeted(bool targeted)
{
    if (m_isDragTargeted == targeted)
        return;
    m_isDragTargeted = targeted;
    emit isDragTargetedChanged();
}

void ContentView::setShowingLog(bool showing)
{
    if (m_showingLog == showing)
        return;
    m_showingLog = showing;
    emit showingLogChanged();
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
    m_leftoversTab->setTableSelection({});
    m_scanner->scan();
}

void ContentView::loadApps()
{
    m_rosterTab->setRosterSelection({});
    m_scanner->loadInstalledApps();
}

void ContentView::scanLeftovers(const QString &bundleID, const QString &appName)
{
    m_leftoversTab->setTableSelection({});
    setSelectedTab(AppTab::leftovers);
    m_scanner->scanSpecificApp(bundleID, appName);
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

void ContentView::handleDroppedApp(const QUrl &url)
{
    // The bundle is read off the main thread; one hop brings the result back,
    // to a window that may have closed meanwhile.
    QPointer<ContentView> self(this);
    runInBackground(
        [self, url] {
            const std::optional<DroppedBundle> bundle = DroppedBundle::read(url);
            if (!bundle)
                return;
            postToMainThread([self, bundle = *bundle] {
                if (self)
                    self->scanLeftovers(bundle.bundleID, bundle.appName);
            });
        },
        10);
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
