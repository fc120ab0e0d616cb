#pragma once

#include <QColor>
#include <QSet>
#include <QStringList>
#include <QWidget>

#include <functional>

class QLabel;
class QListWidget;

// A bordered list of text rows, each with a symbol in front and a red minus
// button at its end, and a placeholder centred over it while it is empty.
// Rows are identified by their key (a path, a bundle identifier).
class RemovableList : public QWidget
{
    Q_OBJECT

public:
    RemovableList(const QString &symbol, const QColor &symbolTint, const QString &emptyText,
                  Qt::TextElideMode elideMode, QWidget *parent = nullptr);

    // Replaces the rows; keys still present stay selected.
    void setEntries(const QStringList &keys, const std::function<QString(const QString &)> &display);

    QStringList keys() const { return m_keys; }
    QSet<QString> selection() const;
    void setSelection(const QSet<QString> &keys);

    QListWidget *listWidget() const { return m_list; }
    QLabel *placeholder() const { return m_placeholder; }

signals:
    void removeRequested(const QString &key);
    void selectionChanged();

private:
    QString m_symbol;
    QColor m_symbolTint;
    Qt::TextElideMode m_elideMode;
    QStringList m_keys;
    QListWidget *m_list;
    QLabel *m_placeholder;
};
