#include "ui/main/SearchField.h"

#include "ui/common/SymbolIcon.h"
#include "ui/common/UiStyle.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>

SearchField::SearchField(const QString &placeholder, QWidget *parent)
    : QFrame(parent)
    , m_edit(new QLineEdit(this))
    , m_clear(new QToolButton(this))
    , m_magnifier(new QLabel(this))
{
    setObjectName(QStringLiteral("searchField"));
    setMaximumWidth(240);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->setSpacing(4);
    layout->setAlignment(Qt::AlignVCenter);

    m_edit->setFrame(false);
    m_edit->setPlaceholderText(placeholder);
    m_edit->setAttribute(Qt::WA_MacShowFocusRect, false);
    m_edit->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; border: none; }"));
    // A file dragged over the field is meant for the window's drop target, not
    // to be typed in as a search.
    m_edit->setAcceptDrops(false);

    m_clear->setAutoRaise(true);
    m_clear->setCursor(Qt::ArrowCursor);
    m_clear->setToolTip(tr("Clear"));
    m_clear->setAccessibleName(m_clear->toolTip());
    m_clear->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; }"));
    m_clear->setIconSize(QSize(14, 14));
    m_clear->setVisible(false);

    layout->addWidget(m_magnifier);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_clear);
    refreshIcons();

    connect(m_edit, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_clear->setVisible(!text.isEmpty());
        emit textChanged(text);
    });
    connect(m_clear, &QToolButton::clicked, this, &SearchField::clear);
}

QString SearchField::text() const
{
    return m_edit->text();
}

void SearchField::setText(const QString &text)
{
    if (m_edit->text() != text)
        m_edit->setText(text);
}

void SearchField::setPlaceholder(const QString &placeholder)
{
    m_edit->setPlaceholderText(placeholder);
}

void SearchField::clear()
{
    setText(QString());
}

void SearchField::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(UiStyle::color(UiStyle::Tone::quaternary, 0.5));
    painter.drawRoundedRect(QRectF(rect()), 6, 6);
    QFrame::paintEvent(event);
}

void SearchField::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        refreshIcons();
    QFrame::changeEvent(event);
}

void SearchField::refreshIcons()
{
    const QColor secondary = UiStyle::color(UiStyle::Tone::secondary);
    m_magnifier->setPixmap(SymbolIcon::pixmap(QStringLiteral("magnifyingglass"), 14, secondary));
    m_clear->setIcon(SymbolIcon::icon(QStringLiteral("xmark.circle.fill"), secondary));
}
