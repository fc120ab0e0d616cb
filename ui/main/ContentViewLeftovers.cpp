// The Leftovers tab's regions of the main window: filter bar, table, scan
// progress and empty state, the banners' contents, the action bar and the
// status bars.
#include "ui/main/ContentView.h"

#include "BuildInfo.h"
#include "core/AppLogger.h"
#include "core/LanguageManager.h"
#include "core/Scanner.h"
#include "model/StoredLists.h"
#include "platform/UserDefaults.h"
#include "platform/Workspace.h"
#include "ui/common/BusyIndicator.h"
#include "ui/common/NameOverIdDelegate.h"
#include "ui/common/OutsideText.h"
#include "ui/common/SymbolIcon.h"
#include "ui/common/TableSetup.h"
#include "ui/common/UiStyle.h"
#include "ui/main/ActionBarRules.h"
#include "ui/main/LeftoversRules.h"
#include "ui/main/LeftoversTableModel.h"
#include "ui/main/OutsideTextDelegate.h"
#include "ui/main/SearchField.h"
#include "ui/settings/ElidedLabel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <QVariantAnimation>

namespace {

using UiStyle::TextStyle;
using UiStyle::Tone;

constexpr const char *fullDiskAccessUrl =
    "x-apple.systempreferences:com.apple.preference.security?Privacy_AllFiles";

// Plain text: several of these show names, paths and progress texts from outside.
QLabel *textLabel(const QString &text, const QFont &font, Tone tone, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setFont(font);
    label->setStyleSheet(UiStyle::textTone(tone));
    return label;
}

QLabel *symbolLabel(const QString &symbol, int size, Tone tone, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setPixmap(SymbolIcon::pixmap(symbol, size, UiStyle::color(tone)));
    label->setFixedSize(size, size);
    return label;
}

QVBoxLayout *textColumn(QBoxLayout *row)
{
    auto *column = new QVBoxLayout;
    column->setSpacing(2);
    column->setContentsMargins(0, 0, 0, 0);
    row->addLayout(column);
    return column;
}

// A borderless button whose text has one tone.
QPushButton *borderlessButton(const QString &text, Tone tone, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(QStringLiteral("QPushButton { border: none; padding: 2px 4px; %1 }").arg(UiStyle::textTone(tone)));
    return button;
}

// The Location column takes what is left.
const QList<TableSetup::ColumnWidth> columnWidths = {{140, 190}, {100, 130}, {55, 75}};

QString safeModeTooltip()
{
    return ContentView::tr("Safe Mode shows only items that are 100% safe to remove:\n"
                           "\u2022 Caches \u2014 always regeneratable, no user content\n"
                           "\u2022 Logs \u2014 diagnostic files only\n"
                           "\u2022 Saved States \u2014 window/UI snapshots\n"
                           "\u2022 Preferences \u2014 small config files\n"
                           "\u2022 Permissions \u2014 TCC entries (nothing deleted)\n"
                           "\n"
                           "Hidden in Safe Mode (may contain user data):\n"
                           "\u2022 App Support \u2014 databases, game saves, app data\n"
                           "\u2022 Containers \u2014 all sandboxed app data\n"
                           "\u2022 Login Items \u2014 binary may still be needed\n"
                           "\u2022 Plugins \u2014 may be standalone purchases used by other apps\n"
                           "\u2022 Background Activity \u2014 helper may still be running");
}

QString dropHint()
{
    // The shortcut as this platform writes it, so the hint names a key that works.
    const QString shortcut = QKeySequence(Qt::CTRL | Qt::Key_R).toString(QKeySequence::NativeText);
    // Two trailing spaces keep the line break in markdown.
    return ContentView::tr("Press **%1** or click **Scan for Leftovers**,  \nor drop an **.app** file here to scan a "
                           "specific app.")
        .arg(shortcut);
}

QList<LeftoverComparator::Key> sortKeys()
{
    return {LeftoverComparator::Key::appName, LeftoverComparator::Key::type, LeftoverComparator::Key::size};
}

// The view selects the rows of `ids` it shows; contiguous rows as one range.
void selectShownRows(QTableView &view, const LeftoversTableModel &model, const QSet<QUuid> &ids)
{
    QItemSelection selection;
    const int rows = model.rowCount();
    const int lastColumn = LeftoversTableModel::columnCount_ - 1;
    for (int row = 0; !ids.isEmpty() && row < rows;) {
        if (!ids.contains(model.idAt(row))) {
            ++row;
            continue;
        }
        const int top = row;
        while (row < rows && ids.contains(model.idAt(row)))
            ++row;
        selection.append(QItemSelectionRange(model.index(top, 0), model.index(row - 1, lastColumn)));
    }
    view.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

} // namespace

void ContentView::buildLeftoversRegions()
{
    const Scanner *scanner = m_scanner;

    // ---- filter bar ----
    auto *bar = static_cast<QHBoxLayout *>(m_leftoversFilterBar->layout());
    auto *typePicker = new QComboBox(m_leftoversFilterBar);
    typePicker->setObjectName(QStringLiteral("typePicker"));
    typePicker->setAccessibleName(tr("Type"));
    typePicker->setFixedWidth(160);
    typePicker->addItem(tr("All Types"), -1);
    typePicker->insertSeparator(1);
    for (LeftoverType type : LeftoverTypes::allCases()) {
        typePicker->addItem(SymbolIcon::icon(LeftoverTypes::icon(type), UiStyle::color(Tone::primary)),
                            tr(qPrintable(LeftoverTypes::rawValue(type))), int(type));
    }
    bar->addWidget(typePicker);
    connect(typePicker, &QComboBox::currentIndexChanged, this, [this, typePicker](int index) {
        const int tag = typePicker->itemData(index).toInt();
        setSelectedType(tag < 0 ? std::nullopt : std::optional<LeftoverType>(LeftoverType(tag)));
    });
    connect(this, &ContentView::selectedTypeChanged, typePicker, [this, typePicker] {
        typePicker->setCurrentIndex(typePicker->findData(m_selectedType ? int(*m_selectedType) : -1));
    });

    auto *search = new SearchField(tr("Search apps\u2026"), m_leftoversFilterBar);
    search->setObjectName(QStringLiteral("leftoversSearch"));
    // Grows to its full width beside the flexible space, as the roster's does.
    bar->addWidget(search, 1);
    connect(search, &SearchField::textChanged, this, &ContentView::setSearchText);
    connect(this, &ContentView::searchTextChanged, search, [this, search] { search->setText(m_searchText); });

    auto *rule = new QFrame(m_leftoversFilterBar);
    rule->setFrameShape(QFrame::VLine);
    rule->setFrameShadow(QFrame::Plain);
    rule->setFixedSize(1, 16);
    rule->setStyleSheet(UiStyle::textTone(Tone::quaternary));
    bar->addWidget(rule);

    auto *safeMode = new QCheckBox(tr("Safe Mode"), m_leftoversFilterBar);
    safeMode->setObjectName(QStringLiteral("safeModeSwitch"));
    safeMode->setIcon(SymbolIcon::icon(QStringLiteral("checkmark.shield"), UiStyle::color(Tone::primary)));
    safeMode->setFont(UiStyle::font(TextStyle::callout));
    safeMode->setToolTip(safeModeTooltip());
    safeMode->setChecked(this->safeMode());
    bar->addWidget(safeMode);
    connect(safeMode, &QCheckBox::toggled, this, &ContentView::setSafeMode);
    connect(this, &ContentView::safeModeChanged, safeMode, [this, safeMode] { safeMode->setChecked(this->safeMode()); });

    bar->addStretch(1);
    auto *selectAllButton = borderlessButton(tr("Select All"), Tone::accent, m_leftoversFilterBar);
    selectAllButton->setObjectName(QStringLiteral("selectAllButton"));
    auto *deselectAllButton = borderlessButton(tr("Deselect All"), Tone::secondary, m_leftoversFilterBar);
    deselectAllButton->setObjectName(QStringLiteral("deselectAllButton"));
    bar->addWidget(selectAllButton);
    bar->addWidget(deselectAllButton);
    connect(selectAllButton, &QPushButton::clicked, this, &ContentView::selectAll);
    connect(deselectAllButton, &QPushButton::clicked, this, &ContentView::deselectAll);

    // ---- scan progress ----
    auto *spinner = new BusyIndicator(QSize(120, 12), m_leftoversProgress);
    auto *progressText = textLabel({}, font(), Tone::secondary, m_leftoversProgress);
    progressText->setObjectName(QStringLiteral("scanProgressText"));
    progressText->setAlignment(Qt::AlignCenter);
    m_leftoversProgress->layout()->addWidget(spinner);
    m_leftoversProgress->layout()->setAlignment(spinner, Qt::AlignHCenter);
    m_leftoversProgress->layout()->addWidget(progressText);

    // ---- empty state ----
    auto *emptyLayout = static_cast<QVBoxLayout *>(m_leftoversEmptyState->layout());
    emptyLayout->setSpacing(20);
    auto *emptySymbol = new QLabel(m_leftoversEmptyState);
    emptySymbol->setObjectName(QStringLiteral("emptyStateSymbol"));
    emptySymbol->setFixedSize(56, 56);
    auto *emptyHint = new QLabel(m_leftoversEmptyState);
    emptyHint->setObjectName(QStringLiteral("emptyStateHint"));
    emptyHint->setAlignment(Qt::AlignCenter);
    emptyHint->setTextFormat(Qt::MarkdownText);
    auto *emptyProgress = textLabel({}, UiStyle::font(TextStyle::caption), Tone::secondary, m_leftoversEmptyState);
    emptyProgress->setObjectName(QStringLiteral("emptyStateProgress"));
    emptyProgress->setAlignment(Qt::AlignCenter);
    emptyLayout->addWidget(emptySymbol, 0, Qt::AlignHCenter);
    emptyLayout->addWidget(emptyHint, 0, Qt::AlignHCenter);
    emptyLayout->addWidget(emptyProgress, 0, Qt::AlignHCenter);

    auto *dragAnimation = new QVariantAnimation(this);
    dragAnimation->setDuration(150);
    dragAnimation->setEasingCurve(QEasingCurve::InOutQuad);
    dragAnimation->setStartValue(0.0);
    dragAnimation->setEndValue(1.0);
    const auto drawEmptySymbol = [this, emptySymbol](qreal progress) {
        const QColor idle = UiStyle::color(Tone::secondary, 0.5);
        const QColor targeted = UiStyle::color(Tone::accent);
        const QColor from = m_isDragTargeted ? idle : targeted;
        const QColor to = m_isDragTargeted ? targeted : idle;
        const auto mix = [progress](qreal a, qreal b) { return a + (b - a) * progress; };
        const QColor tint = QColor::fromRgbF(mix(from.redF(), to.redF()), mix(from.greenF(), to.greenF()),
                                             mix(from.blueF(), to.blueF()), mix(from.alphaF(), to.alphaF()));
        const QString symbol = m_isDragTargeted ? QStringLiteral("arrow.down.circle.fill")
                                                : QStringLiteral("sparkles.rectangle.stack");
        // The new symbol grows into place while its colour changes.
        const int size = qRound(56 * (0.8 + 0.2 * progress));
        QPixmap canvas(56, 56);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        const int offset = (56 - size) / 2;
        painter.drawPixmap(offset, offset, SymbolIcon::pixmap(symbol, size, tint));
        painter.end();
        emptySymbol->setPixmap(canvas);
    };
    connect(dragAnimation, &QVariantAnimation::valueChanged, emptySymbol,
            [drawEmptySymbol](const QVariant &value) { drawEmptySymbol(value.toReal()); });
    const auto refreshEmptyText = [this, emptyHint] {
        if (m_isDragTargeted) {
            emptyHint->setText(tr("Drop the .app to scan its leftovers"));
            emptyHint->setStyleSheet(UiStyle::textTone(Tone::accent));
        } else {
            emptyHint->setText(dropHint());
            emptyHint->setStyleSheet(UiStyle::textTone(Tone::secondary));
        }
    };
    connect(this, &ContentView::isDragTargetedChanged, this, [dragAnimation, refreshEmptyText] {
        refreshEmptyText();
        dragAnimation->stop();
        dragAnimation->start();
    });
    drawEmptySymbol(1.0);
    refreshEmptyText();

    const auto refreshProgress = [scanner, progressText, emptyProgress] {
        progressText->setText(OutsideText::inLine(scanner->scanProgress()));
        emptyProgress->setText(OutsideText::inLine(scanner->scanProgress()));
        emptyProgress->setVisible(!scanner->scanProgress().isEmpty());
    };
    connect(scanner, &Scanner::scanProgressChanged, this, refreshProgress);
    refreshProgress();

    // ---- results table ----
    m_leftoversModel = new LeftoversTableModel(this);
    m_leftoversModel->setHome(scanner->services().roots.home);
    m_leftoversModel->setLocale(m_lm.locale());
    m_leftoversView = new QTableView(m_leftoversTable);
    m_leftoversView->setObjectName(QStringLiteral("leftoversView"));
    m_leftoversView->setModel(m_leftoversModel);
    m_leftoversView->setItemDelegateForColumn(
        LeftoversTableModel::appColumn, new NameOverIdDelegate(LeftoversTableModel::bundleIDRole, 0, m_leftoversView));
    m_leftoversView->setItemDelegateForColumn(LeftoversTableModel::locationColumn,
                                              new OutsideTextDelegate(m_leftoversView));
    TableSetup::apply(*m_leftoversView, NameOverIdDelegate::textHeight() + 11);
    m_leftoversView->setTextElideMode(Qt::ElideMiddle);
    m_leftoversView->setIconSize(QSize(14, 14));
    QHeaderView *header = m_leftoversView->horizontalHeader();
    header->setStretchLastSection(true);
    TableSetup::setColumnWidths(*m_leftoversView, columnWidths);
    connect(header, &QHeaderView::sectionClicked, this, [this](int column) {
        if (column < int(sortKeys().size())) {
            const LeftoverComparator::Key key = sortKeys().at(column);
            const bool flip = !m_sortOrder.isEmpty() && m_sortOrder.first().key == key
                && m_sortOrder.first().order == Qt::AscendingOrder;
            setSortOrder({LeftoverComparator{key, flip ? Qt::DescendingOrder : Qt::AscendingOrder}});
        }
        // The header flips its arrow on any click; it shows the sort order only.
        const LeftoverComparator first = m_sortOrder.value(0);
        m_leftoversView->horizontalHeader()->setSortIndicator(int(sortKeys().indexOf(first.key)), first.order);
    });
    m_leftoversTable->layout()->addWidget(m_leftoversView);

    connect(m_leftoversView->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_syncingSelection)
            return;
        // A choice in the table names the rows shown now.
        QSet<QUuid> ids;
        for (const QItemSelectionRange &range : m_leftoversView->selectionModel()->selection()) {
            for (int row = range.top(); row <= range.bottom(); ++row)
                ids.insert(m_leftoversModel->idAt(row));
        }
        setTableSelection(ids);
    });
    connect(m_leftoversView, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        const QModelIndex index = m_leftoversView->indexAt(at);
        if (!index.isValid())
            return;
        const QUuid id = m_leftoversModel->idAt(index.row());
        const QSet<QUuid> rows = m_tableSelection.contains(id) ? m_tableSelection : QSet<QUuid>{id};
        if (QMenu *menu = leftoversContextMenu(rows, this)) {
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(m_leftoversView->viewport()->mapToGlobal(at));
        }
    });

    // ---- banners ----
    // Symbols stand at the top of their banner, beside the first line.
    auto *accessRow = static_cast<QBoxLayout *>(m_fullDiskAccessBanner->layout());
    accessRow->addWidget(symbolLabel(QStringLiteral("lock.shield.fill"), 16, Tone::orange, m_fullDiskAccessBanner), 0,
                         Qt::AlignTop);
    QVBoxLayout *accessText = textColumn(accessRow);
    accessText->addWidget(textLabel(tr("Full Disk Access required for permission scanning"),
                                    UiStyle::font(TextStyle::caption, QFont::Bold), Tone::primary,
                                    m_fullDiskAccessBanner));
    accessText->addWidget(textLabel(tr("Open System Settings \u2192 Privacy & Security \u2192 Full Disk Access"),
                                    UiStyle::font(TextStyle::caption), Tone::secondary, m_fullDiskAccessBanner));
    accessRow->addStretch(1);
    accessRow->addWidget(symbolLabel(QStringLiteral("arrow.up.right"), 12, Tone::orange, m_fullDiskAccessBanner), 0,
                         Qt::AlignTop);

    auto *failureRow = static_cast<QBoxLayout *>(m_removalFailureBanner->layout());
    failureRow->addWidget(
        symbolLabel(QStringLiteral("exclamationmark.triangle.fill"), 16, Tone::orange, m_removalFailureBanner), 0,
        Qt::AlignTop);
    // The text column takes the free width, so the path is shortened only where the banner ends.
    QVBoxLayout *failureText = textColumn(failureRow);
    failureRow->setStretchFactor(failureText, 1);
    auto *failureCount = textLabel({}, UiStyle::font(TextStyle::caption, QFont::Bold), Tone::primary,
                                   m_removalFailureBanner);
    failureCount->setObjectName(QStringLiteral("removalFailureCount"));
    // One line however long the path, shortened in the middle.
    auto *failurePath = new ElidedLabel(QString(), Qt::ElideMiddle, m_removalFailureBanner);
    failurePath->setObjectName(QStringLiteral("removalFailurePath"));
    failurePath->setFont(UiStyle::monospacedFont(TextStyle::caption));
    QPalette pathPalette = failurePath->palette();
    pathPalette.setColor(QPalette::WindowText, UiStyle::color(Tone::secondary));
    failurePath->setPalette(pathPalette);
    failureText->addWidget(failureCount);
    failureText->addWidget(textLabel(tr("Grant Full Disk Access in System Settings \u2192 Privacy & Security, then try again."),
                                     UiStyle::font(TextStyle::caption), Tone::secondary, m_removalFailureBanner));
    failureText->addWidget(failurePath);
    auto *openSettings = new QPushButton(tr("Open Settings"), m_removalFailureBanner);
    openSettings->setObjectName(QStringLiteral("openSettingsButton"));
    openSettings->setFont(UiStyle::font(TextStyle::callout));
    auto *dismiss = new QToolButton(m_removalFailureBanner);
    dismiss->setObjectName(QStringLiteral("dismissFailuresButton"));
    dismiss->setAutoRaise(true);
    dismiss->setToolTip(tr("Dismiss"));
    dismiss->setIcon(SymbolIcon::icon(QStringLiteral("xmark"), UiStyle::color(Tone::secondary)));
    failureRow->addWidget(openSettings, 0, Qt::AlignTop);
    failureRow->addWidget(dismiss, 0, Qt::AlignTop);
    connect(openSettings, &QPushButton::clicked, this, &ContentView::openFullDiskAccessSettings);
    connect(dismiss, &QToolButton::clicked, this, &ContentView::dismissRemovalFailures);
    const auto refreshFailures = [scanner, failureCount, failurePath, this] {
        const QList<LeftoverItem> &failures = scanner->removalFailures();
        failureCount->setText(tr("%1 item(s) could not be removed").arg(failures.size()));
        const QString first = failures.isEmpty() ? QString() : failures.first().displayPath(scanner->services().roots.home);
        failurePath->setText(OutsideText::inLine(first));
        failurePath->setToolTip(OutsideText::toolTip(first));
    };
    connect(scanner, &Scanner::removalFailuresChanged, this, refreshFailures);
    refreshFailures();

    // ---- action bar ----
    auto *actionRow = static_cast<QBoxLayout *>(m_actionBar->layout());
    actionRow->setAlignment(Qt::AlignVCenter);
    m_statusPieces = new QWidget(m_actionBar);
    m_statusPieces->setObjectName(QStringLiteral("statusBar"));
    auto *statusRow = new QHBoxLayout(m_statusPieces);
    statusRow->setContentsMargins(0, 0, 0, 0);
    statusRow->setSpacing(8);
    actionRow->addWidget(m_statusPieces);
    actionRow->addStretch(1);
    const auto actionButton = [this, actionRow](const char *name, const QString &symbol) {
        auto *button = new QPushButton(SymbolIcon::icon(symbol, UiStyle::color(Tone::primary)), QString(), m_actionBar);
        button->setObjectName(QLatin1String(name));
        actionRow->addWidget(button);
        return button;
    };
    QPushButton *resetButton = actionButton("resetPermissionsButton", QStringLiteral("lock.slash"));
    QPushButton *backgroundButton = actionButton("removeBackgroundButton", QStringLiteral("arrow.triangle.2.circlepath"));
    QPushButton *trashButton = actionButton("moveToTrashButton", QStringLiteral("trash"));
    // The destructive one: filled red.
    const QColor red = UiStyle::color(Tone::red);
    trashButton->setIcon(SymbolIcon::icon(QStringLiteral("trash"), Qt::white));
    trashButton->setStyleSheet(UiStyle::filledButton(red));
    QPushButton *scanLeftoversButton = actionButton("scanLeftoversButton", QStringLiteral("magnifyingglass"));
    scanLeftoversButton->setText(tr("Scan Leftovers"));
    connect(resetButton, &QPushButton::clicked, this, &ContentView::resetSelectedPermissions);
    connect(backgroundButton, &QPushButton::clicked, this, &ContentView::removeSelectedBackgroundItems);
    connect(trashButton, &QPushButton::clicked, this, &ContentView::moveSelectionToTrash);
    connect(scanLeftoversButton, &QPushButton::clicked, this, [this] {
        const QList<InstalledApp> apps = selectedApps();
        if (!apps.isEmpty())
            scanLeftovers(apps.first());
    });
    auto *version = textLabel(ActionBarRules::versionString(QString::fromUtf8(BuildInfo::shortVersion),
                                                            QString::fromUtf8(BuildInfo::buildNumber)),
                              UiStyle::font(TextStyle::caption2), Tone::quaternary, m_actionBar);
    version->setObjectName(QStringLiteral("versionFooter"));
    actionRow->addWidget(version);

    // ---- what follows what ----
    const auto refreshSelectButtons = [scanner, selectAllButton, deselectAllButton] {
        const bool any = !scanner->items().isEmpty();
        selectAllButton->setVisible(any);
        deselectAllButton->setVisible(any);
    };
    connect(scanner, &Scanner::itemsChanged, this, refreshSelectButtons);
    refreshSelectButtons();

    connect(scanner, &Scanner::itemsChanged, this, &ContentView::refreshLeftoversTable);
    connect(this, &ContentView::filtersChanged, this, &ContentView::refreshLeftoversTable);
    connect(this, &ContentView::sortOrderChanged, this, &ContentView::refreshLeftoversTable);
    connect(this, &ContentView::tableSelectionChanged, this, [this] {
        if (m_syncingSelection)
            return;
        m_syncingSelection = true;
        selectShownRows(*m_leftoversView, *m_leftoversModel, m_tableSelection);
        m_syncingSelection = false;
    });
    // Registered after the table's, so the bar counts the rows the table holds.
    for (auto signal : {&Scanner::itemsChanged, &Scanner::isScanningChanged, &Scanner::scanProgressChanged,
                        &Scanner::installedAppsChanged, &Scanner::isLoadingRosterChanged})
        connect(scanner, signal, this, &ContentView::refreshActionBar);
    for (auto signal : {&ContentView::filtersChanged, &ContentView::tableSelectionChanged,
                        &ContentView::rosterSelectionChanged, &ContentView::selectedTabChanged})
        connect(this, signal, this, &ContentView::refreshActionBar);
    connect(&m_lm, &LanguageManager::languageChanged, this, [this] {
        m_leftoversModel->setLocale(m_lm.locale());
        refreshActionBar();
    });

    refreshLeftoversTable();
    refreshActionBar();
}

void ContentView::refreshLeftoversTable()
{
    m_syncingSelection = true;
    m_leftoversModel->setItems(filteredItems());
    selectShownRows(*m_leftoversView, *m_leftoversModel, m_tableSelection);
    const LeftoverComparator first = m_sortOrder.value(0);
    m_leftoversView->horizontalHeader()->setSortIndicator(int(sortKeys().indexOf(first.key)), first.order);
    m_syncingSelection = false;
}

void ContentView::refreshActionBar()
{
    const QLocale locale = m_lm.locale();
    const bool leftovers = m_selectedTab == AppTab::leftovers;
    // One pass over the selected items still present, copying none: the bar
    // refreshes with every selection change, on large scans too.
    using LeftoversRules::Action;
    constexpr Action actionOrder[] = {Action::resetPermissions, Action::removeBackground, Action::moveToTrash};
    qsizetype actionCounts[3] = {0, 0, 0};
    qint64 selectedSize = 0;
    if (leftovers && !m_tableSelection.isEmpty()) {
        for (const LeftoverItem &item : m_scanner->items()) {
            if (!m_tableSelection.contains(item.id))
                continue;
            selectedSize += item.size;
            for (int a = 0; a < 3; ++a)
                actionCounts[a] += LeftoversRules::appliesTo(actionOrder[a], item);
        }
    }
    QList<ActionBarRules::StatusPiece> pieces;
    if (!leftovers) {
        pieces = ActionBarRules::rosterStatus(m_scanner->isLoadingRoster(), m_scanner->installedApps(), m_lm, locale);
    } else {
        ActionBarRules::LeftoversStatusInput input;
        input.isScanning = m_scanner->isScanning();
        input.scanProgress = m_scanner->scanProgress();
        input.hasItems = !m_scanner->items().isEmpty();
        if (!input.isScanning && input.hasItems) {
            input.filteredItems = m_leftoversModel->items();
            input.hiddenBySafeMode = hiddenBySafeModeCount();
            input.selectionCount = m_tableSelection.size();
            input.selectedSize = selectedSize;
        }
        pieces = ActionBarRules::leftoversStatus(input, m_lm, locale);
    }
    using Style = ActionBarRules::StatusPiece::Style;
    // Pieces of the same kinds keep their labels and only change text: new labels
    // relayout and repaint the whole window, and a roster load publishes every size.
    QLayout *row = m_statusPieces->layout();
    bool sameKinds = row->count() == pieces.size();
    for (int i = 0; sameKinds && i < row->count(); ++i)
        sameKinds = row->itemAt(i)->widget()->property("pieceStyle").toInt() == int(pieces.at(i).style);
    if (sameKinds) {
        for (int i = 0; i < row->count(); ++i)
            static_cast<ElidedLabel *>(row->itemAt(i)->widget())->setText(pieces.at(i).text);
        pieces.clear();
    } else {
        while (QLayoutItem *item = row->takeAt(0)) {
            delete item->widget();
            delete item;
        }
    }
    // Pieces give way to the buttons, shortened with an ellipsis, so the window keeps its width.
    const auto pieceLabel = [this](const QString &text, const QFont &font, Tone tone) {
        auto *label = new ElidedLabel(text, Qt::ElideRight, m_statusPieces);
        label->setFont(font);
        label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, UiStyle::color(tone));
        label->setPalette(palette);
        return label;
    };
    const QFont caption = UiStyle::font(TextStyle::caption);
    for (const ActionBarRules::StatusPiece &piece : pieces) {
        ElidedLabel *label = nullptr;
        switch (piece.style) {
        case Style::separator: label = pieceLabel(piece.text, font(), Tone::tertiary); break;
        case Style::caption: label = pieceLabel(piece.text, caption, Tone::secondary); break;
        case Style::safeModeNote: label = pieceLabel(piece.text, caption, Tone::orange); break;
        case Style::selection: label = pieceLabel(piece.text, UiStyle::font(TextStyle::caption, QFont::Bold), Tone::primary); break;
        case Style::willFree: label = pieceLabel(piece.text, caption, Tone::secondary); break;
        }
        label->setProperty("pieceStyle", int(piece.style));
        m_statusPieces->layout()->addWidget(label);
    }

    // Buttons: each only while its list is not empty.
    const auto button = [this](const char *name) { return m_actionBar->findChild<QPushButton *>(QLatin1String(name)); };
    const struct
    {
        const char *name;
        const char *key;
    } actions[] = {{"resetPermissionsButton", "reset_permissions_n"},
                   {"removeBackgroundButton", "remove_bg_activity_n"},
                   {"moveToTrashButton", "move_to_trash_n"}};
    for (int a = 0; a < 3; ++a) {
        QPushButton *b = button(actions[a].name);
        b->setVisible(actionCounts[a] > 0);
        if (actionCounts[a] > 0)
            b->setText(m_lm.localized(QLatin1String(actions[a].key), {int(actionCounts[a])}));
    }
    button("scanLeftoversButton")
        ->setVisible(!leftovers && !m_rosterSelection.isEmpty() && !selectedApps().isEmpty());
}

QMenu *ContentView::leftoversContextMenu(const QSet<QUuid> &selection, QWidget *parent)
{
    const QList<LeftoversRules::MenuEntry> entries = LeftoversRules::contextMenu(
        m_scanner->items(), selection, StoredLists::ignoredBundleIDs(*m_scanner->services().defaults), m_lm);
    if (entries.isEmpty())
        return nullptr;
    auto *menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("leftoversContextMenu"));
    using Kind = LeftoversRules::MenuEntry::Kind;
    for (const LeftoversRules::MenuEntry &entry : entries) {
        if (entry.kind == Kind::divider) {
            menu->addSeparator();
            continue;
        }
        QAction *action = menu->addAction(OutsideText::menuEntry(entry.title));
        const LeftoverItem item = entry.item;
        const QString bundleID = item.bundleID.value_or(QString());
        switch (entry.kind) {
        case Kind::reveal:
            connect(action, &QAction::triggered, this, [this, paths = entry.paths] { revealInFinder(paths); });
            break;
        case Kind::scanAllFiles:
            connect(action, &QAction::triggered, this, [this, item] { scanAllFilesForItem(item); });
            break;
        case Kind::resetAllPermissions:
            connect(action, &QAction::triggered, this, [this, item] { resetAllPermissionsForItem(item); });
            break;
        case Kind::ignore:
            connect(action, &QAction::triggered, this, [this, bundleID] { ignoreBundleID(bundleID); });
            break;
        case Kind::unignore:
            connect(action, &QAction::triggered, this, [this, bundleID] { unignoreBundleID(bundleID); });
            break;
        case Kind::divider: break;
        }
    }
    return menu;
}

// ---- actions ----

void ContentView::openFullDiskAccessSettings()
{
    // Whether the settings opened is not reported.
    if (Workspace *workspace = m_scanner->services().workspace)
        workspace->openUrl(QUrl(QString::fromLatin1(fullDiskAccessUrl)));
}

void ContentView::selectAll()
{
    QSet<QUuid> ids;
    const QList<LeftoverItem> &shown = m_leftoversModel->items();
    ids.reserve(shown.size());
    for (const LeftoverItem &item : shown)
        ids.insert(item.id);
    setTableSelection(ids);
}

void ContentView::deselectAll()
{
    setTableSelection({});
}

void ContentView::revealInFinder(const QStringList &paths)
{
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    if (Workspace *workspace = m_scanner->services().workspace)
        workspace->revealFiles(urls);
}

void ContentView::scanAllFilesForItem(const LeftoverItem &item)
{
    setTableSelection({});
    setSelectedTab(AppTab::leftovers);
    m_scanner->scanSpecificApp(item.bundleID.value_or(QString()), item.appName);
}

void ContentView::resetAllPermissionsForItem(const LeftoverItem &item)
{
    m_scanner->resetAllPermissions(item.bundleID.value_or(QString()), item.appName);
}

void ContentView::ignoreBundleID(const QString &bundleID)
{
    const ScannerServices &services = m_scanner->services();
    StoredLists::addToIgnoreList(bundleID, *services.defaults);
    m_scanner->removeItemsOfBundleID(bundleID);
    if (services.logger)
        services.logger->log(QStringLiteral("IGNORED: ") + bundleID);
}

void ContentView::unignoreBundleID(const QString &bundleID)
{
    const ScannerServices &services = m_scanner->services();
    StoredLists::removeFromIgnoreList(bundleID, *services.defaults);
    if (services.logger)
        services.logger->log(QStringLiteral("UN-IGNORED: ") + bundleID);
}

void ContentView::dismissRemovalFailures()
{
    m_scanner->dismissRemovalFailures();
}

void ContentView::resetSelectedPermissions()
{
    const QList<LeftoverItem> list = LeftoversRules::actionList(LeftoversRules::Action::resetPermissions, m_scanner->items(), m_tableSelection);
    m_scanner->resetPermissions(list);
    setTableSelection(LeftoversRules::withoutItems(m_tableSelection, list));
}

void ContentView::removeSelectedBackgroundItems()
{
    const QList<LeftoverItem> list = LeftoversRules::actionList(LeftoversRules::Action::removeBackground, m_scanner->items(), m_tableSelection);
    m_scanner->removeBackgroundActivity(list);
    setTableSelection(LeftoversRules::withoutItems(m_tableSelection, list));
}

void ContentView::moveSelectionToTrash()
{
    const QList<LeftoverItem> list = LeftoversRules::actionList(LeftoversRules::Action::moveToTrash, m_scanner->items(), m_tableSelection);
    // Runs to completion before the selection changes.
    m_scanner->moveToTrash(list);
    setTableSelection(LeftoversRules::withoutItems(m_tableSelection, list));
}

void ContentView::scanLeftovers(const InstalledApp &app)
{
    setTableSelection({});
    setSelectedTab(AppTab::leftovers);
    m_scanner->scanSpecificApp(app.bundleID, app.name);
}
