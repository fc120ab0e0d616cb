// Property lists from other programs' files: any bytes give a dictionary or nothing.
#include "FuzzSupport.h"

#include "platform/PropertyList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = Fuzz::bytes(data, size);
    // Our own files are read within bounds: any bytes give what fits or nothing,
    // and what fits can be written back and read whole. The limit cuts most inputs.
    const qint64 limit = input.size() / 2 + 1024;
    const PropertyList::BoundedRead bounded = PropertyList::fromDataBounded(input, limit, {16, 0, 256});
    if (bounded.values)
        FUZZ_CHECK(PropertyList::readsBackWhole(PropertyList::toXml(*bounded.values), limit, {16, 0, 256}));
    const auto dict = PropertyList::fromData(input);
    if (input.size() > PropertyList::maxFileSize)
        FUZZ_CHECK(!dict);
    if (!dict)
        return 0;
    // What was read can be written and read back.
    const QByteArray binary = PropertyList::toBinary(*dict);
    if (binary.size() <= PropertyList::maxFileSize)
        FUZZ_CHECK(PropertyList::fromData(binary).has_value());
    return 0;
}
