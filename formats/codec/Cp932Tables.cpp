#include "Cp932Tables.h"

#include "Cp932.h"

#include <iconv.h>

#include <memory>

namespace kivo::cp932tables {

namespace {

/// One iconv conversion descriptor, closed on destruction.
class Converter {
public:
    Converter(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (Ok())
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool Ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    /// Converts the whole input; returns the number of bytes written, or 0 on failure.
    std::size_t Convert(const char *in, std::size_t inLength, char *out, std::size_t outSize)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr); // reset any shift state
        char *inPtr = const_cast<char *>(in);
        char *outPtr = out;
        std::size_t inLeft = inLength;
        std::size_t outLeft = outSize;
        if (iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
            inLeft != 0)
            return 0;
        if (iconv(m_cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
            return 0;
        return outSize - outLeft;
    }

private:
    iconv_t m_cd;
};

constexpr const char *kCodePage = "CP932";
constexpr const char *kUtf32 = "UTF-32LE"; // no byte-order mark, fixed byte order

/// Code point of one code page character, or 0 when the converter rejects the bytes or gives
/// anything but one BMP character.
char16_t DecodeOne(Converter &toUnicode, const char *bytes, std::size_t length)
{
    unsigned char out[16];
    if (toUnicode.Convert(bytes, length, reinterpret_cast<char *>(out), sizeof out) != 4)
        return 0;
    const char32_t cp = out[0] | out[1] << 8 | out[2] << 16 | static_cast<char32_t>(out[3]) << 24;
    return cp < kTableSize ? static_cast<char16_t>(cp) : 0;
}

void BuildDecode(Tables &t, Converter &toUnicode)
{
    // One-byte characters: ASCII (without NUL) and the half-width katakana A1-DF. 0x80, 0xA0
    // and FD-FF are not characters, whatever the converter makes of them.
    for (unsigned b = 0x01; b <= 0xDF; ++b) {
        if (b >= 0x80 && b <= 0xA0)
            continue;
        const char byte = static_cast<char>(b);
        t.decode[b] = DecodeOne(toUnicode, &byte, 1);
    }
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!cp932::IsLeadByte(static_cast<unsigned char>(lead)))
            continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            if (!IsTrailByte(static_cast<unsigned char>(trail)))
                continue;
            const Code code = static_cast<Code>(lead << 8 | trail);
            if (lead >= kPrivateLeadFirst && lead <= kPrivateLeadLast) {
                t.decode[code] = static_cast<char16_t>(
                    kPrivateUseFirst + PrivateIndex(static_cast<unsigned char>(lead),
                                                    static_cast<unsigned char>(trail)));
                continue;
            }
            const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            t.decode[code] = DecodeOne(toUnicode, bytes, 2);
        }
    }
}

void BuildEncode(Tables &t, Converter &fromUnicode)
{
    for (char32_t cp = 1; cp < kTableSize; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue; // surrogates are not characters
        if (cp >= kPrivateUseFirst && cp <= kPrivateUseLast)
            continue; // the user-defined area belongs to the private codes
        const unsigned char in[4] = {static_cast<unsigned char>(cp & 0xFF),
                                     static_cast<unsigned char>(cp >> 8), 0, 0};
        unsigned char out[8];
        const std::size_t n = fromUnicode.Convert(reinterpret_cast<const char *>(in), sizeof in,
                                                  reinterpret_cast<char *>(out), sizeof out);
        Code code = 0;
        if (n == 1)
            code = out[0];
        else if (n == 2)
            code = static_cast<Code>(out[0] << 8 | out[1]);
        // Held exactly only when the bytes decode to the same character again: U+301C and
        // U+FF5E both become 81 60, which decodes to U+FF5E.
        if (code != 0 && t.decode[code] == cp)
            t.encode[cp] = code;
    }
}

std::unique_ptr<Tables> Build()
{
    auto t = std::make_unique<Tables>();
    Converter toUnicode(kUtf32, kCodePage);
    Converter fromUnicode(kCodePage, kUtf32);
    if (!toUnicode.Ok() || !fromUnicode.Ok())
        return t;
    BuildDecode(*t, toUnicode);
    BuildEncode(*t, fromUnicode);
    t->available = true;
    return t;
}

} // namespace

const Tables &Get()
{
    static const std::unique_ptr<Tables> tables = Build();
    return *tables;
}

} // namespace kivo::cp932tables
