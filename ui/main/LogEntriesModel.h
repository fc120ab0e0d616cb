#pragma once

#include <QAbstractListModel>
#include <QFont>
#include <QSize>
#include <QStringList>

// The log sheet's rows: one per line of the log's entries, identified by its
// index. A new list grows or shrinks the rows at the end and repaints the rest,
// so selection and scroll position stay where they are.
class LogEntriesModel : public QAbstractListModel
{
    Q_OBJECT

public:
    // Rows are as wide as the longest line in `font`, so no line is cut.
    explicit LogEntriesModel(const QFont &font, QObject *parent = nullptr);

    void setEntries(const QStringList &entries);
    const QStringList &entries() const { return m_entries; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QFont m_font;
    QStringList m_entries;
    QSize m_rowSize;
};
