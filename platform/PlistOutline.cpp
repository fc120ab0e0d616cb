#include "platform/PlistOutline.h"

#include <algorithm>
#include <numeric>

namespace {

// Doubtful: markup that XML and the whole-file parser would end at different
// places, or that neither allows.
enum class Kind { Start, End, Empty, Other, Doubtful };

struct Token
{
    Kind kind = Kind::Other;
    QByteArrayView name;
    qsizetype end = 0; // one past its ">"
};

bool endsName(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '>' || c == '/';
}

// The first of `stops` from `from` as XML finds it in a declaration: outside
// literals in single or double quotes. -1 when the text ends first.
qsizetype xmlStop(QByteArrayView text, qsizetype from, QByteArrayView stops)
{
    for (qsizetype i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"' || c == '\'') {
            i = text.indexOf(c, i + 1);
            if (i < 0)
                return -1;
        } else if (stops.contains(c)) {
            return i;
        }
    }
    return -1;
}

// The first place before `limit` where `stopsAt` holds, as the whole-file
// parser looks for the end of a declaration or an instruction: it skips text
// in double quotes only. -1 when there is none.
template<typename Stop>
qsizetype parserStop(QByteArrayView text, qsizetype from, qsizetype limit, Stop stopsAt)
{
    for (qsizetype i = from; i < limit; ++i) {
        if (text[i] == '"') {
            i = text.first(limit).indexOf('"', i + 1);
            if (i < 0)
                return -1;
        } else if (stopsAt(i)) {
            return i;
        }
    }
    return -1;
}

// One past the end of what starts at `from` and ends with `terminator`; -1 when the text ends first.
qsizetype pastNext(QByteArrayView text, qsizetype from, QByteArrayView terminator)
{
    const qsizetype found = text.indexOf(terminator, from);
    return found < 0 ? -1 : found + terminator.size();
}

qsizetype pastStop(qsizetype stop)
{
    return stop < 0 ? -1 : stop + 1;
}

// The "]" that ends an internal subset begun at `from`, read as XML reads one:
// declarations with their literals, comments, instructions and parameter
// entity references. -1 when the text ends first or holds what a subset cannot.
qsizetype subsetEnd(QByteArrayView text, qsizetype from)
{
    for (qsizetype i = from; i >= 0 && i < text.size();) {
        const QByteArrayView rest = text.sliced(i);
        if (rest.startsWith(']'))
            return i;
        if (rest.startsWith("<!--"))
            i = pastNext(text, i + 4, "-->");
        else if (rest.startsWith("<?"))
            i = pastNext(text, i + 2, "?>");
        else if (rest.startsWith("<!"))
            i = pastStop(xmlStop(text, i + 2, ">"));
        else if (rest.startsWith('<') || rest.startsWith('"') || rest.startsWith('\''))
            return -1;
        else
            ++i;
    }
    return -1;
}

// Markup that XML ends just before `xmlEnd` and the parser just before
// `parserEnd` (-1: not within the text): skipped where they agree.
std::optional<Token> skipped(qsizetype xmlEnd, qsizetype parserEnd)
{
    if (xmlEnd != parserEnd)
        return Token{Kind::Doubtful, {}, 0};
    if (xmlEnd < 0)
        return std::nullopt;
    return Token{Kind::Other, {}, xmlEnd};
}

// A document type declaration. A literal in it, or its internal subset, may
// hold anything, markup of a store too; the parser reads double quotes only,
// and ends the subset at the first "]>". No scan here passes the end XML finds
// (or, with none, the end of the text), so the walk stays linear.
std::optional<Token> doctypeAt(QByteArrayView text, qsizetype at)
{
    const qsizetype from = at + qsizetype(sizeof("<!DOCTYPE") - 1);
    const qsizetype open = xmlStop(text, from, "[>");
    const qsizetype parserOpen = parserStop(text, from, open < 0 ? text.size() : open + 1,
                                            [&](qsizetype i) { return text[i] == '[' || text[i] == '>'; });
    if (open < 0 || open != parserOpen || text[open] == '>')
        return skipped(pastStop(open), pastStop(parserOpen));
    qsizetype close = subsetEnd(text, open + 1);
    while (close >= 0 && close + 1 < text.size() && QByteArrayView(" \t\r\n").contains(text[close + 1]))
        ++close;
    const qsizetype end = close >= 0 && close + 1 < text.size() && text[close + 1] == '>' ? close + 2 : -1;
    const qsizetype parserClose = parserStop(text, open, end < 0 ? text.size() : end - 1,
                                             [&](qsizetype i) { return text.sliced(i).startsWith("]>"); });
    return skipped(end, parserClose < 0 ? -1 : parserClose + 2);
}

// The markup that begins with the "<" at `at`; nothing when the text ends inside it.
std::optional<Token> tokenAt(QByteArrayView text, qsizetype at)
{
    const QByteArrayView rest = text.sliced(at);
    const auto through = [&](QByteArrayView terminator, qsizetype from) -> std::optional<Token> {
        const qsizetype found = rest.indexOf(terminator, from);
        if (found < 0)
            return std::nullopt;
        return Token{Kind::Other, {}, at + found + terminator.size()};
    };
    if (rest.startsWith("<!--"))
        return through("-->", 4);
    if (rest.startsWith("<![CDATA["))
        return through("]]>", 9);
    if (rest.startsWith("<?")) {
        // XML ends an instruction at its first "?>"; the parser skips double quotes in it.
        const qsizetype end = pastNext(text, at + 2, "?>");
        const qsizetype parserClose = parserStop(text, at + 1, end < 0 ? text.size() : end - 1,
                                                 [&](qsizetype i) { return text.sliced(i).startsWith("?>"); });
        return skipped(end, parserClose < 0 ? -1 : parserClose + 2);
    }
    if (rest.startsWith("<!DOCTYPE"))
        return doctypeAt(text, at);
    if (rest.startsWith("<!")) {
        // Any other declaration belongs in a document type only.
        const bool cutShort = QByteArrayView("<!DOCTYPE").startsWith(rest) || QByteArrayView("<!--").startsWith(rest)
            || QByteArrayView("<![CDATA[").startsWith(rest);
        return cutShort ? std::nullopt : std::optional(Token{Kind::Doubtful, {}, 0});
    }
    const qsizetype nameStart = rest.startsWith("</") ? 2 : 1;
    qsizetype i = nameStart;
    while (i < rest.size() && !endsName(rest[i]))
        ++i;
    Token token;
    token.name = rest.sliced(nameStart, i - nameStart);
    char quote = 0;
    for (; i < rest.size(); ++i) {
        const char c = rest[i];
        if (quote)
            quote = c == quote ? 0 : quote;
        else if (c == '"' || c == '\'')
            quote = c;
        else if (c == '>')
            break;
    }
    if (i == rest.size())
        return std::nullopt;
    token.kind = nameStart == 2 ? Kind::End : rest[i - 1] == '/' ? Kind::Empty : Kind::Start;
    token.end = at + i + 1;
    return token;
}

// The elements still open. Names are kept (and end tags matched against them)
// only this deep: what lies deeper is never kept, so counting suffices there,
// and the memory stays small however deep the text nests.
class OpenElements
{
public:
    static constexpr qsizetype namedLevels = 4096;

    qsizetype depth() const { return m_depth; }

    void open(QByteArrayView name)
    {
        if (m_depth++ < namedLevels)
            m_names.push_back(name);
    }

    // False for an end tag that closes nothing or another element.
    bool close(QByteArrayView name)
    {
        if (m_depth == 0)
            return false;
        if (--m_depth < namedLevels) {
            if (m_names.back() != name)
                return false;
            m_names.pop_back();
        }
        return true;
    }

private:
    std::vector<QByteArrayView> m_names;
    qsizetype m_depth = 0;
};

PlistOutline::Counts operator+(PlistOutline::Counts a, PlistOutline::Counts b)
{
    return {a.tags + b.tags, a.containers + b.containers, a.bytes + b.bytes};
}

PlistOutline::Counts operator-(PlistOutline::Counts a, PlistOutline::Counts b)
{
    return {a.tags - b.tags, a.containers - b.containers, a.bytes - b.bytes};
}

bool within(PlistOutline::Counts a, PlistOutline::Counts b)
{
    return a.tags <= b.tags && a.containers <= b.containers && a.bytes <= b.bytes;
}

bool holdsContainers(const PlistOutline::Entry &entry)
{
    return entry.type == "array" || entry.type == "dict";
}

// The text of a key element, as written.
QString keyText(QByteArrayView key)
{
    const qsizetype from = key.indexOf('>') + 1;
    const qsizetype to = key.lastIndexOf('<');
    return to > from ? QString::fromUtf8(key.sliced(from, to - from)) : QString();
}

} // namespace

PlistOutline::Counts PlistOutline::count(QByteArrayView text)
{
    Counts counts{0, 0, text.size()};
    for (qsizetype at = text.indexOf('<'); at >= 0; at = text.indexOf('<', at + 1)) {
        ++counts.tags;
        const QByteArrayView name = text.sliced(at + 1);
        if (name.startsWith("array") || name.startsWith("dict"))
            ++counts.containers;
    }
    return counts;
}

std::optional<PlistOutline> PlistOutline::of(QByteArrayView text, bool cut, qsizetype maxElements, bool *doubtful)
{
    PlistOutline outline;
    OpenElements open;
    qsizetype rootLevel = -1; // the level of the root dictionary's entries
    enum { ExpectKey, InKey, ExpectValue, InValue } state = ExpectKey;
    Entry entry;
    qsizetype begin = 0, elementBegin = 0;
    for (qsizetype at = text.indexOf('<'); at >= 0 && !outline.closed; at = text.indexOf('<', at)) {
        const std::optional<Token> token = tokenAt(text, at);
        if (!token)
            break;
        if (token->kind == Kind::Doubtful) {
            if (doubtful)
                *doubtful = true;
            return std::nullopt;
        }
        const qsizetype tokenBegin = std::exchange(at, token->end);
        if (token->kind == Kind::Other)
            continue;
        if (token->name.isEmpty() || (token->kind == Kind::End && !open.close(token->name)))
            return std::nullopt;
        const qsizetype level = open.depth(); // where the element sits, 0 for the outermost
        if (token->kind == Kind::Start)
            open.open(token->name);
        const bool starts = token->kind != Kind::End;
        const bool ends = token->kind != Kind::Start;
        if (rootLevel < 0) {
            if (!starts || (token->name != "dict" && (token->name != "plist" || level > 0)))
                return std::nullopt;
            if (token->name == "dict") {
                rootLevel = level + 1;
                outline.closed = ends;
            }
        } else if (level < rootLevel) {
            outline.closed = true;
        } else if (level == rootLevel) {
            if (starts && state == ExpectKey) {
                if (token->name != "key")
                    return std::nullopt;
                begin = tokenBegin;
                state = InKey;
            } else if (starts) {
                begin = tokenBegin;
                entry.type = token->name;
                entry.listStart = text.sliced(begin, token->end - begin);
                elementBegin = token->end;
                state = InValue;
            }
            if (ends && state == InKey) {
                entry.key = text.sliced(begin, token->end - begin);
                state = ExpectValue;
            } else if (ends) {
                entry.value = text.sliced(begin, token->end - begin);
                outline.entries.push_back(std::exchange(entry, Entry()));
                state = ExpectKey;
            }
        } else if (level == rootLevel + 1 && ends && state == InValue && entry.type == "array") {
            if (qsizetype(entry.elements.size()) < maxElements)
                entry.elements.push_back(text.sliced(elementBegin, token->end - elementBegin));
            elementBegin = token->end;
        }
    }
    if (outline.closed)
        return state == ExpectKey ? std::optional(outline) : std::nullopt;
    if (!cut || rootLevel < 0)
        return std::nullopt;
    if (state == InValue && entry.type == "array")
        outline.entries.push_back(std::move(entry));
    return outline;
}

QByteArray PlistOutline::fitted(Counts bounds, Counts spare, QStringList *shortened) const
{
    static const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC "
                                   "\"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                   "<plist version=\"1.0\">\n<dict>\n";
    static const QByteArray tail = "</dict>\n</plist>\n";
    static const QByteArray beforeKey = "\t", beforeValue = "\n\t", afterValue = "\n", listEnd = "\n\t</array>";
    const Counts entryFrame = count(beforeKey) + count(beforeValue) + count(afterValue);
    Counts room = bounds - count(head) - count(tail);
    Counts containerRoom = room - spare;
    const auto take = [&](Counts cost, bool container) {
        if (!within(cost, room) || (container && !within(cost, containerRoom)))
            return false;
        room = room - cost;
        if (container)
            containerRoom = containerRoom - cost;
        return true;
    };

    std::vector<Counts> costs;
    for (const Entry &entry : entries)
        costs.push_back(entryFrame + count(entry.key) + count(entry.value));
    std::vector<size_t> order(entries.size());
    std::iota(order.begin(), order.end(), size_t(0));
    // The share of the bounds an entry takes, in the bound it takes most of.
    const auto share = [&bounds](Counts cost) {
        const auto part = [](qsizetype used, qsizetype bound) { return double(used) / double(std::max<qsizetype>(bound, 1)); };
        return std::max({part(cost.tags, bounds.tags), part(cost.containers, bounds.containers),
                         part(cost.bytes, bounds.bytes)});
    };
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return std::pair(holdsContainers(entries[a]), share(costs[a]))
            < std::pair(holdsContainers(entries[b]), share(costs[b]));
    });
    std::vector<bool> whole(entries.size(), false);
    for (size_t i : order)
        whole[i] = !entries[i].value.isEmpty() && take(costs[i], holdsContainers(entries[i]));

    std::vector<qsizetype> leading(entries.size(), -1);
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry &entry = entries[i];
        if (whole[i] || entry.type != "array"
            || !take(entryFrame + count(entry.key) + count(entry.listStart) + count(listEnd), true))
            continue;
        qsizetype n = 0;
        while (n < qsizetype(entry.elements.size()) && take(count(entry.elements[size_t(n)]), true))
            ++n;
        leading[i] = n;
    }

    QByteArray document = head;
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry &entry = entries[i];
        if (!whole[i] && shortened)
            shortened->append(keyText(entry.key));
        if (!whole[i] && leading[i] < 0)
            continue;
        document.append(beforeKey).append(entry.key).append(beforeValue);
        if (whole[i]) {
            document.append(entry.value);
        } else {
            document.append(entry.listStart);
            for (qsizetype n = 0; n < leading[i]; ++n)
                document.append(entry.elements[size_t(n)]);
            document.append(listEnd);
        }
        document.append(afterValue);
    }
    return document + tail;
}
