#include "model/ByteCountFormatter.h"

#include <QtTest>

#include <limits>

class TestByteCount : public QObject
{
    Q_OBJECT
private slots:
    void fileStyle_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << qint64(0) << "Zero KB";
        QTest::newRow("one byte") << qint64(1) << "1 byte";
        QTest::newRow("two bytes") << qint64(2) << "2 bytes";
        QTest::newRow("999 bytes") << qint64(999) << "999 bytes";
        QTest::newRow("1 KB") << qint64(1000) << "1 KB";
        QTest::newRow("KB rounds down") << qint64(1499) << "1 KB";
        QTest::newRow("KB half rounds up") << qint64(1500) << "2 KB";
        QTest::newRow("no grouping") << qint64(999'499) << "999 KB";
        QTest::newRow("would be 1000 KB") << qint64(999'500) << "1 MB";
        QTest::newRow("999,999 bytes") << qint64(999'999) << "1 MB";
        QTest::newRow("1 MB") << qint64(1'000'000) << "1 MB";
        QTest::newRow("1.2 MB") << qint64(1'200'000) << "1.2 MB";
        QTest::newRow("MB half rounds up") << qint64(1'050'000) << "1.1 MB";
        QTest::newRow("MB just below half") << qint64(1'049'999) << "1 MB";
        QTest::newRow("999.9 MB") << qint64(999'949'999) << "999.9 MB";
        QTest::newRow("would be 1000 MB") << qint64(999'950'000) << "1 GB";
        QTest::newRow("5 GB") << qint64(5'000'000'000) << "5 GB";
        QTest::newRow("1.23 GB") << qint64(1'234'567'890) << "1.23 GB";
        QTest::newRow("GB half rounds up") << qint64(1'235'000'000) << "1.24 GB";
        QTest::newRow("trailing zero dropped") << qint64(1'100'000'000) << "1.1 GB";
        QTest::newRow("inner zero kept") << qint64(1'010'000'000) << "1.01 GB";
        QTest::newRow("would be 1000 GB") << qint64(999'995'000'000) << "1 TB";
        QTest::newRow("2.5 TB") << qint64(2'500'000'000'000) << "2.5 TB";
        QTest::newRow("PB") << qint64(1'500'000'000'000'000) << "1.5 PB";
        QTest::newRow("largest") << std::numeric_limits<qint64>::max() << "9.22 EB";
        QTest::newRow("minus one byte") << qint64(-1) << "-1 byte";
        QTest::newRow("minus 1 KB") << qint64(-1000) << "-1 KB";
        QTest::newRow("minus half rounds away") << qint64(-1'250'000) << "-1.3 MB";
        QTest::newRow("smallest") << std::numeric_limits<qint64>::min() << "-9.22 EB";
    }
    void fileStyle()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, expected);
        QCOMPARE(ByteCountFormatter::string(bytes, QLocale(QLocale::English, QLocale::UnitedStates)), expected);
    }

    void decimalSeparatorOfTheLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("expected");
        const QLocale german(QLocale::German, QLocale::Germany);
        QTest::newRow("German MB") << german << qint64(1'200'000) << "1,2 MB";
        QTest::newRow("German GB") << german << qint64(1'234'567'890) << "1,23 GB";
        QTest::newRow("German no fraction") << german << qint64(999'999) << "1 MB";
        QTest::newRow("German KB no grouping") << german << qint64(123'456) << "123 KB";
        QTest::newRow("C") << QLocale::c() << qint64(1'200'000) << "1.2 MB";
    }
    void decimalSeparatorOfTheLocale()
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
