#include "ui/common/SymbolIcon.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmere"));
    QApplication::setWindowIcon(SymbolIcon::appIcon());
    // The main window comes with its own work; until then say so.
    QLabel placeholder(QStringLiteral("Quillmere: the main window is not built yet."));
    placeholder.setMargin(24);
    placeholder.show();
    return app.exec();
}
