#include "ui/main/LeftoversTab.h"

#include "core/AppLogger.h"
#include "core/Scanner.h"
#include "model/StoredLists.h"
#include "ui/common/BusyIndicator.h"
#include "ui/common/Divider.h"
#include "ui/common/OutsideText.h"
#include "ui/common/SymbolIcon.h"
#include "ui/common/UiStyle.h"
#include "ui/main/FrameRules.h"
#include "ui/main/LeftoversEmptyState.h"
#include "ui/main/LeftoversTableModel.h"
#include "ui/main/LeftoversTableView.h"
#include "ui/main/SafeModeSetting.h"
#include "ui/main/SearchField.h"
#include "ui/main/WindowActions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>

namespace {

using UiStyle::TextStyle;
using UiStyle::Tone;

QString safeModeTooltip()
{
    return LeftoversTab::tr("Safe Mode shows only items that are 100% safe to remove:\n"
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

// A borderless button whose text has one tone.
QPushButton *borderlessButton(const QString &text, Tone tone, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(QStringLiteral("QPushButton { border: none; padding: 2px 4px; %1 }").arg(UiStyle::textTone(tone)));
    return button;
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

LeftoversTab::LeftoversTab(Scanner &scanner, LanguageManager &lm, SafeModeSetting &safeMode, QWidget *parent)
    : QWidget(parent)
    , m_scanner(scanner)
    , m_safeMode(safeMode)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildFilterBar(safeMode));
    layout->addWidget(new Divider(this));

    m_table = new LeftoversTableView(scanner, lm, this);
    auto *tablePage = new QWidget(this);
    tablePage->setObjectName(QStringLiteral("leftoversTable"));
    auto *tableLayout = new QVBoxLayout(tablePage);
    tableLayout->setContentsMargins(0, 0, 0, 0);
    tableLayout->addWidget(m_table);
    m_emptyState = new LeftoversEmptyState(scanner, this);
    // Page order follows the pane-content enumeration.
    m_pane = new QStackedWidget(this);
    m_pane->addWidget(buildProgressView());
    m_pane->addWidget(tablePage);
    m_pane->addWidget(m_emptyState);
    layout->addWidget(m_pane, 1);

    connect(m_table, &LeftoversTableView::sortOrderChosen, this, &LeftoversTab::setSortOrder);
    connect(m_table, &LeftoversTableView::selectionChosen, this, &LeftoversTab::setTableSelection);
    connect(m_table, &LeftoversTableView::menuEntryChosen, this, &LeftoversTab::runMenuEntry);
    connect(&m_safeMode, &SafeModeSetting::valueChanged, this, &LeftoversTab::filtersChanged);
    connect(this, &LeftoversTab::selectedTypeChanged, this, &LeftoversTab::filtersChanged);
    connect(this, &LeftoversTab::searchTextChanged, this, &LeftoversTab::filtersChanged);
    connect(this, &LeftoversTab::filtersChanged, this, &LeftoversTab::refreshTable);
    connect(this, &LeftoversTab::sortOrderChanged, this, &LeftoversTab::refreshTable);
    connect(this, &LeftoversTab::tableSelectionChanged, this, [this] { m_table->setSelection(m_tableSelection); });
    connect(&m_scanner, &Scanner::itemsChanged, this, [this] {
        refreshTable();
        refreshPane();
    });
    connect(&m_scanner, &Scanner::isScanningChanged, this, &LeftoversTab::refreshPane);
    refreshTable();
    refreshPane();
}

QWidget *LeftoversTab::buildFilterBar(SafeModeSetting &safeMode)
{
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("leftoversFilterBar"));
    bar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(16, 8, 16, 8);
    layout->setSpacing(10);

    auto *typePicker = new QComboBox(bar);
    typePicker->setObjectName(QStringLiteral("typePicker"));
    typePicker->setAccessibleName(tr("Type"));
    typePicker->setFixedWidth(160);
    typePicker->addItem(tr("All Types"), -1);
    typePicker->insertSeparator(1);
    for (LeftoverType type : LeftoverTypes::allCases()) {
        typePicker->addItem(SymbolIcon::icon(LeftoverTypes::icon(type), UiStyle::color(Tone::primary)),
                            tr(qPrintable(LeftoverTypes::rawValue(type))), int(type));
    }
    layout->addWidget(typePicker);
    connect(typePicker, &QComboBox::currentIndexChanged, this, [this, typePicker](int index) {
        const int tag = typePicker->itemData(index).toInt();
        setSelectedType(tag < 0 ? std::nullopt : std::optional<LeftoverType>(LeftoverType(tag)));
    });
    connect(this, &LeftoversTab::selectedTypeChanged, typePicker, [this, typePicker] {
        typePicker->setCurrentIndex(typePicker->findData(m_selectedType ? int(*m_selectedType) : -1));
    });

    auto *search = new SearchField(tr("Search apps\u2026"), bar);
    search->setObjectName(QStringLiteral("leftoversSearch"));
    // Grows to its full width beside the flexible space, as the roster's does.
    layout->addWidget(search, 1);
    connect(search, &SearchField::textChanged, this, &LeftoversTab::setSearchText);
    connect(this, &LeftoversTab::searchTextChanged, search, [this, search] { search->setText(m_searchText); });

    auto *rule = new Divider(bar, Qt::Vertical);
    rule->setFixedHeight(16);
    layout->addWidget(rule);

    auto *safeModeSwitch = new QCheckBox(tr("Safe Mode"), bar);
    safeModeSwitch->setObjectName(QStringLiteral("safeModeSwitch"));
    safeModeSwitch->setIcon(SymbolIcon::icon(QStringLiteral("checkmark.shield"), UiStyle::color(Tone::primary)));
    safeModeSwitch->setFont(UiStyle::font(TextStyle::callout));
    safeModeSwitch->setToolTip(safeModeTooltip());
    safeModeSwitch->setChecked(safeMode.value());
    layout->addWidget(safeModeSwitch);
    connect(safeModeSwitch, &QCheckBox::toggled, &safeMode, &SafeModeSetting::setValue);
    connect(&safeMode, &SafeModeSetting::valueChanged, safeModeSwitch, &QCheckBox::setChecked);

    layout->addStretch(1);
    auto *selectAllButton = borderlessButton(tr("Select All"), Tone::accent, bar);
    selectAllButton->setObjectName(QStringLiteral("selectAllButton"));
    auto *deselectAllButton = borderlessButton(tr("Deselect All"), Tone::secondary, bar);
    deselectAllButton->setObjectName(QStringLiteral("deselectAllButton"));
    layout->addWidget(selectAllButton);
    layout->addWidget(deselectAllButton);
    connect(selectAllButton, &QPushButton::clicked, this, &LeftoversTab::selectAll);
    connect(deselectAllButton, &QPushButton::clicked, this, &LeftoversTab::deselectAll);
    const auto refreshSelectButtons = [this, selectAllButton, deselectAllButton] {
        const bool any = !m_scanner.items().isEmpty();
        selectAllButton->setVisible(any);
        deselectAllButton->setVisible(any);
    };
    connect(&m_scanner, &Scanner::itemsChanged, this, refreshSelectButtons);
    refreshSelectButtons();
    return bar;
}

QWidget *LeftoversTab::buildProgressView()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("leftoversProgress"));
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(16);
    layout->setAlignment(Qt::AlignCenter);
    layout->addWidget(new BusyIndicator(QSize(120, 12), page), 0, Qt::AlignHCenter);
    // Plain text: the progress text names files from outside.
    auto *text = new QLabel(page);
    text->setObjectName(QStringLiteral("scanProgressText"));
    text->setTextFormat(Qt::PlainText);
    text->setStyleSheet(UiStyle::textTone(Tone::secondary));
    text->setAlignment(Qt::AlignCenter);
    layout->addWidget(text);
    const auto refreshProgress = [this, text] { text->setText(OutsideText::inLine(m_scanner.scanProgress())); };
    connect(&m_scanner, &Scanner::scanProgressChanged, this, refreshProgress);
    refreshProgress();
    return page;
}

// ---- state ----

void LeftoversTab::setSelectedType(std::optional<LeftoverType> type)
{
    if (assign(m_selectedType, type))
        emit selectedTypeChanged();
}

void LeftoversTab::setSearchText(const QString &text)
{
    if (assign(m_searchText, text))
        emit searchTextChanged();
}

void LeftoversTab::setSortOrder(const QList<LeftoverComparator> &order)
{
    if (assign(m_sortOrder, order))
        emit sortOrderChanged();
}

void LeftoversTab::setTableSelection(const QSet<QUuid> &selection)
{
    if (assign(m_tableSelection, selection))
        emit tableSelectionChanged();
}

LeftoverFilters LeftoversTab::filters() const
{
    return LeftoverFilters{m_safeMode.value(), m_selectedType, m_searchText};
}

QList<LeftoverItem> LeftoversTab::filteredItems() const
{
    return DerivedLists::filteredItems(m_scanner.items(), filters(), m_sortOrder);
}

int LeftoversTab::hiddenBySafeModeCount() const
{
    return DerivedLists::hiddenBySafeModeCount(m_scanner.items(), m_safeMode.value());
}

void LeftoversTab::setDragTargeted(bool targeted)
{
    m_emptyState->setDragTargeted(targeted);
}

void LeftoversTab::refreshTable()
{
    m_table->showItems(filteredItems(), m_sortOrder, m_tableSelection);
    emit shownItemsChanged();
}

void LeftoversTab::refreshPane()
{
    m_pane->setCurrentIndex(int(FrameRules::leftoversPane(m_scanner.isScanning(), !m_scanner.items().isEmpty())));
}

// ---- actions ----

void LeftoversTab::selectAll()
{
    QSet<QUuid> ids;
    const QList<LeftoverItem> &shown = m_table->leftoversModel().items();
    ids.reserve(shown.size());
    for (const LeftoverItem &item : shown)
        ids.insert(item.id);
    setTableSelection(ids);
}

void LeftoversTab::deselectAll()
{
    setTableSelection({});
}

void LeftoversTab::resetSelectedPermissions()
{
    act(LeftoversRules::Action::resetPermissions);
}

void LeftoversTab::removeSelectedBackgroundItems()
{
    act(LeftoversRules::Action::removeBackground);
}

void LeftoversTab::moveSelectionToTrash()
{
    act(LeftoversRules::Action::moveToTrash);
}

void LeftoversTab::act(LeftoversRules::Action action)
{
    const QList<LeftoverItem> list = LeftoversRules::actionList(action, m_scanner.items(), m_tableSelection);
    switch (action) {
    case LeftoversRules::Action::resetPermissions: m_scanner.resetPermissions(list); break;
    case LeftoversRules::Action::removeBackground: m_scanner.removeBackgroundActivity(list); break;
    // Runs to completion before the selection changes.
    case LeftoversRules::Action::moveToTrash: m_scanner.moveToTrash(list); break;
    }
    setTableSelection(LeftoversRules::withoutItems(m_tableSelection, list));
}

void LeftoversTab::runMenuEntry(const LeftoversRules::MenuEntry &entry)
{
    const LeftoverItem &item = entry.item;
    const QString bundleID = item.bundleID.value_or(QString());
    using Kind = LeftoversRules::MenuEntry::Kind;
    switch (entry.kind) {
    case Kind::reveal: WindowActions::revealInFinder(m_scanner, entry.paths); break;
    case Kind::scanAllFiles: emit scanAppRequested(bundleID, item.appName); break;
    case Kind::resetAllPermissions: m_scanner.resetAllPermissions(bundleID, item.appName); break;
    case Kind::ignore: ignoreBundleID(bundleID); break;
    case Kind::unignore: WindowActions::unignoreBundleID(m_scanner, bundleID); break;
    case Kind::divider: break;
    }
}

void LeftoversTab::ignoreBundleID(const QString &bundleID)
{
    const ScannerServices &services = m_scanner.services();
    StoredLists::addToIgnoreList(bundleID, *services.defaults);
    m_scanner.removeItemsOfBundleID(bundleID);
    if (services.logger)
        services.logger->log(QStringLiteral("IGNORED: ") + bundleID);
}
