#include "core/LanguageManager.h"
#include "core/UpdateChecker.h"
#include "platform/UserDefaults.h"
#include "ui/common/DesktopWorkspace.h"
#include "ui/common/SymbolIcon.h"
#include "ui/shell/QuillmereApp.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmere"));
    QApplication::setWindowIcon(SymbolIcon::appIcon());

    NoCrashReporter crashReporter;
    QuillmereApp::Services services;
    services.scanner = ScannerServices::system();
    services.scanner.workspace = &DesktopWorkspace::shared();
    services.updater = &UpdateChecker::shared();
    services.language = &LanguageManager::shared();
    services.defaults = &UserDefaults::standard();
    services.settings = AppSettings::shared();
    services.crashReporter = &crashReporter;

    QuillmereApp app(services);
    app.start();
    return application.exec();
}
