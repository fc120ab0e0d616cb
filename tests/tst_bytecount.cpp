#include "model/ByteCountFormatter.h"

#include <QtTest>

#include <limits>

class TestByteCount : public QObject
{
    Q_OBJECT
private slots:
    void fileStyle_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *tag, qint64 bytes, const char *expected,
                            const QLocale &locale = QLocale(QLocale::English, QLocale::UnitedStates)) {
            QTest::newRow(tag) << locale << bytes << QString::fromUtf8(expected);
        };
        row("zero", 0, "Zero KB");
        row("one byte", 1, "1 byte");
        row("KB rounds down", 1499, "1 KB");
        row("KB half rounds up", 1500, "2 KB");
        row("no grouping", 999'499, "999 KB");
        row("would be 1000 KB", 999'500, "1 MB");
        row("trailing zero dropped", 1'100'000'000, "1.1 GB");
        row("inner zero kept", 1'010'000'000, "1.01 GB");
        row("PB", 1'500'000'000'000'000, "1.5 PB");
        row("largest", std::numeric_limits<qint64>::max(), "9.22 EB");
        row("minus one byte", -1, "-1 byte");
        row("minus half rounds away", -1'250'000, "-1.3 MB");
        row("smallest", std::numeric_limits<qint64>::min(), "-9.22 EB");
        const QLocale german(QLocale::German, QLocale::Germany);
        row("German MB", 1'200'000, "1,2 MB", german);
    }
    void fileStyle()
    {
        QFETCH(QLocale, locale);
        QFETCH(qint64, bytes);
        QFETCH(QString, expected);
        QCOMPARE(ByteCountFormatter::string(bytes, locale), expected);
    }
};

QTEST_GUILESS_MAIN(TestByteCount)
#include "tst_bytecount.moc"
