#include "TextSearch.h"

#include <QChar>

#include <algorithm>

namespace kivo {
namespace {

/// The code point that ends just before pos; 0 at the start.
char32_t CodePointBefore(QStringView text, qsizetype pos)
{
    if (pos <= 0)
        return 0;
    const QChar last = text[pos - 1];
    if (last.isLowSurrogate() && pos >= 2 && text[pos - 2].isHighSurrogate())
        return QChar::surrogateToUcs4(text[pos - 2], last);
    return last.unicode();
}

/// The code point that begins at pos; 0 at the end.
char32_t CodePointAt(QStringView text, qsizetype pos)
{
    if (pos >= text.size())
        return 0;
    const QChar first = text[pos];
    if (first.isHighSurrogate() && pos + 1 < text.size() && text[pos + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(first, text[pos + 1]);
    return first.unicode();
}

bool IsWordChar(char32_t c)
{
    return c != 0 && (QChar::isLetterOrNumber(c) || QChar::isMark(c) || c == U'_');
}

bool SharesScript(char32_t a, char32_t b)
{
    const QChar::Script sa = QChar::script(a);
    const QChar::Script sb = QChar::script(b);
    const auto shared = [](QChar::Script s) {
        return s == QChar::Script_Common || s == QChar::Script_Inherited;
    };
    return sa == sb || shared(sa) || shared(sb);
}

/// Whether a word boundary lies between the code points a and b.
bool IsBoundary(char32_t a, char32_t b)
{
    return !(IsWordChar(a) && IsWordChar(b) && SharesScript(a, b));
}

/// Whether pos lies between the two halves of a surrogate pair.
bool SplitsPair(QStringView text, qsizetype pos)
{
    return pos > 0 && pos < text.size() && text[pos - 1].isHighSurrogate() &&
           text[pos].isLowSurrogate();
}

bool Acceptable(QStringView text, qsizetype start, qsizetype length, const FindOptions &options)
{
    const qsizetype end = start + length;
    if (SplitsPair(text, start) || SplitsPair(text, end))
        return false;
    if (!options.wholeWord)
        return true;
    return IsBoundary(CodePointBefore(text, start), CodePointAt(text, start)) &&
           IsBoundary(CodePointBefore(text, end), CodePointAt(text, end));
}

} // namespace

qsizetype FindInText(QStringView text, QStringView what, qsizetype from, const FindOptions &options)
{
    if (what.isEmpty() || what.size() > text.size())
        return -1;
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (options.down) {
        for (qsizetype pos = std::max<qsizetype>(from, 0); pos <= text.size() - what.size();) {
            const qsizetype match = text.indexOf(what, pos, cs);
            if (match < 0)
                return -1;
            if (Acceptable(text, match, what.size(), options))
                return match;
            pos = match + 1;
        }
        return -1;
    }
    // Going up, the latest start whose match ends at or before from.
    for (qsizetype last = std::min(from, text.size()) - what.size(); last >= 0;) {
        const qsizetype match = text.lastIndexOf(what, last, cs);
        if (match < 0)
            return -1;
        if (Acceptable(text, match, what.size(), options))
            return match;
        last = match - 1;
    }
    return -1;
}

} // namespace kivo
