#pragma once

#include "model/LeftoverItem.h"

#include <QAbstractTableModel>
#include <QList>

// The leftovers table's rows: the filtered, sorted items, replaced as a whole
// with one reset per new list (a keystroke in the search, a new scan).
class LeftoversTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { appColumn, typeColumn, sizeColumn, locationColumn, columnCount_ };

    explicit LeftoversTableModel(QObject *parent = nullptr);

    void setItems(QList<LeftoverItem> items);
    const QList<LeftoverItem> &items() const { return m_items; }
    // The item's id of a row; null outside the rows.
    QUuid idAt(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<LeftoverItem> m_items;
};
