#pragma once

#include "model/SystemRoots.h"
#include "platform/ToolRunner.h"

#include <stop_token>

class AppLogger;
class LanguageManager;
class Trash;
class UserDefaults;
class Workspace;

// What a Scanner works with: where the system lies, how tools are started, and
// the long-lived services it reports to. The application passes the real ones;
// tests a fake Mac, fake tools and a temporary log, store and Trash.
// The pointed-to services must outlive every task the Scanner starts.
struct ScannerServices
{
    SystemRoots roots;
    ToolRunner runner;
    AppLogger *logger = nullptr;
    LanguageManager *language = nullptr;
    UserDefaults *defaults = nullptr;
    Trash *trash = nullptr;
    Workspace *workspace = nullptr;
    // Requested as the application quits: the work that outlives a window
    // (the full scan, complete removal) stops then at its next safe point.
    // Never requested by default.
    std::stop_token quitting;

    // The real machine and the shared services.
    static ScannerServices system();
};
