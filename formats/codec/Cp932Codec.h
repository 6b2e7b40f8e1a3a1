#pragma once

#include "FileReason.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kivo {

/// The one conversion between Unicode (UTF-8) and code page 932 bytes in the project.
///
/// Conversion never loses a character. A character that code page 932 cannot hold exactly (one
/// whose round trip through the code page would give another character, such as U+301C, which
/// the code page stores as the same bytes as U+FF5E) is given a private two-byte code from the
/// code page's user-defined area, and converting back gives the original character. The private
/// codes are process-wide, so the same character gets the same code in every window and both
/// texts of a comparison compare equal where the characters are equal.
///
/// The private codes F040-F9FC (1880 of them) are handed out in order of first use. Real
/// private-use characters U+E000-U+E757, which the code page itself maps to that area, take a
/// private code like any other character the code page cannot hold, so every F0-F9 code that
/// FromUtf8 writes is one of this table's. A code of that area that was never handed out decodes
/// to its standard character, U+E000 plus its position in the area.
///
/// The mapping tables are built once per process on first use; conversions are table look-ups.
/// All operations are safe to call from several threads.
class Cp932Codec {
public:
    /// Number of private codes: lead bytes F0-F9, trail bytes 40-7E and 80-FC.
    static constexpr std::size_t kPrivateCodeCount = 1880;

    /// The process-wide codec; every conversion in the program goes through it.
    static Cp932Codec &Shared();

    /// A codec with a table of private codes of its own, empty at first (for tests; the program
    /// uses Shared()).
    Cp932Codec() = default;
    Cp932Codec(const Cp932Codec &) = delete;
    Cp932Codec &operator=(const Cp932Codec &) = delete;

    struct Error {
        std::size_t offset = 0; ///< byte offset in the input where conversion failed
        std::string message;    ///< one line, UTF-8, for the user
        /// What is wrong with the bytes, for a file's message (DecodeTextFile).
        FileReason reason = FileReason::NotInAnyEncoding;
    };

    /// UTF-8 to code page 932. Fails on input that is not valid UTF-8, on NUL characters, and
    /// when the private codes are used up. U+FEFF is a character like any other, at the start too:
    /// readers of files drop a byte-order mark before converting.
    std::optional<std::string> FromUtf8(std::string_view utf8, Error *error = nullptr);

    /// Code page 932 to UTF-8. Private codes give back their characters. Fails on bytes that are
    /// not code page 932 text.
    std::optional<std::string> ToUtf8(std::string_view cp932, Error *error = nullptr);

    /// Code page 932 bytes from outside the program (a file, the clipboard) to UTF-8. Unlike
    /// ToUtf8, the user-defined area always means its standard characters U+E000-U+E757, so a
    /// file's own user-defined characters are never read as characters that were given private
    /// codes in this session. Fails like ToUtf8.
    std::optional<std::string> ExternalToUtf8(std::string_view cp932, Error *error = nullptr);

    /// Where code page 932 bytes come from, for the conversions that replace what they cannot read.
    enum class Origin {
        Program,  ///< the program's own text: handed-out private codes give back their characters
        External, ///< a file or another program: the user-defined area means U+E000-U+E757
    };

    /// Code page 932 to UTF-8, never failing: each byte or two-byte code that is not a character
    /// becomes U+FFFD (a lead byte and a trail byte that make no character are replaced together,
    /// so the trail byte is not read as a character of its own), a NUL byte too.
    std::string ToUtf8Replacing(std::string_view cp932, Origin origin);

    /// Whether bytes are code page 932 text that ToUtf8 accepts: no NUL, no byte that is not a
    /// character (0x80, 0xA0, FD-FF), every lead byte followed by a trail byte, and every
    /// two-byte code one the code page assigns.
    bool IsValidCp932(std::string_view cp932, Error *error = nullptr);

    /// Whether code page 932 holds c exactly, without a private code.
    static bool CanHold(char32_t c);

    /// Number of private codes handed out so far.
    std::size_t PrivateCodesUsed() const;

private:
    /// Walks code page 932 text, appending its UTF-8 form to out unless out is null. With
    /// usePrivateCodes, handed-out private codes give back their characters.
    bool Decode(std::string_view cp932, std::string *out, bool usePrivateCodes, Error *error);
    /// The private code of c, allocating one on first use; 0 when none is left.
    std::uint16_t PrivateCodeFor(char32_t c);

    mutable std::mutex m_mutex;
    std::vector<char32_t> m_privateChars; ///< character of each handed-out code, in code order
    std::unordered_map<char32_t, std::uint16_t> m_privateCodes;
};

/// Whether bytes are valid UTF-8 (a leading byte-order mark is allowed). Strict: no overlong
/// forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

/// Every CR LF pair, lone LF and lone CR becomes one CR, the line break of the text windows.
std::string ToWindowLineBreaks(std::string_view text);

} // namespace kivo
