#pragma once

#include <QDialog>

class AppLogger;
class LogEntriesModel;
class QListView;
class QPushButton;
class QStackedWidget;

// The log sheet: the log's in-memory lines, following the newest one, with
// "Clear" (the file keeps every line) and "Close".
class LogView : public QDialog
{
    Q_OBJECT

public:
    explicit LogView(AppLogger &logger, QWidget *parent = nullptr);

    void clearLog();
    void closeLog();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void refresh();
    void scrollToLastEntry();
    // The selected lines, exactly as logged, one per line.
    void copySelection();

    AppLogger &m_logger;
    LogEntriesModel *m_model;
    QListView *m_list;
    QPushButton *m_clearButton;
    QStackedWidget *m_content;
    int m_shownCount = 0;
};
