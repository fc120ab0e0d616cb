#include "ui/main/LeftoversTableModel.h"

#include <QDir>

LeftoversTableModel::LeftoversTableModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void LeftoversTableModel::setItems(QList<LeftoverItem> items)
{
    beginResetModel();
    m_items = std::move(items);
    endResetModel();
}

QUuid LeftoversTableModel::idAt(int row) const
{
    return row >= 0 && row < m_items.size() ? m_items.at(row).id : QUuid();
}

int LeftoversTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

int LeftoversTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : columnCount_;
}

QVariant LeftoversTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_items.size() || role != Qt::DisplayRole)
        return {};
    const LeftoverItem &item = m_items.at(index.row());
    switch (index.column()) {
    case appColumn: return item.appName;
    case typeColumn: return LeftoverTypes::rawValue(item.type);
    case sizeColumn: return item.size;
    case locationColumn: return item.displayPath(QDir::homePath());
    }
    return {};
}

QVariant LeftoversTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case appColumn: return tr("App");
    case typeColumn: return tr("Type");
    case sizeColumn: return tr("Size");
    case locationColumn: return tr("Location / Permission");
    }
    return {};
}
