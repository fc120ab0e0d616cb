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
        row("1 KB", 1000, "1 KB");
        row("KB rounds down", 1499, "1 KB");
        row("KB half rounds up", 1500, "2 KB");
        row("no grouping", 999'499, "999 KB");
        row("would be 1000 KB", 999'500, "1 MB");
        row("1.2 MB", 1'200'000, "1.2 MB");
        row("MB half rounds up", 1'050'000, "1.1 MB");
        row("MB just below half", 1'049'999, "1 MB");
        row("999.9 MB", 999'949'999, "999.9 MB");
        row("would be 1000 MB", 999'950'000, "1 GB");
        row("1.23 GB", 1'234'567'890, "1.23 GB");
        row("GB half rounds up", 1'235'000'000, "1.24 GB");
        row("trailing zero dropped", 1'100'000'000, "1.1 GB");
        row("inner zero kept", 1'010'000'000, "1.01 GB");
        row("would be 1000 GB", 999'995'000'000, "1 TB");
        row("PB", 1'500'000'000'000'000, "1.5 PB");
        row("largest", std::numeric_limits<qint64>::max(), "9.22 EB");
        row("minus one byte", -1, "-1 byte");
        row("minus half rounds away", -1'250'000, "-1.3 MB");
        row("smallest", std::numeric_limits<qint64>::min(), "-9.22 EB");
        const QLocale german(QLocale::German, QLocale::Germany);
        row("German MB", 1'200'000, "1,2 MB", german);
        row("German GB", 1'234'567'890, "1,23 GB", german);
    }
    void fileStyle()
    {
        QFETCH(QLocale, locale);
        QFETCH(qint64, bytes);
        QFETCH(QString, expected);
        QCOMPARE(ByteCountFormatter::string(bytes, locale), expected);
    }

    void defaultLocaleIsUsed()
    {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QString text = ByteCountFormatter::string(1'200'000);
        QLocale::setDefault(saved);
        QCOMPARE(text, QStringLiteral("1,2 MB"));
    }
};

QTEST_GUILESS_MAIN(TestByteCount)
#include "tst_bytecount.moc"
