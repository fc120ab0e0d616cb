#include "ui/help/HelpView.h"

#include "ui/common/BannerFrame.h"
#include "ui/common/MarkdownText.h"
#include "ui/common/SymbolIcon.h"
#include "ui/common/UiStyle.h"
#include "ui/help/HelpContent.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

QLabel *textLabel(const QString &text, const QFont &font, const QColor &color, Qt::TextFormat format = Qt::PlainText)
{
    auto *label = new QLabel;
    if (format == Qt::MarkdownText)
        setMarkdownText(label, text);
    else
        label->setText(text);
    label->setFont(font);
    label->setTextFormat(format);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

QLabel *symbolImage(const QString &symbol, const QFont &font, const QColor &color)
{
    auto *image = new QLabel;
    const int size = QFontMetrics(font).height();
    image->setPixmap(SymbolIcon::pixmap(symbol, size, color));
    image->setFixedSize(size, size);
    return image;
}

QWidget *warningBox()
{
    const QColor red = UiStyle::color(UiStyle::Tone::red);
    auto *box = new BannerFrame(red, 0.08, 0.3, 10);
    box->setObjectName(QStringLiteral("warningBox"));
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(16, 16, 16, 16);
    row->setSpacing(12);
    row->addWidget(symbolImage(QStringLiteral("exclamationmark.triangle.fill"),
                               UiStyle::font(UiStyle::TextStyle::title2), red),
                   0, Qt::AlignTop);
    auto *texts = new QVBoxLayout;
    texts->setSpacing(8);
    texts->addWidget(textLabel(HelpContent::warningTitle(), UiStyle::font(UiStyle::TextStyle::headline), red));
    texts->addWidget(textLabel(HelpContent::warningText(), UiStyle::font(UiStyle::TextStyle::callout),
                               UiStyle::color(UiStyle::Tone::primary), Qt::MarkdownText));
    row->addLayout(texts, 1);
    return box;
}

QWidget *divider()
{
    auto *line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QWidget *sectionWidget(const HelpContent::Section &section)
{
    auto *widget = new QWidget;
    auto *column = new QVBoxLayout(widget);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    const QFont titleFont = UiStyle::font(UiStyle::TextStyle::title3, QFont::Bold);
    const QColor primary = UiStyle::color(UiStyle::Tone::primary);
    auto *title = new QHBoxLayout;
    title->setSpacing(6);
    title->addWidget(symbolImage(section.symbol, titleFont, primary));
    title->addWidget(textLabel(section.title, titleFont, primary), 1);
    column->addLayout(title);
    column->addWidget(textLabel(section.markdown, UiStyle::font(UiStyle::TextStyle::body),
                                UiStyle::color(UiStyle::Tone::secondary), Qt::MarkdownText));
    return widget;
}

QWidget *header(const AppSettings &settings)
{
    auto *widget = new QWidget;
    auto *row = new QHBoxLayout(widget);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);
    const QIcon icon = SymbolIcon::appIcon();
    if (!icon.isNull()) {
        auto *image = new QLabel;
        image->setPixmap(icon.pixmap(48, 48));
        image->setFixedSize(48, 48);
        row->addWidget(image);
    }
    auto *texts = new QVBoxLayout;
    texts->addWidget(textLabel(HelpView::tr("Quillmere Help"), UiStyle::font(UiStyle::TextStyle::largeTitle, QFont::Bold),
                               UiStyle::color(UiStyle::Tone::primary)));
    auto *version = textLabel(HelpView::tr("Version %1").arg(settings.version),
                              UiStyle::font(UiStyle::TextStyle::subheadline), UiStyle::color(UiStyle::Tone::secondary));
    version->setObjectName(QStringLiteral("versionLabel"));
    texts->addWidget(version);
    row->addLayout(texts, 1);
    return widget;
}

} // namespace

HelpView::HelpView(const AppSettings &settings, QWidget *parent)
    : QWidget(parent)
    , m_scrollArea(new QScrollArea(this))
{
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(32, 32, 32, 32);
    column->setSpacing(28);
    column->addWidget(header(settings));
    column->addWidget(warningBox());
    column->addWidget(divider());
    for (const HelpContent::Section &section : HelpContent::sections())
        column->addWidget(sectionWidget(section));
    column->addWidget(divider());
    column->addWidget(warningBox());
    column->addStretch(1);

    // The page follows the window's width and only ever scrolls down.
    m_scrollArea->setWidget(page);
    m_scrollArea->setWidgetResizable(true);
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_scrollArea->setFrameShape(QFrame::NoFrame);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scrollArea);
    setMinimumSize(520, 400);
}
