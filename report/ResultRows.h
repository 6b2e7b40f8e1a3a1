#pragma once

#include "ResultPair.h"
#include "Side.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace kivo {
class Cp932Codec;
class MoveTable;
} // namespace kivo

namespace kivo::report {

/// A stretch of text of one status, UTF-8.
struct StyledRun {
    TextStatus status = TextStatus::Original;
    std::string text;
    /// A deleted or added sentence whose other end stands elsewhere.
    bool moved = false;
};

/// What a row shows: a pair of equal sentences, a changed pair, or a sentence of one side only.
/// Layout keeps the texts' own lines (view format 1) and shows no pairs.
enum class RowKind { Same, Changed, Added, Deleted, Layout };

/// One row of a side-by-side view: a sentence pair with its runs on each side.
struct ResultRow {
    RowKind kind = RowKind::Same;
    std::array<std::vector<StyledRun>, 2> sides; ///< indexed by Side
    /// The sentence index of each side (the closing record's leftIndex and rightIndex); -1 for
    /// a Layout row and runs without a closing record.
    std::array<std::int32_t, 2> index{-1, -1};
};

/// The rows of a result. With the aligned layout there is one row per sentence pair: the runs of a
/// changed pair (the records with sentenceEnd 0) and the record that closes it form one row.
/// With the unchanged layout there is one Layout row holding every record's text in order, so the
/// texts keep their own line breaks. Runs with empty texts are left out. With moves, the runs of
/// moved sentences are marked as such. Fails, setting error, only when a text is not code page 932
/// (which the engine never produces from valid input).
std::optional<std::vector<ResultRow>> BuildRows(const ResultList &results, SentenceLayout layout,
                                                Cp932Codec &codec, std::string &error,
                                                const MoveTable *moves = nullptr);

/// The runs of one side as UTF-8 with their statuses, in order.
const std::vector<StyledRun> &RunsOf(const ResultRow &row, Side side);

} // namespace kivo::report
