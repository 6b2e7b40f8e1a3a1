#pragma once

#include "CompareOptions.h"

#include <cstdint>
#include <list>
#include <string>

namespace kivo {

/// One record of a comparison result: a sentence pair (sentenceEnd 1) or a run of text inside a
/// changed pair (sentenceEnd 0), with the texts shown on each side.
struct ResultPair {
    std::int32_t leftIndex = 0;  ///< index of the left sentence; 0 in Added records
    std::int32_t rightIndex = 0; ///< index of the right sentence; 0 in Deleted records
    TextStatus status = TextStatus::Original;
    std::int32_t sentenceEnd = 1; ///< 1: closes a sentence pair; 0: a run inside one
    std::string leftText;
    std::string rightText;

    friend bool operator==(const ResultPair &, const ResultPair &) = default;
};

/// The result records in order. A position (iterator) stays valid while records are inserted
/// around it.
using ResultList = std::list<ResultPair>;

} // namespace kivo
