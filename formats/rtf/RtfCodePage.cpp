#include "RtfCodePage.h"

#include "Cp932Codec.h"
#include "Utf8.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <utility>

namespace kivo::rtf {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);
/// Characters of code page 1252 at 0x80-0x9F (0 where it has none); the rest is Latin-1.
constexpr std::array<char16_t, 32> kWestern80{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void DecodeWestern(std::string_view bytes, std::string &out)
{
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        if (b == 0)
            continue;
        const char32_t c = (b >= 0x80 && b < 0xA0) ? kWestern80[b - 0x80] : b;
        if (c == 0)
            out += kReplacement;
        else
            utf8::Append(out, c);
    }
}

} // namespace

int CodePageOfCharSet(int charSet)
{
    static constexpr std::pair<int, int> kPages[] = {
        {0, 1252},   {2, 1252},   {77, 10000}, {128, 932},  {129, 949},  {130, 1361},
        {134, 936},  {136, 950},  {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255},
        {178, 1256}, {186, 1257}, {204, 1251}, {222, 874},  {238, 1250}, {255, 437},
    };
    for (const auto &[set, page] : kPages) {
        if (set == charSet)
            return page;
    }
    return 0;
}

CodePageDecoder::~CodePageDecoder()
{
    for (const auto &[page, converter] : m_converters) {
        if (converter)
            iconv_close(static_cast<iconv_t>(converter));
    }
}

void *CodePageDecoder::Converter(int codePage)
{
    if (const auto it = m_converters.find(codePage); it != m_converters.end())
        return it->second;
    const std::string name = codePage == 10000 ? "MACINTOSH" : "CP" + std::to_string(codePage);
    iconv_t converter = iconv_open("UTF-8", name.c_str());
    void *stored = converter == kNoConverter ? nullptr : static_cast<void *>(converter);
    m_converters.emplace(codePage, stored);
    return stored;
}

void CodePageDecoder::Decode(std::string_view bytes, int codePage, std::string &out)
{
    if (codePage == kCodePageJapanese) {
        std::string text(bytes);
        std::erase(text, '\0');
        out += m_codec.ToUtf8Replacing(text, Cp932Codec::Origin::External);
        return;
    }
    void *handle = codePage == kCodePageWestern ? nullptr : Converter(codePage);
    if (!handle) {
        DecodeWestern(bytes, out);
        return;
    }
    const auto converter = static_cast<iconv_t>(handle);
    iconv(converter, nullptr, nullptr, nullptr, nullptr); // back to the initial shift state
    std::string in;
    in.reserve(bytes.size());
    std::copy_if(bytes.begin(), bytes.end(), std::back_inserter(in), [](char b) { return b; });
    char *from = in.data();
    std::size_t left = in.size();
    std::array<char, 1024> buffer;
    while (left > 0) {
        char *to = buffer.data();
        std::size_t room = buffer.size();
        const std::size_t result = iconv(converter, &from, &left, &to, &room);
        out.append(buffer.data(), static_cast<std::size_t>(to - buffer.data()));
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            out += kReplacement; // a byte that is not text, or a character cut off at the end
            ++from;
            --left;
            iconv(converter, nullptr, nullptr, nullptr, nullptr);
        }
    }
}

} // namespace kivo::rtf
