#include "ui/settings/RemovableListModel.h"

#include "ui/common/OutsideText.h"

void RemovableListModel::setEntries(const QStringList &keys, const QStringList &shown)
{
    beginResetModel();
    m_keys = keys;
    m_shown = shown;
    // A text for every row, whatever the caller handed in.
    m_shown.resize(m_keys.size());
    endResetModel();
}

std::optional<std::pair<int, int>> RemovableListModel::missingRun(const QStringList &keys,
                                                                 const QStringList &shown) const
{
    const auto same = [&](qsizetype mine, qsizetype theirs) {
        return m_keys.at(mine) == keys.at(theirs) && m_shown.at(mine) == shown.value(theirs);
    };
    const qsizetype count = m_keys.size() - keys.size();
    if (count < 0)
        return std::nullopt;
    qsizetype first = 0;
    while (first < keys.size() && same(first, first))
        ++first;
    for (qsizetype row = first; row < keys.size(); ++row) {
        if (!same(row + count, row))
            return std::nullopt;
    }
    return std::pair{int(first), int(count)};
}

void RemovableListModel::removeEntries(int first, int count)
{
    if (count <= 0)
        return;
    beginRemoveRows({}, first, first + count - 1);
    m_keys.remove(first, count);
    m_shown.remove(first, count);
    endRemoveRows();
}

int RemovableListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_keys.size());
}

QVariant RemovableListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    switch (role) {
    case Qt::DisplayRole: return m_shown.at(index.row());
    case Qt::ToolTipRole: return OutsideText::toolTip(m_shown.at(index.row()));
    case keyRole: return m_keys.at(index.row());
    default: return {};
    }
}

Qt::ItemFlags RemovableListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
