#pragma once

#include "core/AppLogger.h"
#include "core/LanguageManager.h"
#include "core/Scanner.h"
#include "model/SystemRoots.h"
#include "platform/UserDefaults.h"

#include <QString>

// A Scanner over `roots` whose log and settings live in `scratch`, apart from
// the tree, so runs do not change it.
struct BenchScanner
{
    BenchScanner(const SystemRoots &roots, const QString &scratch);

    UserDefaults defaults;
    AppLogger logger;
    LanguageManager language;
    Scanner scanner;
};

// Runs one full scan and waits for it in an event loop; its time in milliseconds.
double timeScan(Scanner &scanner);
