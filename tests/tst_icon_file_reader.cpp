#include "platform/IconFileReader.h"

#include <QtTest>

#include <QBuffer>

namespace {

constexpr qint64 MiB = 1024 * 1024;

// One block of an icon file: type, length (header included unless given), data.
QByteArray block(const char *type, const QByteArray &data, qint64 length = -1)
{
    QByteArray header(type, 4);
    header.resize(8);
    qToBigEndian(quint32(length < 0 ? 8 + data.size() : length), header.data() + 4);
    return header + data;
}

QByteArray icns(const QByteArray &entries, qint64 length = -1)
{
    return block("icns", entries, length);
}

// The start of a PNG: what the reader looks at, padded to `size` bytes.
QByteArray png(quint32 width, quint32 height, qint64 size = 33)
{
    QByteArray head("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
    head.resize(24);
    qToBigEndian(width, head.data() + 16);
    qToBigEndian(height, head.data() + 20);
    return head + QByteArray(size - head.size(), '\0');
}

// What the reader offers, in order, when no image decodes: "type" for a PNG,
// "type+mask" for a classic entry handed over with its mask.
QStringList offers(const QByteArray &file, int pixels)
{
    QByteArray bytes = file;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    IconFileReader reader(buffer, pixels);
    QStringList out;
    while (const auto image = reader.next()) {
        char type[4];
        qToBigEndian(image->type, type);
        QByteArray offer(type, 4);
        if (image->format == "icns") {
            const qint64 mask = 8 + qFromBigEndian<quint32>(image->data.constData() + 12);
            offer += mask < image->data.size() ? "+" + image->data.mid(mask, 4) : QByteArray();
        } else if (!image->data.startsWith("\x89PNG\r\n\x1a\n")) {
            offer += " (no PNG)";
        }
        out << QString::fromLatin1(offer);
    }
    return out;
}

QStringList onlyIf(bool condition, const QStringList &list)
{
    return condition ? list : QStringList();
}

} // namespace

class TestIconFileReader : public QObject
{
    Q_OBJECT

private slots:
    void offers_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<QStringList>("expected");
        const QByteArray small = block("ic11", png(32, 32)) + block("icp6", png(64, 64));
        QTest::newRow("drawn at 40: 64 before 32") << icns(small) << 40 << QStringList{"icp6", "ic11"};
        QTest::newRow("drawn just under 32") << icns(small) << 31 << QStringList{"ic11", "icp6"};
        QTest::newRow("drawn at 32") << icns(small) << 32 << QStringList{"ic11", "icp6"};
        QTest::newRow("drawn just past 32") << icns(small) << 33 << QStringList{"icp6", "ic11"};

        for (const quint32 side : {1023u, 1024u, 1025u}) {
            const bool fits = side <= 1024;
            QTest::addRow("PNG %u wide", side) << icns(block("ic10", png(side, 1024))) << 40 << onlyIf(fits, {"ic10"});
            QTest::addRow("PNG %u high", side) << icns(block("ic10", png(1024, side))) << 40 << onlyIf(fits, {"ic10"});
        }
        QTest::newRow("PNG 4294967295 squared") << icns(block("ic10", png(~0u, ~0u))) << 40 << QStringList();
        QTest::newRow("PNG 0 × 16") << icns(block("ic10", png(0, 16))) << 40 << QStringList();

        const QByteArray filler = block("icnV", QByteArray(4, '\0'));
        for (const int index : {63, 64, 65}) {
            QTest::addRow("PNG as entry %d", index)
                << icns(filler.repeated(index - 1) + block("ic07", png(128, 128))) << 40
                << onlyIf(index <= 64, {"ic07"});
        }
        for (const qint64 size : {4 * MiB - 1, 4 * MiB, 4 * MiB + 1}) {
            QTest::addRow("one PNG of 4 MiB %+lld", size - 4 * MiB)
                << icns(block("ic10", png(1024, 1024, size))) << 40 << onlyIf(size <= 4 * MiB, {"ic10"});
            QTest::addRow("3 MiB, then 1 MiB %+lld", size - 4 * MiB)
                << icns(block("ic09", png(512, 512, 3 * MiB)) + block("ic10", png(1024, 1024, size - 3 * MiB))) << 40
                << (size <= 4 * MiB ? QStringList{"ic09", "ic10"} : QStringList{"ic09"});
        }
        const QByteArray damaged = block("ic07", QByteArray("\x89PNG", 4).repeated(8));
        for (const int tries : {7, 8, 9}) {
            QTest::addRow("PNG as try %d", tries)
                << icns(damaged.repeated(tries - 1) + block("ic08", png(256, 256))) << 40 << onlyIf(tries <= 8, {"ic08"});
        }
        for (const qint64 size : {IconFileReader::maxClassicBytes, IconFileReader::maxClassicBytes + 1}) {
            const QByteArray mask = block("t8mk", QByteArray(size, '\xff'));
            QTest::addRow("classic of %lld with its mask", size)
                << icns(block("it32", QByteArray(size, '\0')) + mask) << 40
                << onlyIf(size <= IconFileReader::maxClassicBytes, {"it32+t8mk"});
            QTest::addRow("classic with a mask of %lld", size)
                << icns(mask + block("it32", QByteArray(64, '\0'))) << 40
                << QStringList(size <= IconFileReader::maxClassicBytes ? "it32+t8mk" : "it32");
        }

        // Whatever the entry's kind, a PNG is judged by its header and JPEG 2000 is
        // refused; only a genuine classic entry goes to the plug-in with its mask.
        const QByteArray jpeg2000 = QByteArray("\0\0\0\x0cjP  \r\n\x87\n", 12) + QByteArray(40, '\0');
        const QList<QPair<QByteArray, QByteArray>> kinds{{"is32", "s8mk"}, {"il32", "l8mk"}, {"ih32", "h8mk"},
                                                         {"it32", "t8mk"}, {"ic07", {}}};
        for (const auto &[kind, maskKind] : kinds) {
            const QByteArray mask = maskKind.isEmpty() ? QByteArray() : block(maskKind, QByteArray(256, '\xff'));
            const auto row = [&](const char *what, const QByteArray &data, const QStringList &expected) {
                QTest::addRow("%s holding %s", kind.constData(), what)
                    << icns(block(kind, data) + mask) << 40 << expected;
            };
            const QStringList drawn{QString::fromLatin1(kind)};
            row("a PNG of 1024 × 1024", png(1024, 1024), drawn);
            row("a PNG of 1025 × 1024", png(1025, 1024), {});
            row("a PNG of 1024 × 1025", png(1024, 1025), {});
            row("a PNG of 1000000 × 2", png(1000000, 2), {});
            row("JPEG 2000", jpeg2000, {});
            if (maskKind.isEmpty())
                continue;
            const QByteArray classic(64, '\0');
            row("classic data", classic, {QString::fromLatin1(kind + '+' + maskKind)});
            QTest::addRow("%s with a PNG as its mask", kind.constData())
                << icns(block(kind, classic) + block(maskKind, png(16, 16))) << 40 << drawn;
            QTest::addRow("%s with JPEG 2000 as its mask", kind.constData())
                << icns(block(kind, classic) + block(maskKind, jpeg2000)) << 40 << drawn;
        }

        const QByteArray good = block("ic08", png(256, 256));
        QTest::newRow("table claims 1.6 million entries")
            << icns(filler.repeated(10) + good, 8 + 12 * 1600000) << 40 << QStringList("ic08");
        QTest::newRow("table shorter than its entry") << icns(good, 20) << 40 << QStringList();
        QTest::newRow("entry past the end") << icns(block("ic08", png(256, 256), 8 + 34)) << 40 << QStringList();
        QTest::newRow("entry shorter than its header")
            << icns(block("ic08", png(256, 256), 4) + good) << 40 << QStringList();
        QTest::newRow("zero-length entry, then one") << icns(block("ic07", {}) + good) << 40 << QStringList("ic08");
        QTest::newRow("entry shorter than a PNG header")
            << icns(block("ic07", png(128, 128).left(23)) + filler) << 40 << QStringList();
        QTest::newRow("JPEG 2000 beside a PNG")
            << icns(block("ic08", QByteArray("\0\0\0\x0cjP  \r\n\x87\n", 12) + QByteArray(40, '\0'))
                    + block("ic09", png(512, 512)))
            << 40 << QStringList("ic09");
        QTest::newRow("no icon file") << png(128, 128) << 40 << QStringList();
    }
    // Which entries are offered, in which order, and which the caps keep back.
    void offers()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, pixels);
        QFETCH(QStringList, expected);
        QCOMPARE(::offers(file, pixels), expected);
    }
};

QTEST_GUILESS_MAIN(TestIconFileReader)
#include "tst_icon_file_reader.moc"
