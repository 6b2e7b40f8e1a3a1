#pragma once

#include "ResultPair.h"
#include "Sentence.h"

#include <cstdint>
#include <unordered_map>

namespace kivo {

/// The moved sentences of one comparison: a Deleted sentence and an Added sentence with equal
/// keys, paired. Kept by sentence index, so it stays valid while the records are rendered,
/// streamed or erased.
class MoveTable {
public:
    /// The right index of the Added partner of left sentence leftIndex; -1 when it did not move.
    std::int32_t RightOf(std::int32_t leftIndex) const;
    /// The left index of the Deleted partner of right sentence rightIndex; -1 when it did not
    /// move.
    std::int32_t LeftOf(std::int32_t rightIndex) const;
    /// The partner of a sentence-level Deleted or Added record (the other side's index); -1 for
    /// any other record and for a sentence that did not move.
    std::int32_t PartnerOf(const ResultPair &record) const;

    /// Number of moves (pairs).
    std::size_t Count() const { return m_leftToRight.size(); }
    bool Empty() const { return m_leftToRight.empty(); }

    void Add(std::int32_t leftIndex, std::int32_t rightIndex);
    void Clear();

    friend bool operator==(const MoveTable &, const MoveTable &) = default;

private:
    std::unordered_map<std::int32_t, std::int32_t> m_leftToRight;
    std::unordered_map<std::int32_t, std::int32_t> m_rightToLeft;
};

/// Finds the moves among the sentence-level records of results. Walks the Deleted records in list
/// order; each takes the first not yet paired Added record, wherever it stands, whose sentence key
/// equals its own. Keys come from the sentence lists through the records' indices. A sentence
/// with an empty key (line breaks only) never moves. Runs in time linear in the records.
MoveTable FindMoves(const ResultList &results, const SentenceList &left, const SentenceList &right);

/// The moved records of results by their position in the list (0-based, runs counted): for each
/// record of a moved sentence, the position of the record of its other end. Empty when moves is.
std::unordered_map<std::int32_t, std::int32_t> MovedRecordPartners(const ResultList &results,
                                                                   const MoveTable &moves);

} // namespace kivo
