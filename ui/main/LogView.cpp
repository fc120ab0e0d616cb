#include "ui/main/LogView.h"

#include "core/AppLogger.h"
#include "ui/common/UiStyle.h"
#include "ui/main/LogEntriesModel.h"
#include "ui/main/LogLineDelegate.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QVBoxLayout>

LogView::LogView(AppLogger &logger, QWidget *parent)
    : QDialog(parent)
    , m_logger(logger)
    , m_model(new LogEntriesModel(UiStyle::monospacedFont(UiStyle::TextStyle::caption), this))
{
    setObjectName(QStringLiteral("logView"));
    setWindowTitle(tr("Log"));
    setMinimumSize(620, 380);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *header = new QHBoxLayout;
    header->setContentsMargins(16, 12, 16, 12);
    auto *title = new QLabel(tr("Log"), this);
    title->setFont(UiStyle::font(UiStyle::TextStyle::headline, QFont::DemiBold));
    header->addWidget(title);
    header->addStretch(1);
    m_clearButton = new QPushButton(tr("Clear"), this);
    auto *closeButton = new QPushButton(tr("Close"), this);
    closeButton->setDefault(true);
    header->addWidget(m_clearButton);
    header->addWidget(closeButton);
    layout->addLayout(header);
    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->addWidget(line);

    auto *empty = new QLabel(tr("No log entries yet."), this);
    empty->setObjectName(QStringLiteral("logEmpty"));
    empty->setAlignment(Qt::AlignCenter);
    empty->setStyleSheet(UiStyle::textTone(UiStyle::Tone::secondary));

    m_list = new QListView(this);
    m_list->setObjectName(QStringLiteral("logList"));
    m_list->setModel(m_model);
    // Each line as tall as it wraps to; the model's cut keeps measuring a full log quick.
    m_list->setItemDelegate(new LogLineDelegate(m_list));
    m_list->setUniformItemSizes(false);
    m_list->setResizeMode(QListView::Adjust);
    // By pixel: a line wrapped taller than the list is read through, not skipped past.
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setSpacing(1);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // As wide as the sheet: a long line wraps onto more lines of its row; a copy gives it whole.
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setWordWrap(true);
    // Always there, so its coming and going never changes the width the lines wrap at.
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_list->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *copy = new QAction(tr("Copy"), m_list);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, &LogView::copySelection);
    m_list->addAction(copy);

    // Room around the lines; the scroll bar keeps to the edge.
    auto *listBox = new QWidget(this);
    listBox->setBackgroundRole(QPalette::Base);
    listBox->setAutoFillBackground(true);
    auto *listLayout = new QVBoxLayout(listBox);
    listLayout->setContentsMargins(12, 8, 0, 0);
    listLayout->addWidget(m_list);
    m_content = new QStackedWidget(this);
    m_content->addWidget(empty);
    m_content->addWidget(listBox);
    layout->addWidget(m_content, 1);

    connect(m_clearButton, &QPushButton::clicked, this, &LogView::clearLog);
    connect(closeButton, &QPushButton::clicked, this, &LogView::closeLog);
    connect(&m_logger, &AppLogger::entriesChanged, this, &LogView::refresh);
    refresh();
}

void LogView::clearLog()
{
    m_logger.clearEntries();
}

void LogView::closeLog()
{
    reject();
}

void LogView::refresh()
{
    const QStringList entries = m_logger.entries();
    const int previous = m_shownCount;
    m_model->setEntries(entries);
    m_shownCount = int(entries.size());
    m_clearButton->setEnabled(!entries.isEmpty());
    m_content->setCurrentIndex(entries.isEmpty() ? 0 : 1);
    // Follows new lines; a line that replaces the oldest at the cap leaves the count, and the view, alone.
    if (m_shownCount != previous)
        scrollToLastEntry();
}

void LogView::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The rows are laid out once, at the width they are shown at.
    scrollToLastEntry();
}

void LogView::scrollToLastEntry()
{
    // Scrolling lays every row out; before the sheet is shown that is at a width it will not have.
    if (m_shownCount > 0 && isVisible())
        m_list->scrollToBottom();
}

void LogView::copySelection()
{
    QModelIndexList rows = m_list->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QStringList lines;
    for (const QModelIndex &row : rows)
        lines.append(m_model->entries().at(row.row()));
    if (!lines.isEmpty())
        QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')));
}
