#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// Every target defines the libFuzzer entry point; the replay main calls it for each corpus file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

// A broken property is a finding: abort so that libFuzzer saves the input and the replay test fails.
#define FUZZ_CHECK(condition)                                                                          \
    do {                                                                                               \
        if (!(condition)) {                                                                            \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                              \
        }                                                                                              \
    } while (false)

namespace Fuzz {

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Text from the input. A first byte of 0xFF reads the rest as raw UTF-16, so that
// unpaired surrogates and other text no UTF-8 decoder makes are reached too.
inline QString text(const QByteArray &input)
{
    if (input.startsWith('\xff')) {
        QString result((input.size() - 1) / 2, Qt::Uninitialized);
        std::memcpy(result.data(), input.constData() + 1, size_t(result.size()) * 2);
        return result;
    }
    return QString::fromUtf8(input);
}

}
