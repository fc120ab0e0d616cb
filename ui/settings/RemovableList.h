#pragma once

#include <QColor>
#include <QSet>
#include <QStringList>
#include <QWidget>

#include <functional>

class QLabel;
class QListView;
class RemovableListModel;
class RemovableRowDelegate;

// A bordered list of text rows, each with a symbol in front and a red minus
// button at its end, and a placeholder centred over it while it is empty.
// Rows are identified by their key (a path, a bundle identifier). One view
// over a model draws every row, so a list of tens of thousands opens at once.
class RemovableList : public QWidget
{
    Q_OBJECT

public:
    RemovableList(const QString &symbol, const QColor &symbolTint, const QString &emptyText,
                  Qt::TextElideMode elideMode, QWidget *parent = nullptr);

    // Replaces the rows; keys still present stay selected and current. Rows only
    // taken out go without a reset: a current one passes to the row taking its place.
    void setEntries(const QStringList &keys, const std::function<QString(const QString &)> &display);

    QStringList keys() const;
    QSet<QString> selection() const;
    void setSelection(const QSet<QString> &keys);

    QListView *view() const { return m_view; }
    QLabel *placeholder() const { return m_placeholder; }
    // The minus button of `row`, in the view's viewport; empty when the row is not laid out.
    QRect removeButtonRect(int row) const;

signals:
    void removeRequested(const QString &key);
    void selectionChanged();

private:
    // Asks for the row's removal; once it is gone, the row taking its place is
    // current and selected, unless the current row was another.
    void askToRemove(const QModelIndex &index);
    // Selects exactly `keys`, without a signal.
    void selectQuietly(const QSet<QString> &keys);

    RemovableListModel *m_model;
    QListView *m_view;
    RemovableRowDelegate *m_delegate;
    QLabel *m_placeholder;
};
