#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kivo::bench {

/// A pair of code page 932 texts of about the given number of sentences: the right text is the
/// left one with scattered changed, inserted and deleted sentences (about one in twenty each).
struct TextPair {
    std::string left;
    std::string right;
};

TextPair MakeMostlySamePair(int sentences, std::uint32_t seed);

/// A code page 932 text file of about the given number of bytes: paragraphs ending in CR LF, a
/// third of them a few words long, the others one to a dozen sentences (a sentence takes one or
/// two display lines in a window 640 pixels wide), so that some wrap over many lines.
std::string MakeParagraphs(std::size_t bytes, std::uint32_t seed);

} // namespace kivo::bench
