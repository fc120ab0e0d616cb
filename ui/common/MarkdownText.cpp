#include "ui/common/MarkdownText.h"

#include <QLabel>
#include <QTextDocumentFragment>

void setMarkdownText(QLabel *label, const QString &markdown)
{
    label->setTextFormat(Qt::MarkdownText);
    label->setText(markdown);
    label->setAccessibleName(QTextDocumentFragment::fromMarkdown(markdown).toPlainText());
}
