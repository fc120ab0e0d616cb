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
    connect(m_delegate, &RemovableRowDelegate::removeClicked, this, &RemovableList::askToRemove);
    // The keyboard's way to the current row's minus button, which takes no focus of its own.
    auto *remove = new QShortcut(QKeySequence::Delete, m_view, nullptr, nullptr, Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, [this] {
        if (const QModelIndex current = m_view->currentIndex(); current.isValid())
            askToRemove(current);
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
    // Read before the rows change: a reset leaves the index pointing at another entry.
    const int currentAt = m_view->currentIndex().row(); // -1 when none
    const QString currentKey = m_view->currentIndex().data(RemovableListModel::keyRole).toString();
    int currentRow = -1; // where the current row goes when it has to move
    {
        // Quiet until the current row is back in place, so that the view hears of
        // one new current row, the right one, and announces only that.
        const QSignalBlocker blocker(m_view->selectionModel());
        if (const auto missing = m_model->missingRun(keys, shown)) {
            // Only the rows that go: the others keep their selection and the view its scroll position.
            const auto [first, count] = *missing;
            m_model->removeEntries(first, count);
            if (currentAt >= first && currentAt < first + count)
                currentRow = qMin(first, m_model->rowCount() - 1);
        } else {
            // A reset drops the selection and the current row; both are put back.
            m_model->setEntries(keys, shown);
            selectQuietly(kept);
            if (currentAt >= 0)
                currentRow = int(keys.indexOf(currentKey));
        }
        if (currentRow >= 0)
            m_view->selectionModel()->clearCurrentIndex();
    }
    if (currentRow >= 0)
        m_view->selectionModel()->setCurrentIndex(m_model->index(currentRow), QItemSelectionModel::NoUpdate);
    m_placeholder->setVisible(keys.isEmpty());
    if (selection() != kept)
        emit selectionChanged();
}

void RemovableList::askToRemove(const QModelIndex &index)
{
    const QString key = index.data(RemovableListModel::keyRole).toString();
    const int row = index.row();
    const QModelIndex current = m_view->currentIndex();
    const bool follow = !current.isValid() || current == index;
    emit removeRequested(key);
    // Refused, or the current row is another: nothing moves.
    if (!follow || m_model->keys().contains(key))
        return;
    // As if moved to: the keyboard and a screen reader go on from here.
    QModelIndex next = m_view->currentIndex();
    if (!next.isValid())
        next = m_model->index(qMin(row, m_model->rowCount() - 1));
    if (next.isValid())
        m_view->selectionModel()->setCurrentIndex(next, QItemSelectionModel::Select | QItemSelectionModel::Rows);
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
