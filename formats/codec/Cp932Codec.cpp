#include "Cp932Codec.h"

#include "Cp932.h"
#include "Cp932Tables.h"
#include "Utf8.h"

#include <algorithm>
#include <cstdio>

namespace kivo {

namespace ct = cp932tables;

static_assert(Cp932Codec::kPrivateCodeCount == ct::kPrivateCodeCount);

namespace {

constexpr std::string_view kUnavailable =
    "code page 932 conversion is not available: the C library has no CP932 converter";

bool Fail(Cp932Codec::Error *error, std::size_t offset, std::string message)
{
    if (error) {
        error->offset = offset;
        error->message = std::move(message);
    }
    return false;
}

/// printf-style one-line message.
template <typename... Args> std::string Format(const char *format, Args... args)
{
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return buffer;
}

/// Length of the run of ASCII characters other than NUL that starts at pos.
std::size_t AsciiRun(std::string_view text, std::size_t pos)
{
    std::size_t end = pos;
    while (end < text.size()) {
        const auto b = static_cast<unsigned char>(text[end]);
        if (b == 0 || b >= 0x80)
            break;
        ++end;
    }
    return end - pos;
}

void AppendCode(std::string &out, std::uint16_t code)
{
    if (code > 0xFF)
        out.push_back(static_cast<char>(code >> 8));
    out.push_back(static_cast<char>(code & 0xFF));
}

} // namespace

Cp932Codec &Cp932Codec::Shared()
{
    static Cp932Codec codec;
    return codec;
}

bool Cp932Codec::CanHold(char32_t c)
{
    return c < ct::kTableSize && ct::Get().encode[c] != 0;
}

std::size_t Cp932Codec::PrivateCodesUsed() const
{
    const std::lock_guard lock(m_mutex);
    return m_privateChars.size();
}

std::uint16_t Cp932Codec::PrivateCodeFor(char32_t c)
{
    if (const auto it = m_privateCodes.find(c); it != m_privateCodes.end())
        return it->second;
    if (m_privateChars.size() >= kPrivateCodeCount)
        return 0;
    const std::uint16_t code = ct::PrivateCode(m_privateChars.size());
    m_privateChars.push_back(c);
    m_privateCodes.emplace(c, code);
    return code;
}

std::optional<std::string> Cp932Codec::FromUtf8(std::string_view utf8, Error *error)
{
    const ct::Tables &tables = ct::Get();
    if (!tables.available) {
        Fail(error, 0, std::string(kUnavailable));
        return std::nullopt;
    }
    std::size_t pos = 0;
    std::string out;
    out.reserve(utf8.size());
    std::unique_lock lock(m_mutex, std::defer_lock); // taken at the first private code
    while (pos < utf8.size()) {
        if (const std::size_t run = AsciiRun(utf8, pos); run > 0) { // held as itself
            out.append(utf8.substr(pos, run));
            pos += run;
            continue;
        }
        const std::size_t start = pos;
        char32_t cp = 0;
        if (!utf8::Decode(utf8, pos, cp)) {
            Fail(error, start, Format("invalid UTF-8 at byte %zu", start));
            return std::nullopt;
        }
        if (cp == 0) {
            Fail(error, start, Format("NUL character at byte %zu", start));
            return std::nullopt;
        }
        std::uint16_t code = cp < ct::kTableSize ? tables.encode[cp] : 0;
        if (code == 0) {
            if (!lock.owns_lock())
                lock.lock();
            code = PrivateCodeFor(cp);
            if (code == 0) {
                Fail(error, start,
                     Format("U+%04X at byte %zu cannot be converted: all %zu private codes for "
                            "characters code page 932 cannot hold are in use",
                            static_cast<unsigned>(cp), start, kPrivateCodeCount));
                return std::nullopt;
            }
        }
        AppendCode(out, code);
    }
    return out;
}

bool Cp932Codec::Decode(std::string_view cp932, std::string *out, bool usePrivateCodes,
                        Error *error)
{
    const ct::Tables &tables = ct::Get();
    if (!tables.available)
        return Fail(error, 0, std::string(kUnavailable));
    std::unique_lock lock(m_mutex, std::defer_lock); // taken at the first private code
    for (std::size_t pos = 0; pos < cp932.size();) {
        if (const std::size_t run = AsciiRun(cp932, pos); run > 0) { // ASCII is itself in UTF-8
            if (out)
                out->append(cp932.substr(pos, run));
            pos += run;
            continue;
        }
        const auto b = static_cast<unsigned char>(cp932[pos]);
        if (b == 0)
            return Fail(error, pos, Format("NUL byte at byte %zu", pos));
        char32_t cp = 0;
        std::size_t length = 1;
        if (cp932::IsLeadByte(b)) {
            if (pos + 1 >= cp932.size())
                return Fail(error, pos,
                            Format("lead byte 0x%02X at byte %zu ends the text without its second "
                                   "byte",
                                   b, pos));
            const auto trail = static_cast<unsigned char>(cp932[pos + 1]);
            if (!ct::IsTrailByte(trail))
                return Fail(error, pos,
                            Format("lead byte 0x%02X at byte %zu is followed by 0x%02X, which is "
                                   "not a second byte",
                                   b, pos, trail));
            length = 2;
            const std::uint16_t code = static_cast<std::uint16_t>(b << 8 | trail);
            cp = tables.decode[code];
            if (cp == 0)
                return Fail(error, pos,
                            Format("code 0x%02X 0x%02X at byte %zu is not a character of code "
                                   "page 932",
                                   b, trail, pos));
            if (out && usePrivateCodes && b >= ct::kPrivateLeadFirst && b <= ct::kPrivateLeadLast) {
                if (!lock.owns_lock())
                    lock.lock();
                const std::size_t index = ct::PrivateIndex(b, trail);
                if (index < m_privateChars.size())
                    cp = m_privateChars[index];
            }
        } else {
            cp = tables.decode[b];
            if (cp == 0)
                return Fail(
                    error, pos,
                    Format("byte 0x%02X at byte %zu is not a character of code page 932", b, pos));
        }
        if (out)
            utf8::Append(*out, cp);
        pos += length;
    }
    return true;
}

std::optional<std::string> Cp932Codec::ToUtf8(std::string_view cp932, Error *error)
{
    std::string out;
    out.reserve(cp932.size() + cp932.size() / 2);
    if (!Decode(cp932, &out, true, error))
        return std::nullopt;
    return out;
}

std::optional<std::string> Cp932Codec::ExternalToUtf8(std::string_view cp932, Error *error)
{
    std::string out;
    out.reserve(cp932.size() + cp932.size() / 2);
    if (!Decode(cp932, &out, false, error))
        return std::nullopt;
    return out;
}

std::string Cp932Codec::ToUtf8Replacing(std::string_view cp932, Origin origin)
{
    constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD
    const bool program = origin == Origin::Program;
    std::string out;
    out.reserve(cp932.size() + cp932.size() / 2);
    while (!cp932.empty()) {
        Error error;
        std::string part;
        if (Decode(cp932, &part, program, &error)) {
            out += part;
            break;
        }
        // The error offset is a character boundary: the text before it converts on its own.
        const std::size_t bad = std::min(error.offset, cp932.size() - 1);
        part.clear();
        if (bad > 0 && Decode(cp932.substr(0, bad), &part, program, nullptr))
            out += part;
        const auto lead = static_cast<unsigned char>(cp932[bad]);
        std::size_t length = 1;
        if (bad + 1 < cp932.size() && cp932::IsLeadByte(lead) &&
            ct::IsTrailByte(static_cast<unsigned char>(cp932[bad + 1])))
            length = 2;
        out += kReplacement;
        cp932.remove_prefix(bad + length);
    }
    return out;
}

bool Cp932Codec::IsValidCp932(std::string_view cp932, Error *error)
{
    return Decode(cp932, nullptr, false, error);
}

bool IsValidUtf8(std::string_view bytes)
{
    if (bytes.starts_with(utf8::kByteOrderMark))
        bytes.remove_prefix(utf8::kByteOrderMark.size());
    return utf8::FirstInvalid(bytes) == std::string_view::npos;
}

std::string ToWindowLineBreaks(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out.push_back('\r');
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out.push_back('\r');
        } else {
            out.push_back(c);
        }
    }
    return out;
}

} // namespace kivo
