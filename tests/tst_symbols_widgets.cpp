#include "ui/common/SymbolIcon.h"

#include <QApplication>
#include <QImage>
#include <QTest>

// A symbol the theme lacks would leave a blank button or row.
class TestSymbols : public QObject
{
    Q_OBJECT

private slots:
    void everySymbolDrawsSomething()
    {
        const auto inked = [](const QPixmap &pixmap) {
            const QImage image = pixmap.toImage();
            int count = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    count += qAlpha(image.pixel(x, y)) > 0;
            return count > 20;
        };
        QStringList blank;
        for (const QString &name : SymbolIcon::symbolNames()) {
            if (!inked(SymbolIcon::pixmap(name, 32, Qt::red)))
                blank << name;
        }
        if (!inked(SymbolIcon::appIcon().pixmap(32, 32)))
            blank << QStringLiteral("application icon");
        QVERIFY2(blank.isEmpty(), qPrintable(blank.join(QLatin1String(", "))));
    }
};

QTEST_MAIN(TestSymbols)
#include "tst_symbols_widgets.moc"
