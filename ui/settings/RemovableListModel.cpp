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
