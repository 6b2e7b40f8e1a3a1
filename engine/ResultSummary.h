#pragma once

#include "Moves.h"
#include "ResultPair.h"

#include <optional>

namespace kivo {

/// How many sentence pairs of a result were the same, changed, added and deleted.
struct ResultSummary {
    int same = 0;
    int changed = 0;
    int added = 0;
    int deleted = 0;
    /// Moved sentences, counted only when the comparison showed them.
    std::optional<int> moved;
    friend bool operator==(const ResultSummary &, const ResultSummary &) = default;
};

/// Counts the sentence pairs of a result: each pair ends with a record of sentenceEnd 1, whose
/// status is the pair's. A changed pair ends with an Original record after its runs. With
/// moves (the comparison showed them), a moved sentence counts as moved only: each move is one
/// deleted and one added record, which are then not counted as deleted and added.
ResultSummary Summarize(const ResultList &results, const MoveTable *moves = nullptr);

} // namespace kivo
