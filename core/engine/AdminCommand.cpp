#include "core/engine/AdminCommand.h"

namespace {
const QString kRmPrefix = QStringLiteral("/bin/rm -rfv -- ");
const QString kScriptStart = QStringLiteral("do shell script \"");
const QString kPromptPart = QStringLiteral("\" with prompt \"");
const QString kScriptEnd = QStringLiteral("\" with administrator privileges");
}

bool ScannerEngine::isPlainPath(const QString &path)
{
    if (!path.startsWith(QLatin1Char('/')) || path.contains(QChar(0)))
        return false;
    if (path.size() == 1)
        return true;
    const QStringList parts = path.mid(1).split(QLatin1Char('/'));
    for (const QString &part : parts) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
    }
    return true;
}

QString AdminCommand::shellQuoted(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString AdminCommand::appleScriptEscaped(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return escaped;
}

QString AdminCommand::removalCommand(const QStringList &paths)
{
    QStringList quoted;
    quoted.reserve(paths.size());
    for (const QString &p : paths)
        quoted << shellQuoted(p);
    return kRmPrefix + quoted.join(QLatin1Char(' '));
}

QString AdminCommand::prompt(const QString &appName)
{
    return QStringLiteral("Quillmere needs administrator access to remove system-protected files for ") + appName
        + QLatin1Char('.');
}

QString AdminCommand::script(const QStringList &paths, const QString &appName)
{
    return kScriptStart + appleScriptEscaped(removalCommand(paths)) + kPromptPart
        + appleScriptEscaped(prompt(appName)) + kScriptEnd;
}

std::optional<QString> AdminCommand::parseAppleScriptLiteralBody(const QString &escaped)
{
    QString text;
    text.reserve(escaped.size());
    for (qsizetype i = 0; i < escaped.size(); ++i) {
        const QChar c = escaped.at(i);
        if (c == QLatin1Char('"'))
            return std::nullopt; // would end the literal
        if (c != QLatin1Char('\\')) {
            text += c;
            continue;
        }
        if (++i == escaped.size())
            return std::nullopt;
        const QChar next = escaped.at(i);
        if (next != QLatin1Char('\\') && next != QLatin1Char('"'))
            return std::nullopt; // \n, \t, \r would mean something else to AppleScript
        text += next;
    }
    return text;
}

std::optional<QStringList> AdminCommand::parseRemovalCommand(const QString &command)
{
    if (!command.startsWith(kRmPrefix))
        return std::nullopt;
    QStringList words;
    QString word;
    bool inWord = false;
    qsizetype i = kRmPrefix.size();
    while (i < command.size()) {
        const QChar c = command.at(i);
        if (c == QLatin1Char('\'')) {
            const qsizetype close = command.indexOf(QLatin1Char('\''), i + 1);
            if (close < 0)
                return std::nullopt;
            word += command.mid(i + 1, close - i - 1);
            inWord = true;
            i = close + 1;
        } else if (c == QLatin1Char('\\') && inWord && i + 1 < command.size()
                   && command.at(i + 1) == QLatin1Char('\'')) {
            word += QLatin1Char('\'');
            i += 2;
        } else if (c == QLatin1Char(' ') && inWord) {
            // exactly one blank between words, none at the end
            if (i + 1 >= command.size() || command.at(i + 1) != QLatin1Char('\''))
                return std::nullopt;
            words << word;
            word.clear();
            inWord = false;
            ++i;
        } else {
            return std::nullopt;
        }
    }
    if (!inWord)
        return std::nullopt;
    words << word;
    return words;
}

std::optional<AdminCommand::Parsed> AdminCommand::parse(const QString &script)
{
    if (!script.startsWith(kScriptStart) || !script.endsWith(kScriptEnd))
        return std::nullopt;
    const QString body = script.mid(kScriptStart.size(), script.size() - kScriptStart.size() - kScriptEnd.size());
    // The escaped literals hold no bare double quote, so the first separator is the real one.
    const qsizetype sep = body.indexOf(kPromptPart);
    if (sep < 0)
        return std::nullopt;
    const auto command = parseAppleScriptLiteralBody(body.left(sep));
    const auto promptText = parseAppleScriptLiteralBody(body.mid(sep + kPromptPart.size()));
    if (!command || !promptText)
        return std::nullopt;
    const auto paths = parseRemovalCommand(*command);
    if (!paths)
        return std::nullopt;
    return Parsed{*paths, *promptText};
}
