#include "ui/main/StatusBar.h"

#include "ui/common/ElidedLabel.h"
#include "ui/common/UiStyle.h"

#include <QHBoxLayout>

namespace {

using UiStyle::TextStyle;
using UiStyle::Tone;
using Style = ActionBarRules::StatusPiece::Style;

QFont pieceFont(Style style, const QFont &plain)
{
    switch (style) {
    case Style::separator: return plain;
    case Style::selection: return UiStyle::font(TextStyle::caption, QFont::Bold);
    case Style::caption:
    case Style::safeModeNote:
    case Style::willFree: break;
    }
    return UiStyle::font(TextStyle::caption);
}

Tone pieceTone(Style style)
{
    switch (style) {
    case Style::separator: return Tone::tertiary;
    case Style::safeModeNote: return Tone::orange;
    case Style::selection: return Tone::primary;
    case Style::caption:
    case Style::willFree: break;
    }
    return Tone::secondary;
}

} // namespace

StatusBar::StatusBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("statusBar"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
}

void StatusBar::setPieces(const QList<ActionBarRules::StatusPiece> &pieces)
{
    // Pieces of the same kinds keep their labels and only change text: new labels
    // relayout and repaint the whole window, and a roster load publishes every size.
    QLayout *row = layout();
    bool sameKinds = row->count() == pieces.size();
    for (int i = 0; sameKinds && i < row->count(); ++i)
        sameKinds = row->itemAt(i)->widget()->property("pieceStyle").toInt() == int(pieces.at(i).style);
    if (sameKinds) {
        for (int i = 0; i < row->count(); ++i)
            static_cast<ElidedLabel *>(row->itemAt(i)->widget())->setText(pieces.at(i).text);
        return;
    }
    QStringList before;
    while (QLayoutItem *item = row->takeAt(0)) {
        before << static_cast<ElidedLabel *>(item->widget())->text();
        delete item->widget();
        delete item;
    }
    // Pieces give way to the buttons, shortened with an ellipsis, so the window keeps its width.
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const ActionBarRules::StatusPiece &piece = pieces.at(i);
        // A new or changed piece gets its text through setText, which announces it to
        // screen readers as a changed text would be; an unchanged one is not read again.
        const bool unchanged = i < before.size() && before.at(i) == piece.text;
        auto *label = new ElidedLabel(unchanged ? piece.text : QString(), Qt::ElideRight, this);
        label->setFont(pieceFont(piece.style, font()));
        label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, UiStyle::color(pieceTone(piece.style)));
        label->setPalette(palette);
        label->setProperty("pieceStyle", int(piece.style));
        row->addWidget(label);
        label->setText(piece.text);
    }
}
