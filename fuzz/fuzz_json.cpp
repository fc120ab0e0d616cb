// JSON from the network (the update feed) and from the application's resources (settings).
#include "FuzzSupport.h"

#include "core/AppcastEntry.h"
#include "model/AppSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = Fuzz::bytes(data, size);

    QString error;
    const auto entry = AppcastEntry::fromJson(input, &error);
    // A refusal always says why; an accepted entry has its two required texts.
    FUZZ_CHECK(entry.has_value() == error.isEmpty());

    const AppSettings settings = AppSettings::decode(input);
    FUZZ_CHECK(!settings.version.isNull() && !settings.build.isNull());
    const AppSettings fallback = AppSettings::fallback();
    if (settings.version == fallback.version && settings.about.isEmpty())
        return 0;
    // Anything decoded came from one JSON object.
    FUZZ_CHECK(input.contains('{'));
    return 0;
}
