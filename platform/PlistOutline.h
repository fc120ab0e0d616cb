#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

#include <optional>
#include <vector>

// Where the top-level entries of an XML property list lie, found in one pass
// over its text without building anything and without recursion, so that a
// reader can keep what fits its bounds from a document too long or too deep
// to parse whole.
// Our own scan rather than QXmlStreamReader: the entries are handed on as
// slices of the original bytes (the reader counts decoded characters, not
// bytes), and the text may be cut anywhere, even inside a tag.
class PlistOutline
{
public:
    // What the parser would build from a piece of text: every "<" starts a
    // node, "<array" and "<dict" a container (text in comments only adds).
    struct Counts
    {
        qsizetype tags = 0;
        qsizetype containers = 0;
        qsizetype bytes = 0;
    };
    static Counts count(QByteArrayView text);

    struct Entry
    {
        QByteArrayView key;   // the whole key element
        QByteArrayView value; // the whole value element; empty for a list cut short by the end of the text
        QByteArrayView type;  // the value's element name
        QByteArrayView listStart; // a list's start tag
        // A list's elements in order, each with the text before it, so that
        // they follow one another (at most the `maxElements` given to `of`).
        std::vector<QByteArrayView> elements;
    };

    // Nothing for text whose first element is no dictionary (or a plist
    // holding one), whose tags do not pair up, or which ends early, unless it
    // is `cut`: the beginning of a longer text, which may end anywhere. Then
    // the entries finished before the end are kept, and a list's finished
    // elements.
    // Declarations, comments, character data and instructions are skipped as
    // XML skips them. Where the whole-file parser would end one elsewhere (it
    // knows double quotes only), or a declaration stands where none may,
    // `doubtful` is set as well: such a text is not to be read at all, lest
    // what lies inside a declaration be read as settings.
    static std::optional<PlistOutline> of(QByteArrayView text, bool cut, qsizetype maxElements,
                                          bool *doubtful = nullptr);

    // A whole property list, laid out as libplist writes one, of the entries
    // that fit within `bounds`: values without containers first, then whole
    // containers, the smallest first, then the leading elements of lists that
    // did not fit whole. Containers leave `spare` free for the values without
    // them, which may use it all.
    // `shortened` receives the keys of entries left out or cut short, as written.
    QByteArray fitted(Counts bounds, Counts spare, QStringList *shortened) const;

    std::vector<Entry> entries;
    // The dictionary's end tag was reached: nothing of it lies past the text.
    bool closed = false;
};
