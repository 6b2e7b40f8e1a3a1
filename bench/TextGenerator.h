#pragma once

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

} // namespace kivo::bench
