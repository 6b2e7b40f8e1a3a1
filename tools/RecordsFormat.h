#pragma once

#include "ResultPair.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kivo {
class Cp932Codec;
}

namespace kivo::cli {

/// Appends text as the inside of a JSON string: '"' and '\' get a backslash; backspace, form
/// feed, line feed, carriage return and tab are written \b \f \n \r \t; every other character
/// below U+0020 as \u00xx with lower-case hex digits; everything else as itself.
void AppendJsonString(std::string &out, std::string_view utf8);

/// Appends one record as a line of JSON Lines (see FormatRecords). A movedTo of 0 or more (the
/// other end of a moved sentence: the rightIndex of a Deleted record's partner, the leftIndex of
/// an Added record's) is written as a seventh key, "movedTo"; -1 writes nothing more. Fails,
/// setting error, when a text is not code page 932.
bool AppendRecord(std::string &out, const ResultPair &record, Cp932Codec &codec, std::string &error,
                  std::int32_t movedTo = -1);

/// The result as JSON Lines: one object per record in list order, with the keys leftIndex,
/// rightIndex, status, sentenceEnd, leftText, rightText in that order, texts in UTF-8, no blanks.
/// Other tools read this byte for byte. Fails, setting error, when a text is not code page 932.
std::optional<std::string> FormatRecords(const ResultList &results, Cp932Codec &codec,
                                         std::string &error);

} // namespace kivo::cli
