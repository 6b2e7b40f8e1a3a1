#include "RtfReader.h"

#include "FileReason.h"
#include "RtfCodePage.h"
#include "RtfKeywords.h"
#include "Utf8.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>

namespace kivo::rtf {

namespace {

constexpr std::string_view kSignature = "{\\rtf";
constexpr std::size_t kMaxWordLength = 32;   // longer control words are read but not known
constexpr std::size_t kMaxParamDigits = 10;  // later digits are read but do not count
constexpr int kMaxUnicodeSkip = 255;         // \ucN above this skips no more
constexpr int kMaxHalfPoints = 3276;         // 1638 points, the largest size word processors set
constexpr std::size_t kMaxFaceBytes = 256;   // a font name beyond this is cut
constexpr std::size_t kMaxTableEntries = 65536; // fonts and colours each
constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kHighFirst = 0xD800;
constexpr char32_t kLowFirst = 0xDC00;
constexpr char32_t kSurrogateEnd = 0xE000;

/// Where the text of a group goes.
enum class Destination { Text, Skip, FontTable, ColorTable, Upr };

/// Which of the two sets of character properties applies to the text: the associated ones
/// (\ab, \ai, \af, \afs) belong to double-byte and right-to-left text.
enum class RunType { Low, High, Double, RightToLeft, LeftToRight };

/// The state that a group inherits from its parent and that its end restores.
struct GroupState {
    Destination destination = Destination::Text;
    Destination beforeUpr = Destination::Text; ///< where \ud text goes inside \upr
    RunType runType = RunType::Low;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool assocBold = false;
    bool assocItalic = false;
    bool hidden = false;
    int font = -1; ///< -1: the default font
    int assocFont = -1;
    int color = 0; ///< index into the colour table; 0 is the automatic colour
    int halfPoints = 0;
    int assocHalfPoints = 0;
    int unicodeSkip = 1;
};

struct Font {
    std::string name; ///< UTF-8
    int charSet = 1;
    int codePage = 0; ///< \cpgN; 0 when not given
};

int Clamp(std::int64_t value, int low, int high)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, low, high));
}

bool IsHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c)
{
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

class Reader {
public:
    Reader(std::string_view rtf, Cp932Codec &codec, const RunSink &sink)
        : m_in(rtf), m_decoder(codec), m_sink(sink), m_most(MostProducedBytes(rtf.size()))
    {}

    ReadNotes ReadAll();

private:
    void OpenGroup();
    void CloseGroup();
    void ControlSequence();
    void ControlWord(std::string_view word, bool hasParam, std::int64_t param);
    void EnterDestination(Keyword keyword);
    void TextByte(char byte);
    void CodePoint(char32_t c);
    void Emit(std::string_view utf8);
    void FlushBytes();
    void EndTableCell(bool row);
    void EndFontEntry();
    void EndColorEntry();
    void AppendText(std::string_view utf8, const Format &format);
    /// Hands m_last on, unless that would take the document past what it may produce.
    void Hand();
    int CodePageOf(int fontNumber) const;
    Format CurrentFormat() const;
    bool TakesText() const;

    std::string_view m_in;
    std::size_t m_pos = 0;
    bool m_done = false;
    CodePageDecoder m_decoder;

    std::vector<GroupState> m_stack; ///< the states of the enclosing groups
    GroupState m_state;
    std::size_t m_tooDeep = 0; ///< groups opened beyond kMaxGroupDepth and not yet closed
    bool m_starred = false;    ///< the last token was \*
    int m_skip = 0;            ///< fallback characters of a \uN still to skip

    std::string m_bytes;        ///< text bytes not yet decoded
    char32_t m_highSurrogate = 0;
    int m_codePage = kCodePageWestern;
    int m_defaultFont = 0; // \deffN; font 0 without one

    std::map<int, Font> m_fonts;
    int m_fontDefined = -1;   ///< the font table entry being read
    std::string m_fontName;   ///< its name so far, UTF-8
    std::vector<std::optional<ColorRef>> m_colors;
    int m_red = -1, m_green = -1, m_blue = -1; ///< the colour table entry being read

    const RunSink &m_sink;
    /// The last run, held back because later text in its format extends it, and because the
    /// end of a table row or of the document may still change its last character. Empty text:
    /// there is none yet.
    TextRun m_last;
    std::uintmax_t m_most;         ///< the most text and formatting handed over
    std::uintmax_t m_produced = 0; ///< handed over so far, each run counted with its format
    bool m_tooMuch = false;
};

ReadNotes Reader::ReadAll()
{
    while (m_pos < m_in.size() && !m_done) {
        const char c = m_in[m_pos];
        switch (c) {
        case '{':
            ++m_pos;
            OpenGroup();
            break;
        case '}':
            ++m_pos;
            CloseGroup();
            break;
        case '\\':
            ControlSequence();
            break;
        case '\r':
        case '\n':
            ++m_pos;
            break;
        default:
            ++m_pos;
            if (m_skip > 0) {
                --m_skip;
                break;
            }
            m_starred = false;
            TextByte(c);
            break;
        }
    }
    FlushBytes();
    if (m_highSurrogate != 0)
        CodePoint(kReplacement);
    // The paragraph mark of the last paragraph is the end of the text, not an empty paragraph.
    if (m_last.text.ends_with(kParagraphBreak))
        m_last.text.pop_back();
    if (!m_last.text.empty())
        Hand();
    m_last = {};
    // The outermost group closed sets m_done; a document read to its last byte without that
    // was cut short (or never finished).
    return {.endsEarly = !m_done, .tooMuch = m_tooMuch};
}

void Reader::Hand()
{
    if (m_tooMuch)
        return;
    const std::uintmax_t cost = m_last.text.size() + sizeof(TextRun) + m_last.format.face.size();
    if (cost > m_most - m_produced) {
        m_tooMuch = true;
        m_done = true; // nothing more is read
        return;
    }
    m_produced += cost;
    m_sink(m_last);
}

void Reader::AppendText(std::string_view utf8, const Format &format)
{
    if (utf8.empty())
        return;
    if (!m_last.text.empty()) {
        if (m_last.format == format) {
            m_last.text += utf8;
            return;
        }
        Hand();
    }
    m_last.text.assign(utf8);
    m_last.format = format;
}

void Reader::OpenGroup()
{
    FlushBytes();
    m_skip = 0;
    m_starred = false;
    if (m_stack.size() >= kMaxGroupDepth) {
        ++m_tooDeep;
        return;
    }
    m_stack.push_back(m_state);
}

void Reader::CloseGroup()
{
    FlushBytes();
    m_skip = 0;
    m_starred = false;
    if (m_tooDeep > 0) {
        --m_tooDeep;
        return;
    }
    if (m_state.destination == Destination::FontTable && m_fontDefined >= 0)
        EndFontEntry(); // an entry whose name lacks its ';'
    if (m_stack.empty()) {
        m_done = true; // the outermost group is closed: the document ends here
        return;
    }
    m_state = m_stack.back();
    m_stack.pop_back();
    if (m_stack.empty())
        m_done = true;
}

void Reader::ControlSequence()
{
    ++m_pos; // the backslash
    if (m_pos >= m_in.size())
        return;
    const char c = m_in[m_pos];
    const bool isLetter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!isLetter) {
        ++m_pos;
        std::optional<char> byte;
        if (c == '\'') {
            if (m_pos < m_in.size() && IsHex(m_in[m_pos])) {
                int value = HexValue(m_in[m_pos++]);
                if (m_pos < m_in.size() && IsHex(m_in[m_pos])) {
                    value = value * 16 + HexValue(m_in[m_pos++]);
                    byte = static_cast<char>(value);
                }
            }
            if (!byte)
                return; // truncated: nothing to read
        }
        if (m_skip > 0) {
            --m_skip;
            return;
        }
        m_starred = false;
        switch (c) {
        case '\'':
        case '\\':
        case '{':
        case '}':
            TextByte(byte.value_or(c));
            break;
        case '*':
            m_starred = true;
            break;
        case '~':
            CodePoint(0x00A0);
            break;
        case '_':
            CodePoint(0x2011);
            break;
        case '\r':
        case '\n':
            CodePoint(static_cast<char32_t>(kParagraphBreak));
            break;
        default: // \- optional hyphen, \: index subentry, \| formula, and unknown symbols
            break;
        }
        return;
    }
    const std::size_t start = m_pos;
    while (m_pos < m_in.size() && ((m_in[m_pos] >= 'a' && m_in[m_pos] <= 'z') ||
                                   (m_in[m_pos] >= 'A' && m_in[m_pos] <= 'Z')))
        ++m_pos;
    std::string_view word = m_in.substr(start, m_pos - start);
    if (word.size() > kMaxWordLength)
        word = {}; // no such word
    bool hasParam = false;
    bool negative = false;
    std::int64_t param = 0;
    if (m_pos + 1 < m_in.size() && m_in[m_pos] == '-' && m_in[m_pos + 1] >= '0' &&
        m_in[m_pos + 1] <= '9') {
        negative = true;
        ++m_pos;
    }
    for (std::size_t digits = 0; m_pos < m_in.size() && m_in[m_pos] >= '0' && m_in[m_pos] <= '9';
         ++m_pos, ++digits) {
        hasParam = true;
        if (digits < kMaxParamDigits)
            param = param * 10 + (m_in[m_pos] - '0');
    }
    if (negative)
        param = -param;
    param = std::clamp<std::int64_t>(param, std::numeric_limits<std::int32_t>::min(),
                                     std::numeric_limits<std::int32_t>::max());
    if (m_pos < m_in.size() && m_in[m_pos] == ' ')
        ++m_pos; // the delimiter belongs to the word
    if (word == "bin") {
        // Binary data of the given length follows; it is never text, whatever its bytes.
        const std::size_t length = param > 0 ? static_cast<std::size_t>(param) : 0;
        m_pos += std::min(length, m_in.size() - m_pos);
        m_starred = false;
        return;
    }
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    ControlWord(word, hasParam, param);
}

void Reader::ControlWord(std::string_view word, bool hasParam, std::int64_t param)
{
    const bool starred = m_starred;
    m_starred = false;
    const std::optional<Keyword> keyword = FindKeyword(word);
    if (!keyword) {
        if (starred)
            m_state.destination = Destination::Skip; // a destination we do not know
        return;
    }
    const bool on = !hasParam || param != 0;
    const int value = Clamp(param, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    if (IsDestination(*keyword)) {
        EnterDestination(*keyword);
        return;
    }
    if (*keyword != Keyword::u && *keyword != Keyword::uc)
        FlushBytes();
    switch (*keyword) {
    // The document and its tables
    case Keyword::ansi: m_codePage = kCodePageWestern; break;
    case Keyword::mac: m_codePage = 10000; break;
    case Keyword::pc: m_codePage = 437; break;
    case Keyword::pca: m_codePage = 850; break;
    case Keyword::ansicpg: if (value > 0) m_codePage = value; break;
    case Keyword::deff: m_defaultFont = value; break;
    case Keyword::f:
        if (m_state.destination == Destination::FontTable) {
            if (m_fontDefined >= 0)
                EndFontEntry();
            m_fontDefined = value;
            m_fontName.clear();
        } else {
            m_state.font = value;
        }
        break;
    case Keyword::af: m_state.assocFont = value; break;
    case Keyword::fcharset:
        if (m_state.destination == Destination::FontTable && m_fontDefined >= 0)
            m_fonts[m_fontDefined].charSet = value;
        break;
    case Keyword::cpg:
        if (m_state.destination == Destination::FontTable && m_fontDefined >= 0)
            m_fonts[m_fontDefined].codePage = value;
        break;
    case Keyword::red: m_red = Clamp(param, 0, 255); break;
    case Keyword::green: m_green = Clamp(param, 0, 255); break;
    case Keyword::blue: m_blue = Clamp(param, 0, 255); break;
    // Character properties
    case Keyword::plain: {
        const GroupState keep = m_state;
        m_state = GroupState{};
        m_state.destination = keep.destination;
        m_state.beforeUpr = keep.beforeUpr;
        m_state.unicodeSkip = keep.unicodeSkip;
        break;
    }
    case Keyword::b: m_state.bold = on; break;
    case Keyword::i: m_state.italic = on; break;
    case Keyword::ab: m_state.assocBold = on; break;
    case Keyword::ai: m_state.assocItalic = on; break;
    case Keyword::ul: m_state.underline = on; break;
    case Keyword::ulnone: m_state.underline = false; break;
    case Keyword::strike: m_state.strike = on; break;
    case Keyword::v: m_state.hidden = on; break;
    case Keyword::cf: m_state.color = std::max(value, 0); break;
    case Keyword::fs: m_state.halfPoints = Clamp(param, 0, kMaxHalfPoints); break;
    case Keyword::afs: m_state.assocHalfPoints = Clamp(param, 0, kMaxHalfPoints); break;
    case Keyword::loch: m_state.runType = RunType::Low; break;
    case Keyword::hich: m_state.runType = RunType::High; break;
    case Keyword::dbch: m_state.runType = RunType::Double; break;
    case Keyword::rtlch: m_state.runType = RunType::RightToLeft; break;
    case Keyword::ltrch: m_state.runType = RunType::LeftToRight; break;
    // Unicode
    case Keyword::uc: m_state.unicodeSkip = Clamp(param, 0, kMaxUnicodeSkip); break;
    case Keyword::u:
        FlushBytes();
        // A UTF-16 code unit, written as a signed 16-bit number above 32767.
        CodePoint(param >= -32768 && param < 0 ? static_cast<char32_t>(param + 65536)
                  : param >= 0 && param <= 0xFFFF ? static_cast<char32_t>(param)
                                                  : kReplacement);
        m_skip = m_state.unicodeSkip;
        break;
    case Keyword::ud:
        if (m_state.destination == Destination::Upr)
            m_state.destination = m_state.beforeUpr;
        break;
    // Characters and breaks
    case Keyword::par: CodePoint(static_cast<char32_t>(kParagraphBreak)); break;
    case Keyword::line: CodePoint(kLineBreak); break;
    case Keyword::tab: CodePoint(U'\t'); break;
    case Keyword::cell:
    case Keyword::nestcell: EndTableCell(false); break;
    case Keyword::row:
    case Keyword::nestrow: EndTableCell(true); break;
    case Keyword::emdash: CodePoint(0x2014); break;
    case Keyword::endash: CodePoint(0x2013); break;
    case Keyword::emspace: CodePoint(0x2003); break;
    case Keyword::enspace: CodePoint(0x2002); break;
    case Keyword::qmspace: CodePoint(0x2005); break;
    case Keyword::bullet: CodePoint(0x2022); break;
    case Keyword::lquote: CodePoint(0x2018); break;
    case Keyword::rquote: CodePoint(0x2019); break;
    case Keyword::ldblquote: CodePoint(0x201C); break;
    case Keyword::rdblquote: CodePoint(0x201D); break;
    case Keyword::zwj: CodePoint(0x200D); break;
    case Keyword::zwnj: CodePoint(0x200C); break;
    default: break;
    }
}

void Reader::EnterDestination(Keyword keyword)
{
    FlushBytes();
    switch (keyword) {
    case Keyword::fonttbl:
        m_state.destination = Destination::FontTable;
        m_fontDefined = -1;
        break;
    case Keyword::colortbl:
        m_state.destination = Destination::ColorTable;
        m_red = m_green = m_blue = -1;
        break;
    case Keyword::upr:
        m_state.beforeUpr = m_state.destination;
        m_state.destination = Destination::Upr;
        break;
    default:
        m_state.destination = Destination::Skip;
        break;
    }
}

bool Reader::TakesText() const
{
    return m_state.destination == Destination::Text && !m_state.hidden;
}

void Reader::TextByte(char byte)
{
    switch (m_state.destination) {
    case Destination::ColorTable:
        if (byte == ';')
            EndColorEntry();
        return;
    case Destination::FontTable:
        if (byte == ';') {
            FlushBytes();
            EndFontEntry();
            return;
        }
        break;
    case Destination::Text:
        if (m_state.hidden)
            return;
        break;
    case Destination::Skip:
    case Destination::Upr:
        return;
    }
    if (m_bytes.size() < std::numeric_limits<std::size_t>::max() / 2)
        m_bytes.push_back(byte);
}

void Reader::FlushBytes()
{
    if (m_bytes.empty())
        return;
    const int font = m_state.destination == Destination::FontTable ? m_fontDefined
                     : (m_state.runType == RunType::Double && m_state.assocFont >= 0)
                         ? m_state.assocFont
                         : m_state.font;
    std::string utf8;
    m_decoder.Decode(m_bytes, CodePageOf(font), utf8);
    m_bytes.clear();
    if (m_highSurrogate != 0) {
        m_highSurrogate = 0;
        CodePoint(kReplacement);
    }
    Emit(utf8);
}

void Reader::CodePoint(char32_t c)
{
    FlushBytes(); // the bytes before it are text before it
    if (c >= kHighFirst && c < kLowFirst) {
        if (m_highSurrogate != 0)
            CodePoint(kReplacement);
        m_highSurrogate = c;
        return;
    }
    if (c >= kLowFirst && c < kSurrogateEnd) {
        c = m_highSurrogate != 0 ? 0x10000 + ((m_highSurrogate - kHighFirst) << 10) + (c - kLowFirst)
                                 : kReplacement;
        m_highSurrogate = 0;
    } else if (m_highSurrogate != 0) {
        m_highSurrogate = 0;
        CodePoint(kReplacement);
    }
    if (c == 0)
        return;
    std::string utf8;
    utf8::Append(utf8, c);
    Emit(utf8);
}

void Reader::Emit(std::string_view utf8)
{
    if (utf8.empty())
        return;
    if (m_state.destination == Destination::FontTable) {
        if (m_fontDefined >= 0 && m_fontName.size() < kMaxFaceBytes)
            m_fontName += utf8;
        return;
    }
    if (TakesText())
        AppendText(utf8, CurrentFormat());
}

void Reader::EndTableCell(bool row)
{
    if (!TakesText())
        return;
    // A row's last cell ends with \cell too: the row's break takes the place of its tab.
    if (row && m_last.text.ends_with('\t'))
        m_last.text.back() = kParagraphBreak;
    else
        CodePoint(row ? static_cast<char32_t>(kParagraphBreak) : U'\t');
}

void Reader::EndFontEntry()
{
    if (m_fontDefined >= 0 && (m_fonts.size() < kMaxTableEntries || m_fonts.contains(m_fontDefined))) {
        Font &font = m_fonts[m_fontDefined];
        font.name = m_fontName;
        while (!font.name.empty() && font.name.back() == ' ')
            font.name.pop_back();
    }
    m_fontDefined = -1;
    m_fontName.clear();
}

void Reader::EndColorEntry()
{
    if (m_colors.size() < kMaxTableEntries) {
        if (m_red < 0 && m_green < 0 && m_blue < 0)
            m_colors.emplace_back(std::nullopt);
        else
            m_colors.emplace_back(static_cast<ColorRef>(std::max(m_red, 0)) |
                                  static_cast<ColorRef>(std::max(m_green, 0)) << 8 |
                                  static_cast<ColorRef>(std::max(m_blue, 0)) << 16);
    }
    m_red = m_green = m_blue = -1;
}

int Reader::CodePageOf(int fontNumber) const
{
    const auto it = m_fonts.find(fontNumber < 0 ? m_defaultFont : fontNumber);
    if (it == m_fonts.end())
        return m_codePage;
    if (it->second.codePage > 0)
        return it->second.codePage;
    const int page = CodePageOfCharSet(it->second.charSet);
    return page > 0 ? page : m_codePage;
}

Format Reader::CurrentFormat() const
{
    const GroupState &s = m_state;
    const bool associated = s.runType == RunType::Double || s.runType == RunType::RightToLeft;
    Format format;
    format.bold = s.bold || (associated && s.assocBold);
    format.italic = s.italic || (associated && s.assocItalic);
    format.underline = s.underline;
    format.strike = s.strike;
    if (s.color > 0 && static_cast<std::size_t>(s.color) < m_colors.size())
        format.color = m_colors[static_cast<std::size_t>(s.color)];
    format.halfPoints = (associated && s.assocHalfPoints > 0) ? s.assocHalfPoints : s.halfPoints;
    int font = (associated && s.assocFont >= 0) ? s.assocFont : s.font;
    if (font < 0)
        font = m_defaultFont;
    if (const auto it = m_fonts.find(font); it != m_fonts.end())
        format.face = it->second.name;
    return format;
}

} // namespace

bool HasSignature(std::string_view bytes)
{
    return bytes.starts_with(kSignature);
}

bool Read(std::string_view rtf, Cp932Codec &codec, const RunSink &sink, ReadNotes *notes)
{
    if (!HasSignature(rtf))
        return false;
    const ReadNotes noticed = Reader(rtf, codec, sink).ReadAll();
    if (notes)
        *notes = noticed;
    return true;
}

std::optional<Runs> Read(std::string_view rtf, Cp932Codec &codec)
{
    Runs runs;
    if (!Read(rtf, codec, [&runs](const TextRun &run) { runs.push_back(run); }))
        return std::nullopt;
    return runs;
}

} // namespace kivo::rtf
