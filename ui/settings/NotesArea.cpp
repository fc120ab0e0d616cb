#include "ui/settings/NotesArea.h"

#include "ui/common/UiStyle.h"

#include <QLabel>

NotesArea::NotesArea(int maximumHeight, QWidget *parent)
    : QScrollArea(parent)
    , m_maximumHeight(maximumHeight)
    , m_label(new QLabel)
{
    m_label->setFont(UiStyle::font(UiStyle::TextStyle::callout));
    m_label->setTextFormat(Qt::PlainText);
    m_label->setWordWrap(true);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    setWidget(m_label);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    // The box behind shows through.
    viewport()->setAutoFillBackground(false);
    m_label->setAutoFillBackground(false);
    setMaximumHeight(maximumHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void NotesArea::setText(const QString &text)
{
    m_label->setText(text);
    updateGeometry();
}

QString NotesArea::text() const
{
    return m_label->text();
}

int NotesArea::textHeight() const
{
    int width = viewport()->width();
    if (width <= 0)
        width = m_label->sizeHint().width();
    return m_label->heightForWidth(width) + 2 * frameWidth();
}

QSize NotesArea::sizeHint() const
{
    return {QScrollArea::sizeHint().width(), qMin(textHeight(), m_maximumHeight)};
}

QSize NotesArea::minimumSizeHint() const
{
    const int threeLines = 3 * m_label->fontMetrics().lineSpacing() + 2 * frameWidth();
    return {QScrollArea::minimumSizeHint().width(), qMin(textHeight(), threeLines)};
}

void NotesArea::resizeEvent(QResizeEvent *event)
{
    const int before = textHeight();
    QScrollArea::resizeEvent(event);
    // A new width wraps the text differently.
    if (textHeight() != before)
        updateGeometry();
}
