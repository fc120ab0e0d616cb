#pragma once

#include <QByteArray>
#include <QString>

// Tests run as root, and root may write anywhere. A test that needs a denial
// runs itself again as the user nobody.
namespace Unprivileged {

bool runningAsRoot();
// Runs `testFunction` of this test executable as nobody; returns its exit
// status (0: passed) and its output in *output.
int rerun(const QString &testFunction, QByteArray *output);

}
