#pragma once

#include <QScrollArea>

class QLabel;

// The release notes of an update: as tall as the text up to a limit, and
// scrolling beyond it; squeezed down to a few lines when the window is small.
class NotesArea : public QScrollArea
{
    Q_OBJECT

public:
    explicit NotesArea(int maximumHeight, QWidget *parent = nullptr);

    void setText(const QString &text);
    QString text() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    int textHeight() const;

    int m_maximumHeight;
    QLabel *m_label;
};
