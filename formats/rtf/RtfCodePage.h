#pragma once

#include <map>
#include <string>
#include <string_view>

namespace kivo {
class Cp932Codec;
}

/// The code pages that RTF text bytes (\'hh and 8-bit characters) are written in.
namespace kivo::rtf {

inline constexpr int kCodePageJapanese = 932;
inline constexpr int kCodePageWestern = 1252;

/// The code page of a font's \fcharset number; 0 for the default character set (1), which means
/// the document's code page, and for numbers that name none.
int CodePageOfCharSet(int charSet);

/// Turns bytes in a code page into UTF-8. Code page 932 goes through the program's converter
/// (its user-defined codes are their standard characters); others through the C library's
/// converter, opened once per page, or code page 1252 when it has none for the page. Bytes that
/// are not text become U+FFFD; NUL bytes are dropped.
class CodePageDecoder {
public:
    explicit CodePageDecoder(Cp932Codec &codec) : m_codec(codec) {}
    ~CodePageDecoder();
    CodePageDecoder(const CodePageDecoder &) = delete;
    CodePageDecoder &operator=(const CodePageDecoder &) = delete;

    /// Appends the UTF-8 form of bytes in codePage to out.
    void Decode(std::string_view bytes, int codePage, std::string &out);

private:
    /// The C library's converter from codePage to UTF-8; nullptr when it has none.
    void *Converter(int codePage);

    Cp932Codec &m_codec;
    std::map<int, void *> m_converters; ///< iconv_t by code page; nullptr for a page it lacks
};

} // namespace kivo::rtf
