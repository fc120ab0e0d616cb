#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace ScannerEngine {

// True for an absolute path with no empty, "." or ".." component and no NUL:
// "/Library/", "//Library" and "/Library/Caches/.." are not plain, because a
// string comparison would not see what they really name. "/" is plain.
bool isPlainPath(const QString &path);

}

// The administrator removal command: "/bin/rm -rfv -- " with the paths quoted
// for the shell, wrapped in an AppleScript "do shell script ... with
// administrator privileges". Building is pure; parsing it back is for tests and
// fuzzing and accepts exactly what the builder makes.
namespace AdminCommand {

// 'text' for the shell, every ' written as '\''.
QString shellQuoted(const QString &text);
// For an AppleScript string literal: \ becomes \\, then " becomes \".
QString appleScriptEscaped(const QString &text);

QString removalCommand(const QStringList &paths);
QString prompt(const QString &appName);
QString script(const QStringList &paths, const QString &appName);

struct Parsed
{
    QStringList paths;
    QString prompt;
};

// The paths and prompt of a script made by script(); nothing when the text is
// not of that exact form.
std::optional<Parsed> parse(const QString &script);
// The pieces again, one step at a time.
std::optional<QString> parseAppleScriptLiteralBody(const QString &escaped);
std::optional<QStringList> parseRemovalCommand(const QString &command);

}
