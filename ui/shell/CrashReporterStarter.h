#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

// The crash reporter's start options, by name, in the order they are set.
using CrashReportingOptions = QList<QPair<QString, QVariant>>;

// Starts crash reporting with the given options. The application's starter
// reports nothing: no crash-reporting library is available to this build.
class CrashReporterStarter
{
public:
    virtual ~CrashReporterStarter() = default;
    virtual void start(const CrashReportingOptions &options) = 0;
};

class NoCrashReporter : public CrashReporterStarter
{
public:
    void start(const CrashReportingOptions &) override {}
};
