#pragma once

#include <QString>
#include <QStringView>

#include "Cp932Codec.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

/// Text crossing between the rich-edit control (QString, one block break per paragraph) and the
/// rest of the program (code page 932 bytes, CR as the paragraph separator). Every conversion goes
/// through Cp932Codec::Shared(), so characters the code page cannot hold travel as their private
/// codes and come back unchanged.
namespace kivo::cp932text {

/// The QString of code page 932 bytes. CR, LF and CR LF are kept as they are; inserting the result
/// with QTextCursor::insertText turns each of them into one paragraph break. A byte that is not
/// code page 932 text becomes U+FFFD.
QString Decode(std::string_view cp932);

/// The code page 932 bytes of control text. The paragraph separator U+2029 and the line separator
/// U+2028 (Shift+Enter) become CR, one character each, so character counts stay the same. A
/// character that cannot be converted at all (none left of the private codes) becomes '?'.
std::string Encode(QStringView text);

/// The QString of the bytes of a plain-text file, read as DecodeTextFile reads them: UTF-8, UTF-16
/// with a byte-order mark, or else code page 932 (whose user-defined codes keep their standard
/// characters, never this program's private codes). nullopt, with the offset and reason in error,
/// when the bytes are none of these: a file is refused whole rather than loaded with characters
/// replaced.
std::optional<QString> DecodeFile(std::string_view bytes, Cp932Codec::Error *error = nullptr);

/// The QString of UTF-8 text. Unlike QString::fromUtf8, a U+FEFF at the start is kept: it is a
/// character of the text, not a byte-order mark. Malformed bytes become U+FFFD.
QString FromUtf8(std::string_view utf8);

} // namespace kivo::cp932text
