#pragma once

#include <QString>

class QLabel;

// Shows `markdown` in the label and gives it the plain text as its accessible
// name: Qt reads a markdown label to screen readers with its marks ("**").
void setMarkdownText(QLabel *label, const QString &markdown);
