// Version ordering of the update feed against our own version.
#include "FuzzSupport.h"

#include "core/UpdateChecker.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = Fuzz::bytes(data, size);
    // Two versions, separated by the first NUL (or the middle of the input).
    qsizetype split = input.indexOf('\0');
    const bool hasSeparator = split >= 0;
    if (!hasSeparator)
        split = input.size() / 2;
    const QString a = Fuzz::text(input.left(split));
    const QString b = Fuzz::text(input.mid(split + (hasSeparator ? 1 : 0)));

    const int ab = UpdateChecker::compareVersions(a, b);
    const int ba = UpdateChecker::compareVersions(b, a);
    FUZZ_CHECK(ab >= -1 && ab <= 1);
    FUZZ_CHECK(ab == -ba);
    FUZZ_CHECK(UpdateChecker::compareVersions(a, a) == 0);
    FUZZ_CHECK(UpdateChecker::compareVersions(b, b) == 0);
    // Missing pieces count as zero: "1.2" is "1.2.0".
    FUZZ_CHECK(UpdateChecker::compareVersions(a + QStringLiteral(".0"), a) == 0);
    return 0;
}
