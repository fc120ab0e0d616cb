#include "model/AppSettings.h"
#include "ui/common/BannerFrame.h"
#include "ui/help/HelpContent.h"
#include "ui/help/HelpView.h"

#include <QKeySequence>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

class TestHelp : public QObject
{
    Q_OBJECT

private slots:
    // The version of the settings resource it is given.
    void versionLine()
    {
        AppSettings settings = AppSettings::fallback();
        settings.version = QStringLiteral("2.5");
        HelpView view(settings);
        QCOMPARE(view.findChild<QLabel *>(QStringLiteral("versionLabel"))->text(), QStringLiteral("Version 2.5"));
    }

    // Both warnings are there; the page fits the narrowest window's width and scrolls only downwards.
    void pageLayout()
    {
        HelpView view;
        view.resize(520, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QWidget *page = view.scrollArea()->widget();
        QCOMPARE(page->findChildren<BannerFrame *>().size(), 2);
        QVERIFY(page->width() <= view.scrollArea()->viewport()->width());
        QCOMPARE(view.scrollArea()->horizontalScrollBar()->maximum(), 0);
        QVERIFY(view.scrollArea()->verticalScrollBar()->maximum() > 0);
    }

    void textsKeepTheirLines_data()
    {
        const QString ctrlR = QKeySequence(Qt::CTRL | Qt::Key_R).toString(QKeySequence::NativeText);
        const QString ctrlQuestion = QKeySequence(Qt::CTRL | Qt::Key_Question).toString(QKeySequence::NativeText);
        const QChar ls = QChar::LineSeparator;
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("rendered");
        QTest::newRow("single break stays a line") << "• one\n• two" << QStringLiteral("• one") + ls + "• two";
        QTest::newRow("blank line stays a paragraph") << "a\n\nb" << "a\n\nb";
        QTest::newRow("shortcuts written natively")
            << "**⌘R** or ⌘?\n⌘, x" << "**" + ctrlR + "** or " + ctrlQuestion + ls
                   + QKeySequence(Qt::CTRL | Qt::Key_Comma).toString(QKeySequence::NativeText) + " x";
    }
    void textsKeepTheirLines()
    {
        QFETCH(QString, text);
        QFETCH(QString, rendered);
        QCOMPARE(HelpContent::renderable(text), rendered);
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help_widgets.moc"
