#pragma once

#include <QAbstractListModel>
#include <QStringList>

// The rows of a removable list: one key (a path, a bundle identifier) per
// row and the text shown for it. Item views read the shown text as each row's
// name, screen readers included.
class RemovableListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    static constexpr int keyRole = Qt::UserRole;

    using QAbstractListModel::QAbstractListModel;

    // Replaces every row at once; `shown` holds one text per key.
    void setEntries(const QStringList &keys, const QStringList &shown);
    const QStringList &keys() const { return m_keys; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QStringList m_keys;
    QStringList m_shown;
};
