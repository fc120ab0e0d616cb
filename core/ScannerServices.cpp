#include "core/ScannerServices.h"

#include "core/AppLogger.h"
#include "core/LanguageManager.h"
#include "platform/Trash.h"
#include "platform/UserDefaults.h"
#include "platform/Workspace.h"

ScannerServices ScannerServices::system()
{
    // The user's Trash; made once and kept for the life of the process.
    static Trash trash(Trash::defaultHomeTrashPath());
    // Before anything reads the store: what it cannot read or write goes to the log.
    UserDefaults::standard().setProblemLog([](const QString &message) { AppLogger::shared().log(message); });
    ScannerServices services;
    services.roots = SystemRoots::real();
    services.logger = &AppLogger::shared();
    services.language = &LanguageManager::shared();
    services.defaults = &UserDefaults::standard();
    services.trash = &trash;
    services.workspace = &Workspace::system();
    return services;
}
