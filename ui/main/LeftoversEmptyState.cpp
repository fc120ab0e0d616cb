#include "ui/main/LeftoversEmptyState.h"

#include "core/Scanner.h"
#include "ui/common/MarkdownText.h"
#include "ui/common/OutsideText.h"
#include "ui/common/SymbolIcon.h"
#include "ui/common/UiStyle.h"

#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <QVariantAnimation>

namespace {

QString dropHint()
{
    // The shortcut as this platform writes it, so the hint names a key that works.
    const QString shortcut = QKeySequence(Qt::CTRL | Qt::Key_R).toString(QKeySequence::NativeText);
    // Two trailing spaces keep the line break in markdown.
    return LeftoversEmptyState::tr("Press **%1** or click **Scan for Leftovers**,  \nor drop an **.app** file here "
                                   "to scan a specific app.")
        .arg(shortcut);
}

} // namespace

LeftoversEmptyState::LeftoversEmptyState(const Scanner &scanner, QWidget *parent)
    : QWidget(parent)
    , m_symbol(new QLabel(this))
    , m_hint(new QLabel(this))
    , m_animation(new QVariantAnimation(this))
{
    setObjectName(QStringLiteral("leftoversEmptyState"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(20);
    layout->setAlignment(Qt::AlignCenter);
    m_symbol->setObjectName(QStringLiteral("emptyStateSymbol"));
    m_symbol->setFixedSize(56, 56);
    m_hint->setObjectName(QStringLiteral("emptyStateHint"));
    m_hint->setAlignment(Qt::AlignCenter);
    // Plain text: the progress text names files from outside.
    auto *progress = new QLabel(this);
    progress->setObjectName(QStringLiteral("emptyStateProgress"));
    progress->setTextFormat(Qt::PlainText);
    progress->setFont(UiStyle::font(UiStyle::TextStyle::caption));
    progress->setStyleSheet(UiStyle::textTone(UiStyle::Tone::secondary));
    progress->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_symbol, 0, Qt::AlignHCenter);
    layout->addWidget(m_hint, 0, Qt::AlignHCenter);
    layout->addWidget(progress, 0, Qt::AlignHCenter);

    m_animation->setDuration(150);
    m_animation->setEasingCurve(QEasingCurve::InOutQuad);
    m_animation->setStartValue(0.0);
    m_animation->setEndValue(1.0);
    connect(m_animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &value) { drawSymbol(value.toReal()); });
    drawSymbol(1.0);
    refreshHint();

    const auto refreshProgress = [&scanner, progress] {
        progress->setText(OutsideText::inLine(scanner.scanProgress()));
        progress->setVisible(!scanner.scanProgress().isEmpty());
    };
    connect(&scanner, &Scanner::scanProgressChanged, this, refreshProgress);
    refreshProgress();
}

void LeftoversEmptyState::setDragTargeted(bool targeted)
{
    if (m_dragTargeted == targeted)
        return;
    m_dragTargeted = targeted;
    refreshHint();
    m_animation->stop();
    m_animation->start();
}

void LeftoversEmptyState::drawSymbol(qreal progress)
{
    const QColor idle = UiStyle::color(UiStyle::Tone::secondary, 0.5);
    const QColor targeted = UiStyle::color(UiStyle::Tone::accent);
    const QColor from = m_dragTargeted ? idle : targeted;
    const QColor to = m_dragTargeted ? targeted : idle;
    const auto mix = [progress](qreal a, qreal b) { return a + (b - a) * progress; };
    const QColor tint = QColor::fromRgbF(mix(from.redF(), to.redF()), mix(from.greenF(), to.greenF()),
                                         mix(from.blueF(), to.blueF()), mix(from.alphaF(), to.alphaF()));
    const QString symbol = m_dragTargeted ? QStringLiteral("arrow.down.circle.fill")
                                          : QStringLiteral("sparkles.rectangle.stack");
    // The new symbol grows into place while its colour changes.
    const int size = qRound(56 * (0.8 + 0.2 * progress));
    QPixmap canvas(56, 56);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    const int offset = (56 - size) / 2;
    painter.drawPixmap(offset, offset, SymbolIcon::pixmap(symbol, size, tint));
    painter.end();
    m_symbol->setPixmap(canvas);
}

void LeftoversEmptyState::refreshHint()
{
    if (m_dragTargeted) {
        setMarkdownText(m_hint, tr("Drop the .app to scan its leftovers"));
        m_hint->setStyleSheet(UiStyle::textTone(UiStyle::Tone::accent));
    } else {
        setMarkdownText(m_hint, dropHint());
        m_hint->setStyleSheet(UiStyle::textTone(UiStyle::Tone::secondary));
    }
}
