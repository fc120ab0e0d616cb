#include "platform/PropertyList.h"
#include "platform/UserDefaults.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A store written here, with `count` short ignored IDs beside the settings.
QByteArray storeWithIDs(int count)
{
    QVariantList ids;
    for (int i = 0; i < count; ++i)
        ids << QStringLiteral("com.example.a%1").arg(i, 6, 10, QLatin1Char('0'));
    return PropertyList::toXml({{"ignoredBundleIDs", ids}, {"safeMode", false}, {"privacy.sentryEnabled", false}});
}

// Text made to be slow to walk: the store's size limit filled with `piece`.
QByteArray filled(const QByteArray &head, const QByteArray &piece)
{
    return head + piece.repeated((UserDefaults::maxFileSize - head.size()) / piece.size());
}

const QByteArray kHead = "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>k</key>";

void readStore(benchmark::State &state, const QByteArray &data)
{
    for (auto _ : state) {
        const PropertyList::BoundedRead read
            = PropertyList::fromDataBounded(data, UserDefaults::maxFileSize, UserDefaults::settingsRoom);
        benchmark::DoNotOptimize(read.values.has_value());
    }
    state.SetBytesProcessed(state.iterations() * data.size());
}

// 20,000 IDs read whole; 140,000 past the bounds, cut short.
void readIDs(benchmark::State &state)
{
    readStore(state, storeWithIDs(int(state.range(0))));
}

// Document types one after another: a declaration of another kind ends the read at once.
void readDeclarations(benchmark::State &state)
{
    readStore(state, filled(kHead, "<!DOCTYPE a [<!ENTITY b \"]>\">]>"));
}

void readNesting(benchmark::State &state)
{
    readStore(state, filled(kHead, "<array>"));
}

// A switch written into a store whose list fills it.
void writeSwitch(benchmark::State &state)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Quillmere.plist"));
    UserDefaults defaults(path);
    QStringList ids;
    for (int i = 0; i < 130000; ++i)
        ids << QStringLiteral("com.example.a%1").arg(i, 6, 10, QLatin1Char('0'));
    defaults.setStringList(QStringLiteral("ignoredBundleIDs"), ids);
    bool on = false;
    for (auto _ : state)
        defaults.setBool(QStringLiteral("privacy.sentryEnabled"), on = !on);
}

}

BENCHMARK(readIDs)->Arg(20000)->Arg(140000)->Unit(benchmark::kMillisecond);
BENCHMARK(readDeclarations)->Unit(benchmark::kMillisecond);
BENCHMARK(readNesting)->Unit(benchmark::kMillisecond);
BENCHMARK(writeSwitch)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
