#pragma once

#include <QHash>
#include <QStyledItemDelegate>

class QListView;
class QTextLayout;

// A row of the log sheet: the shown line wrapped to the list's width, at a
// blank where there is one and anywhere else, so no part of a line is cut off.
// Measuring and drawing lay the text out the same way, so a row is as tall as
// its lines.
class LogLineDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // `list` is the view the rows wrap in; it also owns the delegate.
    explicit LogLineDelegate(QListView *list);

    // The width a row's text wraps at, from the list's current width.
    int textWidth() const;
    // Blank pixels left of the text, and above and below it, in each row.
    static constexpr int horizontalMargin = 4;
    static constexpr int verticalMargin = 1;
    // The text a row lays out for its shown text: the same, less isolates
    // where nothing in it runs right to left.
    static QString laidOutText(const QString &shown);
    // Lays `layout` out as a row's text at `width`, left to right as the log is
    // written, and returns the height of its lines.
    static int layOut(QTextLayout &layout, int width);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    int textHeight(const QString &text, const QFont &font, int width) const;

    QListView *m_list;
    // Heights of shown texts at `m_heightsWidth`: the list lays every row out
    // again for each new line, and most rows are the same text as before.
    mutable QHash<QString, int> m_heights;
    mutable int m_heightsWidth = -1;
    mutable qsizetype m_cachedCharacters = 0;
};
