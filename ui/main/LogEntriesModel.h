#pragma once

#include <QAbstractListModel>
#include <QFont>
#include <QStringList>

// The log sheet's rows: one per line of the log's entries, identified by its
// index. A new list grows or shrinks the rows at the end and repaints the rest,
// so selection and scroll position stay where they are (the list lays the
// changed rows out again, at their new heights).
class LogEntriesModel : public QAbstractListModel
{
    Q_OBJECT

public:
    // Characters of a line handed to the view at most; the rest of a longer
    // line is cut from its middle, so measuring and wrapping a row stays cheap.
    static constexpr qsizetype shownLength = 2000;

    explicit LogEntriesModel(const QFont &font, QObject *parent = nullptr);

    void setEntries(const QStringList &entries);
    const QStringList &entries() const { return m_entries; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // A line as one row shows it: cut to `shownLength`, line breaks and
    // direction controls as visible marks, and the message after the time
    // stamp (and each of its columns) isolated left to right, as the log is
    // written; a list line's name and ID are isolated each in their own
    // direction, so right-to-left text stays inside its place.
    static QString displayText(const QString &line);
    // The shown text as a plain tooltip: escaped, in lines of bounded width.
    static QString toolTipText(const QString &line);

private:
    QFont m_font;
    QStringList m_entries;
};
