#pragma once

#include "core/Scanner.h"

// Lets tests put a Scanner into a given published state, as scans and the
// roster load would have left it.
class ScannerPublisher
{
public:
    static void setItems(Scanner &scanner, const QList<LeftoverItem> &items) { scanner.setItems(items); }
    static void setIsScanning(Scanner &scanner, bool value) { scanner.setIsScanning(value); }
    static void setIsLoadingRoster(Scanner &scanner, bool value) { scanner.setIsLoadingRoster(value); }
    static void setTccAccessDenied(Scanner &scanner, bool value) { scanner.setTccAccessDenied(value); }
    static void setScanProgress(Scanner &scanner, const QString &text) { scanner.setScanProgress(text); }
    static void setRemovalFailures(Scanner &scanner, const QList<LeftoverItem> &items)
    {
        scanner.setRemovalFailures(items);
    }
    static void setInstalledApps(Scanner &scanner, const QList<InstalledApp> &apps) { scanner.setInstalledApps(apps); }
};
