#pragma once

#include <QFrame>

class QLineEdit;
class QToolButton;

// The filter bars' search box: magnifier, a plain text field and a clear
// button that shows only while there is text, on a rounded light fill.
class SearchField : public QFrame
{
    Q_OBJECT

public:
    // The placeholder is shown exactly as passed.
    explicit SearchField(const QString &placeholder, QWidget *parent = nullptr);

    QString text() const;
    // Emits textChanged only when the text differs.
    void setText(const QString &text);
    void setPlaceholder(const QString &placeholder);
    // The clear button's action.
    void clear();

    QLineEdit *lineEdit() const { return m_edit; }
    QToolButton *clearButton() const { return m_clear; }

signals:
    void textChanged(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void refreshIcons();

    QLineEdit *m_edit;
    QToolButton *m_clear;
    class QLabel *m_magnifier;
};
