#include "ui/settings/RemovableList.h"

#include "ui/common/ElidedLabel.h"
#include "ui/common/SymbolIcon.h"
#include "ui/common/UiStyle.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>

namespace {
constexpr int keyRole = Qt::UserRole;
}

RemovableList::RemovableList(const QString &symbol, const QColor &symbolTint, const QString &emptyText,
                             Qt::TextElideMode elideMode, QWidget *parent)
    : QWidget(parent)
    , m_symbol(symbol)
    , m_symbolTint(symbolTint)
    , m_elideMode(elideMode)
    , m_list(new QListWidget(this))
    , m_placeholder(new QLabel(emptyText, this))
{
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setAlternatingRowColors(false);
    m_list->setMinimumHeight(160);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    QPalette tertiary = m_placeholder->palette();
    tertiary.setColor(QPalette::WindowText, UiStyle::color(UiStyle::Tone::tertiary));
    m_placeholder->setPalette(tertiary);
    m_placeholder->setAlignment(Qt::AlignCenter);
    m_placeholder->setAttribute(Qt::WA_TransparentForMouseEvents);

    // Both in one cell: the placeholder lies over the empty list.
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list, 0, 0);
    layout->addWidget(m_placeholder, 0, 0, Qt::AlignCenter);

    connect(m_list, &QListWidget::itemSelectionChanged, this, &RemovableList::selectionChanged);
    setEntries({}, {});
}

void RemovableList::setEntries(const QStringList &keys, const std::function<QString(const QString &)> &display)
{
    const QSet<QString> kept = selection();
    m_keys = keys;
    {
        const QSignalBlocker blocker(m_list);
        m_list->clear();
        for (const QString &key : keys) {
            auto *row = new QWidget;
            auto *rowLayout = new QHBoxLayout(row);
            rowLayout->setContentsMargins(6, 2, 2, 2);
            rowLayout->setSpacing(8);

            auto *symbol = new QLabel(row);
            symbol->setPixmap(SymbolIcon::pixmap(m_symbol, 16, m_symbolTint));
            rowLayout->addWidget(symbol);
            rowLayout->addWidget(new ElidedLabel(display ? display(key) : key, m_elideMode, row), 1);

            auto *remove = new QToolButton(row);
            remove->setAutoRaise(true);
            remove->setIcon(SymbolIcon::icon(QStringLiteral("minus.circle.fill"), UiStyle::color(UiStyle::Tone::red)));
            remove->setToolTip(tr("Remove"));
            remove->setObjectName(QStringLiteral("removeButton"));
            connect(remove, &QToolButton::clicked, this, [this, key] { emit removeRequested(key); });
            rowLayout->addWidget(remove);

            auto *item = new QListWidgetItem(m_list);
            item->setData(keyRole, key);
            // Only the height: a long text is elided instead of widening the list.
            item->setSizeHint(QSize(0, row->sizeHint().height()));
            m_list->setItemWidget(item, row);
        }
    }
    m_placeholder->setVisible(keys.isEmpty());
    setSelection(kept);
}

QSet<QString> RemovableList::selection() const
{
    QSet<QString> keys;
    for (const QListWidgetItem *item : m_list->selectedItems())
        keys.insert(item->data(keyRole).toString());
    return keys;
}

void RemovableList::setSelection(const QSet<QString> &keys)
{
    const QSet<QString> before = selection();
    {
        const QSignalBlocker blocker(m_list);
        for (int i = 0; i < m_list->count(); ++i) {
            QListWidgetItem *item = m_list->item(i);
            item->setSelected(keys.contains(item->data(keyRole).toString()));
        }
    }
    m_list->viewport()->update();
    if (selection() != before)
        emit selectionChanged();
}
