// Restore information of the Trash: the original path survives percent-encoding,
// and no path can add a line of its own to the information file.
#include "FuzzSupport.h"

#include "platform/Trash.h"

#include <QTimeZone>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = Fuzz::bytes(data, size);
    // Any text is a restore file someone may have left in the Trash.
    Trash::originalPath(input);

    // Paths come from the file system, decoded from UTF-8.
    const QString path = QString::fromUtf8(input);
    if (path.isEmpty())
        return 0;
    const QDateTime when(QDate(2024, 2, 29), QTime(23, 59, 58), Qt::UTC);
    const QByteArray info = Trash::infoText(path, when);
    FUZZ_CHECK(info.startsWith("[Trash Info]\nPath="));
    FUZZ_CHECK(info.endsWith("\nDeletionDate=2024-02-29T23:59:58\n"));
    FUZZ_CHECK(info.count('\n') == 3);
    FUZZ_CHECK(!info.contains('\0') && !info.contains('\r'));
    const auto decoded = Trash::originalPath(info);
    FUZZ_CHECK(decoded.has_value());
    FUZZ_CHECK(*decoded == path);
    return 0;
}
