#include "model/IsolatedText.h"

namespace {

constexpr char16_t kLeftToRightIsolate = 0x2066;
constexpr char16_t kRightToLeftIsolate = 0x2067;
constexpr char16_t kFirstStrongIsolate = 0x2068;
constexpr char16_t kPopDirectionalIsolate = 0x2069;
constexpr char16_t kReturnSymbol = 0x23CE;

} // namespace

bool isLineBreak(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f' || (c >= 0x1c && c <= 0x1e) || c == 0x85
        || c == 0x2028 || c == 0x2029;
}

QString isolatedText(QStringView text, Qt::LayoutDirection direction)
{
    if (text.isEmpty())
        return {};
    QString shown;
    shown.reserve(text.size() + 2);
    shown.append(QChar(direction == Qt::LeftToRight   ? kLeftToRightIsolate
                       : direction == Qt::RightToLeft ? kRightToLeftIsolate
                                                      : kFirstStrongIsolate));
    // A pop without its own opener would close ours; an opener without its pop
    // would take our closing one.
    int open = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (isLineBreak(c)) {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            shown.append(QChar(kReturnSymbol));
        } else if (c >= kLeftToRightIsolate && c <= kFirstStrongIsolate) {
            ++open;
            shown.append(QChar(c));
        } else if (c == kPopDirectionalIsolate) {
            if (open == 0)
                continue;
            --open;
            shown.append(QChar(c));
        } else {
            shown.append(QChar(c));
        }
    }
    shown.append(QString(open + 1, QChar(kPopDirectionalIsolate)));
    return shown;
}
