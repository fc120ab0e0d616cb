#pragma once

#include "model/LeftoverItem.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QLocale>

// The leftovers table's rows: the filtered, sorted items, replaced as a whole
// with one reset per new list (a keystroke in the search, a new scan).
class LeftoversTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { appColumn, typeColumn, sizeColumn, locationColumn, columnCount_ };
    // The App cell's second line: the bundle ID, or nothing.
    static constexpr int bundleIDRole = Qt::UserRole + 1;

    explicit LeftoversTableModel(QObject *parent = nullptr);

    void setItems(QList<LeftoverItem> items);
    const QList<LeftoverItem> &items() const { return m_items; }
    // The item's id of a row; null outside the rows.
    QUuid idAt(int row) const;
    // The home folder the locations are shown relative to ("~").
    void setHome(const QString &home) { m_home = home; }
    void setLocale(const QLocale &locale);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QIcon typeIcon(LeftoverType type) const;

    QList<LeftoverItem> m_items;
    QString m_home;
    QLocale m_locale;
    // Sizes line up digit under digit.
    QFont m_sizeFont;
    // Tinted icons are costly to draw; one per type.
    mutable QHash<LeftoverType, QIcon> m_typeIcons;
};
