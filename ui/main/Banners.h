#pragma once

#include <QWidget>

class Scanner;

// The two notices below the panes, each under its divider and shown by the
// scanner's state: Full Disk Access is missing (a click opens its settings),
// and a removal left items behind (dismissable).
class Banners : public QWidget
{
    Q_OBJECT

public:
    static constexpr const char *fullDiskAccessUrl =
        "x-apple.systempreferences:com.apple.preference.security?Privacy_AllFiles";

    explicit Banners(Scanner &scanner, QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildFullDiskAccessBanner();
    QWidget *buildRemovalFailureBanner();
    void openFullDiskAccessSettings();

    Scanner &m_scanner;
    QWidget *m_fullDiskAccessBanner = nullptr;
};
