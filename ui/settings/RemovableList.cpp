#include "ui/settings/RemovableList.h"

#include "ui/common/UiStyle.h"
#include "ui/settings/RemovableListModel.h"
#include "ui/settings/RemovableRowDelegate.h"

#include <QGridLayout>
#include <QLabel>
#include <QListView>
#include <QShortcut>

RemovableList::RemovableList(const QString &symbol, const QColor &symbolTint, const QString &emptyText,
                             Qt::TextElideMode elideMode, QWidget *parent)
    : QWidget(parent)
    , m_model(new RemovableListModel(this))
    , m_view(new QListView(this))
    , m_delegate(new RemovableRowDelegate(symbol, symbolTint, elideMode, m_view))
    , m_placeholder(new QLabel(emptyText, this))
{
    m_view->setModel(m_model);
    m_view->setItemDelegate(m_delegate);
    m_view->setUniformItemSizes(true);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setAlternatingRowColors(false);
    m_view->setMinimumHeight(160);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);

    QPalette tertiary = m_placeholder->palette();
    tertiary.setColor(QPalette::WindowText, UiStyle::color(UiStyle::Tone::tertiary));
    m_placeholder->setPalette(tertiary);
    m_placeholder->setAlignment(Qt::AlignCenter);
    m_placeholder->setAttribute(Qt::WA_TransparentForMouseEvents);

    // Both in one cell: the placeholder lies over the empty list.
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view, 0, 0);
    layout->addWidget(m_placeholder, 0, 0, Qt::AlignCenter);

    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this, &RemovableList::selectionChanged);
    connect(m_delegate, &RemovableRowDelegate::removeClicked, this, [this](const QModelIndex &index) {
        emit removeRequested(index.data(RemovableListModel::keyRole).toString());
    });
    // The keyboard's way to the current row's minus button, which takes no focus of its own.
    auto *remove = new QShortcut(QKeySequence::Delete, m_view, nullptr, nullptr, Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, [this] {
        if (const QModelIndex current = m_view->currentIndex(); current.isValid())
            emit removeRequested(current.data(RemovableListModel::keyRole).toString());
    });
    setEntries({}, {});
}

void RemovableList::setEntries(const QStringList &keys, const std::function<QString(const QString &)> &display)
{
    const QSet<QString> kept = selection();
    QStringList shown;
    shown.reserve(keys.size());
    for (const QString &key : keys)
        shown << (display ? display(key) : key);
    {
        // A reset drops the selection without a word; it is put back below.
        const QSignalBlocker blocker(m_view->selectionModel());
        m_model->setEntries(keys, shown);
    }
    m_placeholder->setVisible(keys.isEmpty());
    selectQuietly(kept);
    if (selection() != kept)
        emit selectionChanged();
}

QStringList RemovableList::keys() const
{
    return m_model->keys();
}

QSet<QString> RemovableList::selection() const
{
    QSet<QString> keys;
    for (const QModelIndex &index : m_view->selectionModel()->selectedRows())
        keys.insert(index.data(RemovableListModel::keyRole).toString());
    return keys;
}

void RemovableList::setSelection(const QSet<QString> &keys)
{
    const QSet<QString> before = selection();
    selectQuietly(keys);
    if (selection() != before)
        emit selectionChanged();
}

void RemovableList::selectQuietly(const QSet<QString> &keys)
{
    // One range per run of selected rows, so a long list is selected in one go.
    QItemSelection chosen;
    const QStringList &all = m_model->keys();
    for (int row = 0; row < all.size(); ++row) {
        if (!keys.contains(all.at(row)))
            continue;
        int last = row;
        while (last + 1 < all.size() && keys.contains(all.at(last + 1)))
            ++last;
        chosen.select(m_model->index(row), m_model->index(last));
        row = last;
    }
    {
        const QSignalBlocker blocker(m_view->selectionModel());
        m_view->selectionModel()->select(chosen, QItemSelectionModel::ClearAndSelect);
    }
    m_view->viewport()->update();
}

QRect RemovableList::removeButtonRect(int row) const
{
    const QRect item = m_view->visualRect(m_model->index(row));
    return item.isEmpty() ? QRect() : m_delegate->buttonRect(item, m_view->layoutDirection());
}
