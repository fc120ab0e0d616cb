#include "ui/help/HelpView.h"

#include <QLabel>
#include <QVBoxLayout>

HelpView::HelpView(const AppSettings &, QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Quillmere Help"), this));
    setMinimumSize(520, 400);
}
