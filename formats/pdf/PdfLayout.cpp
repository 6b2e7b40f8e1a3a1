#include "PdfLayout.h"

#include "Utf8.h"

#include <algorithm>
#include <map>
#include <regex>
#include <set>

namespace kivo::pdf {

namespace {

// Within a line, in ems of the larger font.
constexpr double kSpaceGap = 0.2;        // a gap this wide reads as a space even when not reported
constexpr double kIdeographicGap = 0.75; // between Japanese characters: an ideographic space
constexpr double kCellGap = 2.5;         // without a space: the next table cell
constexpr double kWideCellGap = 6.0;     // even with a space: justified words are never this far
constexpr double kBackStep = 0.5;        // a box may start this far left of the last one's end
// Between lines.
constexpr double kIndent = 0.5;        // a next line starting this much further right is indented
constexpr double kCellStart = 3.0;     // a line starting this much further right than the next
                                       // one is a table cell, not a line of the next one's text
constexpr double kShortSlack = 0.3;    // room at a line's end beyond the next first word
constexpr double kBlankLine = 1.25;    // a line pitch this many times the usual: a blank gap
constexpr double kFallbackPitch = 1.5; // ems: the usual pitch of a page too sparse to tell
constexpr double kEdgeWindow = 2.0;    // the right edge is looked for this close to the farthest
constexpr double kEdgeTolerance = 1.5; // points: line ends this close count as one edge
// Running heads and footers: the band of the page they stand in, as a share of its height.
constexpr double kBand = 0.125;
constexpr char32_t kIdeographicSpace = 0x3000;
// "Page 12345 of 12345" and the like, with room for full-width forms and dashes.
constexpr std::size_t kMostPageNumberBytes = 48;

/// Japanese writing (kana, kanji, full-width forms, half-width katakana), which is broken into
/// lines anywhere and written without spaces.
bool IsJapanese(char32_t c)
{
    return c >= 0x2E80;
}

bool IsLatinLetter(char32_t c)
{
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= 0xC0 && c < 0x250);
}

char32_t FirstChar(std::string_view text)
{
    std::size_t pos = 0;
    char32_t c = 0;
    return !text.empty() && utf8::Decode(text, pos, c) ? c : 0;
}

/// The character that ends text[0, end) and where it starts; U+FFFD for bytes that are no UTF-8.
char32_t CharBefore(std::string_view text, std::size_t &end)
{
    std::size_t start = end - 1;
    while (start > 0 && end - start < 4 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
        --start;
    std::size_t pos = start;
    char32_t c = 0;
    if (!utf8::Decode(text.substr(0, end), pos, c) || pos != end) {
        start = end - 1;
        c = 0xFFFD;
    }
    end = start;
    return c;
}

/// The last character of text, and the one before it (0 where there is none). Looks at the end
/// only: a line grows by a word at a time and is asked this each time.
std::pair<char32_t, char32_t> LastChars(std::string_view text)
{
    std::size_t end = text.size();
    const char32_t last = end > 0 ? CharBefore(text, end) : 0;
    const char32_t before = end > 0 ? CharBefore(text, end) : 0;
    return {before, last};
}

std::size_t CharCount(std::string_view text)
{
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char b) {
        return (static_cast<unsigned char>(b) & 0xC0) != 0x80;
    }));
}

double Height(const Box &b)
{
    return b.bottom - b.top;
}

bool OnSameLine(const Box &last, const Box &next, double em)
{
    const double overlap = std::min(last.bottom, next.bottom) - std::max(last.top, next.top);
    return overlap >= 0.5 * std::min(Height(last), Height(next)) &&
           next.left >= last.right - kBackStep * em;
}

double FirstUnit(const Box &box)
{
    const double width = box.right - box.left;
    if (!IsJapanese(FirstChar(box.text)))
        return width;
    return width / static_cast<double>(std::max<std::size_t>(1, CharCount(box.text)));
}

Line StartLine(const Box &box)
{
    return {box.text, box.left, box.top, box.right, box.bottom, box.em, FirstUnit(box)};
}

double Center(const Line &line)
{
    return (line.top + line.bottom) / 2;
}

/// What joins two lines of one paragraph.
std::string_view Joint(const Line &above, const Line &below)
{
    const auto [before, last] = LastChars(above.text);
    const char32_t first = FirstChar(below.text);
    if ((last == U'-' || last == 0x2010) && IsLatinLetter(before) && IsLatinLetter(first))
        return {};
    if (!IsJapanese(last) && !IsJapanese(first))
        return " ";
    return {};
}

/// The text's right edge: where most of the lines that reach farthest end, so that a line whose
/// punctuation hangs over the edge does not move it.
double RightEdge(const std::vector<const Line *> &lines)
{
    if (lines.empty())
        return 0;
    double farthest = 0;
    double em = 0;
    for (const Line *line : lines) {
        if (line->right > farthest) {
            farthest = line->right;
            em = line->em;
        }
    }
    std::vector<double> ends;
    for (const Line *line : lines) {
        if (line->right >= farthest - kEdgeWindow * std::max(em, line->em))
            ends.push_back(line->right);
    }
    std::sort(ends.begin(), ends.end());
    double edge = ends.back();
    std::size_t most = 0;
    std::size_t from = 0;
    for (std::size_t to = 0; to < ends.size(); ++to) {
        while (ends[to] - ends[from] > kEdgeTolerance)
            ++from;
        if (to - from + 1 >= most) {
            most = to - from + 1;
            edge = ends[from];
        }
    }
    return edge;
}

/// The usual distance between the centres of two lines of a paragraph on a page.
double UsualPitch(const std::vector<const Line *> &lines)
{
    std::vector<double> pitches;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const double pitch = Center(*lines[i]) - Center(*lines[i - 1]);
        const double em = std::max(lines[i]->em, lines[i - 1]->em);
        if (pitch > 0.5 * em && pitch < 2 * em)
            pitches.push_back(pitch);
    }
    if (pitches.empty())
        return 0;
    // The lower median: of two pitches, the smaller is the usual one.
    const std::size_t middle = (pitches.size() - 1) / 2;
    std::nth_element(pitches.begin(), pitches.begin() + static_cast<std::ptrdiff_t>(middle),
                     pitches.end());
    return pitches[middle];
}

/// Whether a paragraph ends between two lines that follow each other (on one page, or the last
/// of a page and the first of the next, with pitch 0).
bool EndsParagraph(const Line &above, const Line &below, double edge, double pitch, bool samePage)
{
    const double em = std::max(above.em, below.em);
    if (samePage) {
        const double distance = Center(below) - Center(above);
        if (distance < 0.5 * std::min(above.bottom - above.top, below.bottom - below.top))
            return true; // beside or above: a table cell, a new column
        // Without lines close enough to tell the usual pitch, a line and a half of the larger
        // font stands for it.
        const double usual = pitch > 0 ? pitch : kFallbackPitch * em;
        if (distance > kBlankLine * usual)
            return true;
    }
    if (below.left > above.left + kIndent * em || above.left > below.left + kCellStart * em)
        return true;
    return edge - above.right > below.firstUnit + kShortSlack * em;
}

/// Digits, spaces and ideographic spaces taken out: a running head's text whatever its page.
std::string RunningKey(std::string_view text)
{
    std::string key;
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t c = 0;
        if (!utf8::Decode(text, pos, c)) {
            ++pos;
            continue;
        }
        if ((c >= U'0' && c <= U'9') || (c >= 0xFF10 && c <= 0xFF19) || c == U' ' ||
            c == kIdeographicSpace)
            continue;
        utf8::Append(key, c);
    }
    return key;
}

enum class Band { None, Top, Bottom };

Band BandOf(const Line &line, const Page &page)
{
    if (page.height <= 0)
        return Band::None;
    if (line.bottom <= kBand * page.height)
        return Band::Top;
    if (line.top >= (1 - kBand) * page.height)
        return Band::Bottom;
    return Band::None;
}

/// The lines of each page that are not running heads, footers or page numbers.
std::vector<std::vector<const Line *>> BodyLines(const std::vector<Page> &pages, bool keepAll)
{
    std::vector<std::vector<const Line *>> body(pages.size());
    std::map<std::pair<Band, std::string>, std::set<std::size_t>> recurring;
    if (!keepAll) {
        for (std::size_t p = 0; p < pages.size(); ++p) {
            for (const Line &line : pages[p].lines) {
                const Band band = BandOf(line, pages[p]);
                if (band != Band::None)
                    recurring[{band, RunningKey(line.text)}].insert(p);
            }
        }
    }
    for (std::size_t p = 0; p < pages.size(); ++p) {
        for (const Line &line : pages[p].lines) {
            const Band band = keepAll ? Band::None : BandOf(line, pages[p]);
            if (band != Band::None) {
                if (IsPageNumber(line.text))
                    continue;
                const std::size_t count = recurring[{band, RunningKey(line.text)}].size();
                if (count >= 2 && 2 * count >= pages.size())
                    continue;
            }
            body[p].push_back(&line);
        }
    }
    return body;
}

} // namespace

std::vector<Line> BuildLines(const std::vector<Box> &boxes)
{
    std::vector<Line> lines;
    const Box *last = nullptr;
    for (const Box &box : boxes) {
        if (box.text.empty())
            continue;
        if (last && !lines.empty()) {
            const double em = std::max(last->em, box.em);
            const double gap = box.left - last->right;
            const bool cell = gap > kWideCellGap * em || (!last->spaceAfter && gap > kCellGap * em);
            if (OnSameLine(*last, box, em) && !cell) {
                Line &line = lines.back();
                const bool japanese =
                    IsJapanese(LastChars(line.text).second) && IsJapanese(FirstChar(box.text));
                if (japanese && gap >= kIdeographicGap * em)
                    utf8::Append(line.text, kIdeographicSpace);
                else if (last->spaceAfter || gap >= kSpaceGap * em)
                    line.text += ' ';
                line.text += box.text;
                line.left = std::min(line.left, box.left);
                line.right = std::max(line.right, box.right);
                line.top = std::min(line.top, box.top);
                line.bottom = std::max(line.bottom, box.bottom);
                line.em = std::max(line.em, box.em);
                last = &box;
                continue;
            }
        }
        lines.push_back(StartLine(box));
        last = &box;
    }
    return lines;
}

bool IsPageNumber(std::string_view utf8Text)
{
    // Longer lines are never page numbers, and the pattern matcher recurses per character.
    if (utf8Text.size() > kMostPageNumberBytes)
        return false;
    // Full-width digits and letters become ASCII, letters lower case, spaces go.
    std::string plain;
    std::size_t pos = 0;
    while (pos < utf8Text.size()) {
        char32_t c = 0;
        if (!utf8::Decode(utf8Text, pos, c))
            return false;
        if (c >= 0xFF01 && c <= 0xFF5E)
            c -= 0xFEE0;
        if (c == U' ' || c == kIdeographicSpace || c == U'\t')
            continue;
        if (c >= U'A' && c <= U'Z')
            c += U'a' - U'A';
        utf8::Append(plain, c);
    }
    static const std::regex kPageNumber("(?:-|‐|–|—|―|~|〜)*"
                                        "(?:page|pp?\\.?|第)?"
                                        "(?:[0-9]{1,5}|[ivxlc]{1,7})"
                                        "(?:頁|ページ)?"
                                        "(?:(?:/|of)[0-9]{1,5}(?:頁|ページ)?)?"
                                        "(?:-|‐|–|—|―|~|〜)*");
    return !plain.empty() && std::regex_match(plain, kPageNumber);
}

std::string JoinPages(const std::vector<Page> &pages, bool keepRunningHeads)
{
    const std::vector<std::vector<const Line *>> body = BodyLines(pages, keepRunningHeads);
    std::vector<const Line *> all;
    for (const auto &lines : body)
        all.insert(all.end(), lines.begin(), lines.end());
    const double edge = RightEdge(all);

    std::string text;
    const Line *above = nullptr;
    for (const auto &lines : body) {
        const double pitch = UsualPitch(lines);
        bool samePage = false;
        for (const Line *line : lines) {
            if (above) {
                if (EndsParagraph(*above, *line, edge, pitch, samePage))
                    text += '\n';
                else
                    text += Joint(*above, *line);
            }
            text += line->text;
            above = line;
            samePage = true;
        }
    }
    return text;
}

} // namespace kivo::pdf
