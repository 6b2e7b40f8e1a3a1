#pragma once

#include "RtfText.h"

#include <optional>
#include <string>

namespace kivo {
class Cp932Codec;
}

namespace kivo::rtf {

/// Writes runs as an RTF document that Read gives back unchanged, and that other programs read
/// with the same text, colours and effects.
///
/// The document declares code page 932 (\ansicpg932) and gives every font the Japanese character
/// set. Characters that code page 932 holds are written as themselves (ASCII) or as their bytes
/// (\'hh); every other character, the ones the program gives private codes among them, as \uN
/// (two for a character beyond U+FFFF) with '?' for readers that do not know \u. A run without a
/// face takes the first face of the font table. Each paragraph ends with \par, the last one too.
/// nullopt when the code page 932 converter is not available.
std::optional<std::string> Write(const Runs &runs, Cp932Codec &codec);

} // namespace kivo::rtf
