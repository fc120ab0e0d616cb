#include "core/engine/BackgroundTaskRecords.h"
#include "support/FakeMac.h"

#include <benchmark/benchmark.h>

namespace {

// A dump of `count` records shaped like the tool's own: indented key lines,
// a flag word in the type, and an executable for every tenth record.
QString makeDump(int count)
{
    QString dump;
    dump.reserve(qsizetype(count) * 260);
    for (int i = 0; i < count; ++i) {
        const QString n = QString::number(i);
        dump += QStringLiteral(" #") + n + QStringLiteral(":\n");
        dump += QStringLiteral("    UUID: 6F1C2A7E-0000-4000-8000-") + n.rightJustified(12, QLatin1Char('0'))
            + QLatin1Char('\n');
        dump += QStringLiteral("    Name: Tool ") + n + QLatin1Char('\n');
        dump += QStringLiteral("    Developer Name: Example Corp\n");
        dump += QStringLiteral("    Type: login item (0x4)\n");
        dump += QStringLiteral("    Disposition: [enabled, allowed, visible, notified] (0xb)\n");
        dump += QStringLiteral("    Identifier: com.example.tool") + n + QLatin1Char('\n');
        dump += QStringLiteral("    Parent Identifier: ABCDE12345.com.example.suite") + QString::number(i % 100)
            + QLatin1Char('\n');
        dump += i % 10 == 0 ? QStringLiteral("    Executable: /Applications/Tool.app/Contents/MacOS/tool\n")
                            : QStringLiteral("    Executable: missing value\n");
    }
    return dump;
}

void parseDump(benchmark::State &state)
{
    FakeMac mac;
    mac.createFileOfSize(QStringLiteral("/Applications/Tool.app/Contents/MacOS/tool"), 4096);
    const QString dump = makeDump(int(state.range(0)));
    const QSet<QString> installed{QStringLiteral("com.example.suite7"), QStringLiteral("com.example.other")};
    for (auto _ : state) {
        const QList<LeftoverItem> items = ScannerEngine::parseBTMDump(dump, installed, mac.roots());
        benchmark::DoNotOptimize(items.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * dump.size() * qsizetype(sizeof(QChar)));
}

}

BENCHMARK(parseDump)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
