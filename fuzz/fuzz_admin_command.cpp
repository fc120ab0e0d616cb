// The administrator removal command: paths become shell words inside an AppleScript
// string. Checked against an independent reading of both languages, not only
// against the builder's own parser.
#include "FuzzSupport.h"

#include "core/engine/AdminCommand.h"

#include <algorithm>
#include <optional>

namespace {

// An AppleScript string literal starting at `pos`; on success `pos` is just past its closing quote.
std::optional<QString> readAppleScriptString(const QString &s, qsizetype &pos)
{
    if (pos >= s.size() || s.at(pos) != QLatin1Char('"'))
        return std::nullopt;
    QString out;
    for (qsizetype i = pos + 1; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == QLatin1Char('"')) {
            pos = i + 1;
            return out;
        }
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (++i >= s.size())
            return std::nullopt;
        // \n, \t and \r would read as other characters, anything else is not AppleScript.
        if (s.at(i) != QLatin1Char('\\') && s.at(i) != QLatin1Char('"'))
            return std::nullopt;
        out += s.at(i);
    }
    return std::nullopt;
}

// Words as a POSIX shell splits them. Any character the shell would act on outside
// quotes (expansion, globbing, redirection, a second command) makes it refuse.
std::optional<QStringList> shellWords(const QString &s)
{
    static const QString special = QStringLiteral("|&;<>()$`*?[]#~{}!\n\t\r\"");
    QStringList words;
    QString word;
    bool inWord = false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == QLatin1Char(' ')) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else if (c == QLatin1Char('\'')) {
            const qsizetype close = s.indexOf(QLatin1Char('\''), i + 1);
            if (close < 0)
                return std::nullopt;
            word += s.mid(i + 1, close - i - 1);
            inWord = true;
            i = close;
        } else if (c == QLatin1Char('\\')) {
            if (++i >= s.size() || s.at(i) == QLatin1Char('\n'))
                return std::nullopt;
            word += s.at(i);
            inWord = true;
        } else if (special.contains(c)) {
            return std::nullopt;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words << word;
    return words;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = Fuzz::bytes(data, size);
    // The first line names the application; the rest are paths separated by NUL.
    const qsizetype nameEnd = input.indexOf('\n');
    const QString appName = Fuzz::text(nameEnd < 0 ? QByteArray() : input.left(nameEnd));
    const QString pathText = Fuzz::text(nameEnd < 0 ? input : input.mid(nameEnd + 1));
    QStringList paths = pathText.split(QChar(0));
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    if (appName.contains(QChar(0)))
        return 0;

    const QString script = AdminCommand::script(paths, appName);

    // Independent reading: do shell script "<command>" with prompt "<prompt>" with administrator privileges
    const QString start = QStringLiteral("do shell script ");
    FUZZ_CHECK(script.startsWith(start));
    qsizetype pos = start.size();
    const auto command = readAppleScriptString(script, pos);
    FUZZ_CHECK(command.has_value());
    const QString middle = QStringLiteral(" with prompt ");
    FUZZ_CHECK(QStringView(script).mid(pos).startsWith(middle));
    pos += middle.size();
    const auto prompt = readAppleScriptString(script, pos);
    FUZZ_CHECK(prompt.has_value());
    FUZZ_CHECK(QStringView(script).mid(pos) == QLatin1String(" with administrator privileges"));
    FUZZ_CHECK(*prompt == AdminCommand::prompt(appName));

    const auto words = shellWords(*command);
    FUZZ_CHECK(words.has_value());
    FUZZ_CHECK(words->size() == paths.size() + 3);
    FUZZ_CHECK(words->mid(0, 3) == (QStringList{QStringLiteral("/bin/rm"), QStringLiteral("-rfv"), QStringLiteral("--")}));
    FUZZ_CHECK(words->mid(3) == paths);

    // The builder's own parser agrees.
    const auto parsed = AdminCommand::parse(script);
    FUZZ_CHECK(parsed.has_value());
    FUZZ_CHECK(parsed->paths == paths);
    FUZZ_CHECK(parsed->prompt == *prompt);

    // And it never crashes on text it did not make.
    AdminCommand::parse(Fuzz::text(input));
    return 0;
}
