#pragma once

#include "PdfFile.h"
#include "TextFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kivo::cli {

/// Largest input compared, in bytes: the most any file is read.
inline constexpr std::uintmax_t kMostInputBytes = kMostFileBytes;

/// The message for a file larger than kMostInputBytes.
std::string TooLargeMessage(const std::string &path);

/// Reads a text file as UTF-8, through the program's one plain-text reader (DecodeTextFile):
/// UTF-8 with or without a byte-order mark, UTF-16 with a byte-order mark, else code page 932,
/// whose user-defined codes mean their standard characters (U+E000-U+E757) whatever private codes
/// were handed out before. Line breaks are left as they are. Fails, with a one-line message naming
/// the file, when the file cannot be read, holds a NUL character or is none of these, and when
/// it holds more than kMostInputBytes (reading stops there, so a device such as /dev/zero that
/// never ends is refused too). A zip archive is read as a word-processor document (.docx, .odt)
/// and a file that begins with "{\rtf" as rich text, for their text, as the windows read them; a
/// file that begins with %PDF- is read as a PDF document for its text, as pdfOptions say.
/// notes, when given, receives a line for a file that was read only in part.
std::optional<std::string> LoadTextFile(const std::string &path, Cp932Codec &codec,
                                        const pdf::ReadOptions &pdfOptions, std::string &error,
                                        std::string *notes = nullptr);

/// UTF-8 text as the engine compares it: code page 932 with CR line breaks (CR LF, LF and CR each
/// become one CR). Characters the code page cannot hold get private codes. what names the text
/// in the message when this fails (the private codes are used up).
std::optional<std::string> ToEngineText(std::string_view utf8, std::string_view what,
                                        Cp932Codec &codec, std::string &error);

} // namespace kivo::cli
