// Property lists from other programs' files: any bytes give a dictionary or nothing.
#include "FuzzSupport.h"

#include "platform/PropertyList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = Fuzz::bytes(data, size);
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
