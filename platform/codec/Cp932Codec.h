#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kivo {

/// The one conversion between Unicode (UTF-8) and code page 932 bytes in the project.
///
/// Conversion never loses a character. A character that code page 932 cannot hold exactly (one
/// whose round trip through the code page would give another character, such as U+301C, which
/// the code page stores as the same bytes as U+FF5E) is given a private two-byte code from the
/// code page's user-defined area, and converting back gives the original character. The private
/// codes are process-wide, so the same character gets the same code in every window and both
/// texts of a comparison compare equal where the characters are equal.
class Cp932Codec {
public:
    /// The process-wide codec; every conversion in the program goes through it.
    static Cp932Codec &Shared();

    struct Error {
        std::size_t offset = 0; ///< byte offset in the input where conversion failed
        std::string message;    ///< one line, UTF-8, for the user
    };

    /// UTF-8 to code page 932. Fails on input that is not valid UTF-8, and when the private codes
    /// are used up.
    std::optional<std::string> FromUtf8(std::string_view utf8, Error *error = nullptr);

    /// Code page 932 to UTF-8. Private codes give back their characters. Fails on bytes that are
    /// not code page 932 text.
    std::optional<std::string> ToUtf8(std::string_view cp932, Error *error = nullptr);

    /// Whether bytes are code page 932 text that ToUtf8 accepts.
    bool IsValidCp932(std::string_view cp932, Error *error = nullptr);
};

/// Whether bytes are valid UTF-8 (a leading byte-order mark is allowed).
bool IsValidUtf8(std::string_view bytes);

/// Every CR LF pair, lone LF and lone CR becomes one CR, the line break of the text windows.
std::string ToWindowLineBreaks(std::string_view text);

} // namespace kivo
