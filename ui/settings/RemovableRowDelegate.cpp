#include "ui/settings/RemovableRowDelegate.h"

#include "ui/common/ElidedLabel.h"
#include "ui/common/SymbolIcon.h"
#include "ui/common/UiStyle.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace {

// As the rows were laid out when each was a row of widgets.
constexpr int leftMargin = 6;
constexpr int otherMargin = 2;
constexpr int spacing = 8;
constexpr int symbolSize = 16;

QStyle *styleOf(const QWidget *widget)
{
    return widget ? widget->style() : QApplication::style();
}

} // namespace

RemovableRowDelegate::RemovableRowDelegate(const QString &symbol, const QColor &symbolTint,
                                           Qt::TextElideMode elideMode, QAbstractItemView *view)
    : QStyledItemDelegate(view)
    , m_view(view)
    , m_symbol(symbol)
    , m_symbolTint(symbolTint)
    , m_elideMode(elideMode)
    , m_removeIcon(SymbolIcon::icon(QStringLiteral("minus.circle.fill"), UiStyle::color(UiStyle::Tone::red)))
{
    view->setMouseTracking(true);
    view->viewport()->installEventFilter(this);
}

QSize RemovableRowDelegate::buttonSize() const
{
    // The size an icon-only tool button of this style asks for.
    QStyleOptionToolButton option;
    const QStyle *style = styleOf(m_view);
    const int icon = style->pixelMetric(QStyle::PM_ButtonIconSize, nullptr, m_view);
    option.iconSize = QSize(icon, icon);
    option.toolButtonStyle = Qt::ToolButtonIconOnly;
    option.subControls = QStyle::SC_ToolButton;
    option.rect = QRect(QPoint(), option.iconSize);
    return style->sizeFromContents(QStyle::CT_ToolButton, &option, option.iconSize, m_view);
}

RemovableRowDelegate::RowLayout RemovableRowDelegate::rowLayout(const QRect &itemRect,
                                                                Qt::LayoutDirection direction) const
{
    // Mirrored for a right-to-left language, as a row of widgets would be.
    const QRect inner =
        QStyle::visualRect(direction, itemRect, itemRect.adjusted(leftMargin, otherMargin, -otherMargin, -otherMargin));
    const QSize button = buttonSize();
    const auto place = [&](Qt::Alignment side, const QSize &size, const QRect &within) {
        return QStyle::alignedRect(direction, side | Qt::AlignVCenter, size, within);
    };
    RowLayout row;
    row.symbol = place(Qt::AlignLeft, QSize(symbolSize, symbolSize), inner);
    row.button = place(Qt::AlignRight, button, inner);
    const int textWidth = inner.width() - symbolSize - button.width() - 2 * spacing;
    row.text = place(Qt::AlignLeft, QSize(qMax(0, textWidth), inner.height()),
                     QStyle::visualRect(direction, inner, inner.adjusted(symbolSize + spacing, 0, 0, 0)));
    return row;
}

QRect RemovableRowDelegate::buttonRect(const QRect &itemRect, Qt::LayoutDirection direction) const
{
    return rowLayout(itemRect, direction).button;
}

const QPixmap &RemovableRowDelegate::symbolPixmap(const QColor &tint) const
{
    auto found = m_symbolPixmaps.find(tint.rgba());
    if (found == m_symbolPixmaps.end())
        found = m_symbolPixmaps.insert(tint.rgba(), SymbolIcon::pixmap(m_symbol, symbolSize, tint));
    return *found;
}

void RemovableRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    QStyle *style = styleOf(opt.widget);
    // Background, selection and focus as the style draws any row.
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    const RowLayout row = rowLayout(opt.rect, opt.direction);
    const bool selected = opt.state & QStyle::State_Selected;
    const QColor textColor = UiStyle::itemTextColor(opt);
    // On the selection colour the tint could vanish (an accent symbol on an accent row).
    painter->drawPixmap(row.symbol, symbolPixmap(selected ? textColor : m_symbolTint));

    painter->save();
    painter->setFont(opt.font);
    painter->setPen(textColor);
    ElidedLabel::drawLine(*painter, row.text, text, m_elideMode);
    painter->restore();

    drawButton(painter, opt, row.button, index);
}

void RemovableRowDelegate::drawButton(QPainter *painter, const QStyleOptionViewItem &option, const QRect &rect,
                                      const QModelIndex &index) const
{
    QStyleOptionToolButton button;
    button.rect = rect;
    button.palette = option.palette;
    button.direction = option.direction;
    button.fontMetrics = option.fontMetrics;
    button.state = (option.state & (QStyle::State_Enabled | QStyle::State_Active)) | QStyle::State_AutoRaise;
    const bool hovered = m_hovered.isValid() && m_hovered == index;
    const bool down = hovered && m_pressed.isValid() && m_pressed == index;
    if (hovered)
        button.state |= QStyle::State_MouseOver;
    button.state |= down ? QStyle::State_Sunken : QStyle::State_Raised;
    button.subControls = QStyle::SC_ToolButton;
    button.activeSubControls = hovered ? QStyle::SC_ToolButton : QStyle::SC_None;
    button.features = QStyleOptionToolButton::None;
    button.toolButtonStyle = Qt::ToolButtonIconOnly;
    button.icon = m_removeIcon;
    const QStyle *style = styleOf(option.widget);
    const int icon = style->pixelMetric(QStyle::PM_ButtonIconSize, nullptr, option.widget);
    button.iconSize = QSize(icon, icon);
    style->drawComplexControl(QStyle::CC_ToolButton, &button, painter, option.widget);
}

QSize RemovableRowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    // Only the height: a long text is shortened instead of widening the list.
    const int content = std::max({symbolSize, option.fontMetrics.height(), buttonSize().height()});
    return {0, content + 2 * otherMargin};
}

bool RemovableRowDelegate::editorEvent(QEvent *event, QAbstractItemModel *, const QStyleOptionViewItem &option,
                                       const QModelIndex &index)
{
    const auto overButton = [&](const QMouseEvent *mouse) {
        return index.isValid() && buttonRect(option.rect, option.direction).contains(mouse->position().toPoint());
    };
    switch (event->type()) {
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        setHovered(overButton(mouse) ? index : QModelIndex());
        // While the button is held, the mouse belongs to it, not to a drag selection.
        return m_pressed.isValid();
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton || !overButton(mouse))
            return false;
        m_pressed = index;
        setHovered(index);
        updateRow(index);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (!m_pressed.isValid())
            return false;
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QPersistentModelIndex pressed = m_pressed;
        m_pressed = QPersistentModelIndex();
        updateRow(pressed);
        // A click: released over the button it was pressed on.
        if (mouse->button() == Qt::LeftButton && overButton(mouse) && index == pressed)
            emit removeClicked(pressed);
        return true;
    }
    case QEvent::Leave:
        setHovered({});
        return false;
    default:
        return false;
    }
}

bool RemovableRowDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                                     const QModelIndex &index)
{
    if (event->type() == QEvent::ToolTip && index.isValid()
        && buttonRect(option.rect, option.direction).contains(event->pos())) {
        QToolTip::showText(event->globalPos(), tr("Remove"), view->viewport(), buttonRect(option.rect, option.direction));
        return true;
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

bool RemovableRowDelegate::eventFilter(QObject *watched, QEvent *event)
{
    // A view hands its delegate no moves, and a release only over the row pressed:
    // the button's events are taken here, before the view makes them a selection.
    if (!m_view || watched != m_view->viewport())
        return false;
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::Leave: {
        QModelIndex index;
        QStyleOptionViewItem option;
        option.initFrom(m_view);
        if (event->type() != QEvent::Leave) {
            index = m_view->indexAt(static_cast<QMouseEvent *>(event)->position().toPoint());
            option.rect = m_view->visualRect(index);
        }
        return editorEvent(event, m_view->model(), option, index);
    }
    default:
        return false;
    }
}

void RemovableRowDelegate::setHovered(const QModelIndex &index)
{
    if (m_hovered == index)
        return;
    const QModelIndex before = m_hovered;
    m_hovered = index;
    updateRow(before);
    updateRow(index);
}

void RemovableRowDelegate::updateRow(const QModelIndex &index) const
{
    if (m_view && index.isValid())
        m_view->viewport()->update(m_view->visualRect(index));
}
