#include "TextFile.h"

#include "Utf8.h"

namespace kivo {

namespace {

constexpr std::string_view kUtf16LEMark = "\xFF\xFE";
constexpr std::string_view kUtf16BEMark = "\xFE\xFF";
constexpr char32_t kHighSurrogateFirst = 0xD800;
constexpr char32_t kLowSurrogateFirst = 0xDC00;
constexpr char32_t kSurrogateEnd = 0xE000;

std::nullopt_t Fail(Cp932Codec::Error *error, std::size_t offset, std::string message,
                    FileReason reason = FileReason::NotInAnyEncoding)
{
    if (error) {
        error->offset = offset;
        error->message = std::move(message);
        error->reason = reason;
    }
    return std::nullopt;
}

std::nullopt_t FailNul(Cp932Codec::Error *error, std::size_t offset)
{
    return Fail(error, offset, "not text: NUL character at byte " + std::to_string(offset),
                FileReason::NulCharacter);
}

/// UTF-16 text whose first two bytes are its byte-order mark; offsets count from the mark.
std::optional<DecodedText> DecodeUtf16(std::string_view bytes, bool bigEndian,
                                       Cp932Codec::Error *error)
{
    constexpr std::size_t kMarkLength = 2;
    DecodedText text{{}, bigEndian ? TextEncoding::Utf16BE : TextEncoding::Utf16LE};
    if (bytes.size() % 2 != 0)
        return Fail(error, bytes.size() - 1, "not UTF-16 text: it has an odd number of bytes");
    text.utf8.reserve(bytes.size() + bytes.size() / 2);
    const auto unit = [&](std::size_t at) {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        return bigEndian ? char32_t(first << 8 | second) : char32_t(second << 8 | first);
    };
    for (std::size_t at = kMarkLength; at < bytes.size(); at += 2) {
        char32_t c = unit(at);
        if (c == 0)
            return FailNul(error, at);
        if (c >= kHighSurrogateFirst && c < kSurrogateEnd) {
            const char32_t low = at + 2 < bytes.size() ? unit(at + 2) : 0;
            if (c >= kLowSurrogateFirst || low < kLowSurrogateFirst || low >= kSurrogateEnd)
                return Fail(error, at,
                            "not UTF-16 text: unpaired surrogate at byte " + std::to_string(at));
            c = 0x10000 + ((c - kHighSurrogateFirst) << 10) + (low - kLowSurrogateFirst);
            at += 2;
        }
        utf8::Append(text.utf8, c);
    }
    return text;
}

} // namespace

std::optional<DecodedText> DecodeTextFile(std::string_view bytes, Cp932Codec &codec,
                                          Cp932Codec::Error *error)
{
    if (bytes.starts_with(kUtf16LEMark))
        return DecodeUtf16(bytes, false, error);
    if (bytes.starts_with(kUtf16BEMark))
        return DecodeUtf16(bytes, true, error);
    if (IsValidUtf8(bytes)) {
        if (const std::size_t nul = bytes.find('\0'); nul != std::string_view::npos)
            return FailNul(error, nul);
        if (bytes.starts_with(utf8::kByteOrderMark))
            bytes.remove_prefix(utf8::kByteOrderMark.size());
        return DecodedText{std::string(bytes), TextEncoding::Utf8};
    }
    Cp932Codec::Error cpError;
    auto text = codec.ExternalToUtf8(bytes, &cpError);
    if (!text) {
        if (cpError.offset < bytes.size() && bytes[cpError.offset] == '\0')
            return FailNul(error, cpError.offset);
        return Fail(error, cpError.offset,
                    "neither UTF-8 nor code page 932 text: " + cpError.message);
    }
    return DecodedText{std::move(*text), TextEncoding::Cp932};
}

} // namespace kivo
