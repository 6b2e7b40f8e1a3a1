#include "RtfWriter.h"

#include "Cp932Codec.h"
#include "Utf8.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kivo::rtf {

namespace {

constexpr char32_t kFirstBeyondBmp = 0x10000;
constexpr char32_t kHighFirst = 0xD800;
constexpr char32_t kLowFirst = 0xDC00;
constexpr char kFallback = '?';
constexpr std::string_view kHexDigits = "0123456789abcdef";

class Writer {
public:
    explicit Writer(Cp932Codec &codec) : m_codec(codec) {}

    bool WriteDocument(const Runs &runs);
    std::string Take() { return std::move(m_out); }

private:
    void Word(std::string_view word, std::optional<int> param = std::nullopt);
    void Literal(char c);
    void Escaped(char c);
    bool Text(std::string_view utf8);
    bool Character(char32_t c, std::string_view utf8);
    void Unicode(char32_t unit);
    void FormatChange(const Format &from, const Format &to);
    std::size_t FaceIndex(const std::string &face) const;
    std::size_t ColorIndex(const std::optional<ColorRef> &color) const;

    Cp932Codec &m_codec;
    std::string m_out;
    bool m_afterWord = false; ///< the last thing written was a control word
    std::vector<std::string> m_faces;
    std::vector<ColorRef> m_colors;
};

void Writer::Word(std::string_view word, std::optional<int> param)
{
    m_out += '\\';
    m_out += word;
    if (param)
        m_out += std::to_string(*param);
    m_afterWord = true;
}

void Writer::Literal(char c)
{
    const bool extendsWord = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                             (c >= '0' && c <= '9') || c == ' ' || c == '-';
    if (m_afterWord && extendsWord)
        m_out += ' '; // ends the control word, so that the text does not lengthen it
    m_out += c;
    m_afterWord = false;
}

void Writer::Escaped(char c)
{
    m_out += '\\';
    m_out += c;
    m_afterWord = false;
}

void Writer::Unicode(char32_t unit)
{
    Word("u", static_cast<std::int16_t>(static_cast<std::uint16_t>(unit)));
    Literal(kFallback);
}

bool Writer::Character(char32_t c, std::string_view utf8)
{
    if (c == static_cast<char32_t>(kParagraphBreak)) {
        Word("par");
        m_out += "\r\n";
        m_afterWord = false;
        return true;
    }
    if (c == kLineBreak) {
        Word("line");
        return true;
    }
    if (c == U'\t') {
        Word("tab");
        return true;
    }
    if (c == U'\\' || c == U'{' || c == U'}') {
        Escaped(static_cast<char>(c));
        return true;
    }
    if (c < 0x20 || c == 0x7F)
        return true; // no character of a text window
    if (c < 0x80) {
        Literal(static_cast<char>(c));
        return true;
    }
    if (Cp932Codec::CanHold(c)) {
        const auto bytes = m_codec.FromUtf8(utf8);
        if (!bytes)
            return false;
        for (const char byte : *bytes) {
            const auto b = static_cast<unsigned char>(byte);
            m_out += "\\'";
            m_out += kHexDigits[b >> 4];
            m_out += kHexDigits[b & 0xF];
        }
        m_afterWord = false;
        return true;
    }
    if (c >= kFirstBeyondBmp) {
        Unicode(kHighFirst + ((c - kFirstBeyondBmp) >> 10));
        Unicode(kLowFirst + ((c - kFirstBeyondBmp) & 0x3FF));
    } else {
        Unicode(c);
    }
    return true;
}

bool Writer::Text(std::string_view utf8)
{
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t start = pos;
        char32_t c = 0;
        if (!utf8::Decode(utf8, pos, c)) {
            ++pos; // not UTF-8: nothing to write for the byte
            continue;
        }
        if (!Character(c, utf8.substr(start, pos - start)))
            return false;
    }
    return true;
}

std::size_t Writer::FaceIndex(const std::string &face) const
{
    const auto it = std::find(m_faces.begin(), m_faces.end(), face);
    return it == m_faces.end() ? 0 : static_cast<std::size_t>(it - m_faces.begin());
}

std::size_t Writer::ColorIndex(const std::optional<ColorRef> &color) const
{
    if (!color)
        return 0;
    return static_cast<std::size_t>(std::find(m_colors.begin(), m_colors.end(), *color) -
                                    m_colors.begin()) +
           1;
}

void Writer::FormatChange(const Format &from, const Format &to)
{
    if (!m_faces.empty() && from.face != to.face)
        Word("f", static_cast<int>(FaceIndex(to.face)));
    if (to.halfPoints > 0 && to.halfPoints != from.halfPoints)
        Word("fs", to.halfPoints);
    if (to.color != from.color)
        Word("cf", static_cast<int>(ColorIndex(to.color)));
    if (to.bold != from.bold)
        Word(to.bold ? "b" : "b0");
    if (to.italic != from.italic)
        Word(to.italic ? "i" : "i0");
    if (to.underline != from.underline)
        Word(to.underline ? "ul" : "ulnone");
    if (to.strike != from.strike)
        Word(to.strike ? "strike" : "strike0");
}

bool Writer::WriteDocument(const Runs &runs)
{
    constexpr int kJapaneseCharSet = 128;
    for (const TextRun &run : runs) {
        if (!run.format.face.empty() &&
            std::find(m_faces.begin(), m_faces.end(), run.format.face) == m_faces.end())
            m_faces.push_back(run.format.face);
        if (run.format.color &&
            std::find(m_colors.begin(), m_colors.end(), *run.format.color) == m_colors.end())
            m_colors.push_back(*run.format.color);
    }
    m_out = "{\\rtf1\\ansi\\ansicpg932\\deff0\\uc1";
    m_afterWord = true;
    m_out += "\r\n{";
    Word("fonttbl");
    for (std::size_t i = 0; i < m_faces.size(); ++i) {
        m_out += '{';
        Word("f", static_cast<int>(i));
        Word("fnil");
        Word("fcharset", kJapaneseCharSet);
        std::string name = m_faces[i];
        std::erase(name, ';'); // ends a name in the table; no escape for it exists
        if (!Text(name))
            return false;
        Literal(';');
        m_out += '}';
    }
    m_out += "}\r\n{";
    Word("colortbl");
    Literal(';');
    for (const ColorRef color : m_colors) {
        Word("red", static_cast<int>(color & 0xFF));
        Word("green", static_cast<int>((color >> 8) & 0xFF));
        Word("blue", static_cast<int>((color >> 16) & 0xFF));
        Literal(';');
    }
    m_out += "}\r\n";
    m_afterWord = false;
    Word("pard");
    Word("plain");
    Format current;
    for (const TextRun &run : runs) {
        FormatChange(current, run.format);
        current = run.format;
        if (!Text(run.text))
            return false;
    }
    Word("par");
    m_out += "\r\n}";
    return true;
}

} // namespace

std::optional<std::string> Write(const Runs &runs, Cp932Codec &codec)
{
    Writer writer(codec);
    if (!writer.WriteDocument(runs))
        return std::nullopt;
    return writer.Take();
}

} // namespace kivo::rtf
