#pragma once

#include <QAbstractListModel>
#include <QStringList>

#include <optional>
#include <utility>

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
    // When `keys` and `shown` are these rows less one run of rows: {its first
    // row, its length} (length 0 when nothing is missing). Nothing otherwise.
    std::optional<std::pair<int, int>> missingRun(const QStringList &keys, const QStringList &shown) const;
    // Takes out `count` rows from `first` on, without a reset: views keep the rest as they were.
    void removeEntries(int first, int count);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QStringList m_keys;
    QStringList m_shown;
};
