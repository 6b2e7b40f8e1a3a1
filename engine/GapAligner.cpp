#include "GapAligner.h"

#include "Cp932.h"

#include <algorithm>
#include <cassert>
#include <optional>

namespace kivo {

namespace {

// Pairs of a gap up to which every pair is scored once and kept: each costs a candidate of 12
// bytes, so the index of the largest gap stays near 150 MB. Larger gaps rescan their sub-gaps.
constexpr std::int64_t kMostIndexedPairs = 12'000'000;
// Word counts up to which a row's candidates are ordered by counting: a few per candidate, so
// that the counting never costs more than the row itself.
constexpr std::size_t kMostCountingKeysPerCandidate = 4;
constexpr std::size_t kMostCountingKeys = 1024;
// Dictionary look-ups allowed per byte of the gap's keys while finding which words occur in
// which sentence; long runs of one class (a line of thousands of kana) would need far more,
// and such a gap rescans its sub-gaps instead.
constexpr std::int64_t kLookupsPerKeyByte = 64;
constexpr std::int64_t kLookupsAlways = 1 << 20;

/// Calls fn(run, charClass, charStarts) for each word-class run of key, in order, where
/// charStarts holds the run's character offsets (relative to the run) and its length.
template <typename Fn> void ForEachWordRun(std::string_view key, Fn &&fn)
{
    std::vector<std::size_t> starts;
    std::size_t runStart = 0;
    std::optional<CharKind> runClass; // none before the first character and after the last
    for (std::size_t pos = 0;; pos = cp932::NextChar(key, pos)) {
        const std::optional<CharKind> cls =
            pos < key.size()
                ? std::optional(CharClass(key.substr(pos, cp932::CharLength(key, pos))))
                : std::nullopt;
        if (cls != runClass) {
            if (runClass && IsWordClass(*runClass)) {
                starts.push_back(pos - runStart);
                fn(key.substr(runStart, pos - runStart), *runClass, starts);
            }
            starts.clear();
            runStart = pos;
            runClass = cls;
        }
        if (pos >= key.size())
            return;
        starts.push_back(pos - runStart);
    }
}

} // namespace

bool GapAligner::Better(const Candidate &a, const Candidate &b)
{
    if (a.score != b.score)
        return a.score < b.score;
    if (a.score != 0 && a.words != b.words)
        return a.words > b.words;
    return a.column < b.column;
}

GapAligner::GapAligner(AlignmentLists lists, ResultList::iterator before, std::int32_t a,
                       std::int32_t b, std::int32_t c, std::int32_t d,
                       const EngineThresholds &thresholds)
    : m_lists(lists), m_pending{{before, a, b, c, d}}, m_firstLeft(a + 1), m_firstRight(c + 1),
      m_rowCount(std::max(b - a - 1, 0)), m_columnCount(std::max(d - c - 1, 0))
{
    assert(b <= static_cast<std::int32_t>(lists.left.size()) &&
           d <= static_cast<std::int32_t>(lists.right.size()) && "gap beyond the sentence lists");
    const std::int64_t pairs = static_cast<std::int64_t>(m_rowCount) * m_columnCount;
    if (pairs > thresholds.directGapPairs && pairs <= kMostIndexedPairs && m_firstLeft >= 0 &&
        m_firstRight >= 0) {
        m_mode = Mode::Words;
        const std::int32_t sentences = m_rowCount + m_columnCount;
        m_words.resize(static_cast<std::size_t>(sentences));
        m_contained.resize(static_cast<std::size_t>(m_rowCount));
        std::int64_t keyBytes = 0;
        for (std::int32_t s = 0; s < sentences; ++s)
            keyBytes += static_cast<std::int64_t>(SentenceAt(s).key.size());
        m_lookupsLeft = kLookupsAlways + kLookupsPerKeyByte * keyBytes;
    }
}

Sentence &GapAligner::SentenceAt(std::int32_t sentence)
{
    return sentence < m_rowCount
               ? m_lists.left[static_cast<std::size_t>(m_firstLeft + sentence)]
               : m_lists.right[static_cast<std::size_t>(m_firstRight + sentence - m_rowCount)];
}

void GapAligner::UseDirectSearch()
{
    m_mode = Mode::Direct;
    m_dictionary = {};
    m_words = {};
    m_contained = {};
    m_occursInColumns = {};
    m_usedByColumns = {};
    m_candidates = {};
    m_nextCandidate = {};
}

void GapAligner::AddWords(std::int32_t sentence)
{
    Sentence &s = SentenceAt(sentence);
    WordCount(s);
    std::vector<WordUse> &uses = m_words[static_cast<std::size_t>(sentence)];
    ForEachWordRun(s.key, [&](std::string_view word, CharKind cls,
                              const std::vector<std::size_t> &at) {
        const auto [entry, added] =
            m_dictionary.try_emplace(word, static_cast<std::int32_t>(m_dictionary.size()));
        if (added) {
            m_occursInColumns.emplace_back();
            m_usedByColumns.emplace_back();
        }
        std::size_t &longest = m_longestWord[static_cast<std::size_t>(cls)];
        longest = std::max(longest, at.size() - 1);
        const std::int32_t id = entry->second;
        const auto same =
            std::find_if(uses.begin(), uses.end(), [id](const WordUse &u) { return u.word == id; });
        if (same != uses.end())
            ++same->count;
        else
            uses.push_back({entry->second, 1});
    });
    if (sentence >= m_rowCount)
        for (const WordUse &use : uses)
            m_usedByColumns[static_cast<std::size_t>(use.word)].emplace_back(sentence - m_rowCount,
                                                                             use.count);
}

void GapAligner::AddContained(std::int32_t sentence)
{
    // Every piece of whole characters of every word-class run, up to the longest word of the
    // class, looked up among the gap's words.
    std::vector<std::int32_t> found;
    ForEachWordRun(SentenceAt(sentence).key, [&](std::string_view run, CharKind cls,
                                                 const std::vector<std::size_t> &at) {
        const std::size_t chars = at.size() - 1;
        const std::size_t longest = m_longestWord[static_cast<std::size_t>(cls)];
        for (std::size_t from = 0; from < chars; ++from) {
            for (std::size_t to = from + 1; to <= std::min(chars, from + longest); ++to) {
                --m_lookupsLeft;
                const auto entry = m_dictionary.find(run.substr(at[from], at[to] - at[from]));
                if (entry != m_dictionary.end())
                    found.push_back(entry->second);
            }
        }
    });
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    if (sentence < m_rowCount) {
        m_contained[static_cast<std::size_t>(sentence)] = std::move(found);
        return;
    }
    for (const std::int32_t word : found)
        m_occursInColumns[static_cast<std::size_t>(word)].push_back(sentence - m_rowCount);
}

void GapAligner::ScoreRow(std::int32_t row)
{
    // Found words of each pair, for either key split: the row's words that occur in each column,
    // and each column's words that occur in the row.
    const auto columns = static_cast<std::size_t>(m_columnCount);
    std::vector<std::uint32_t> rowWordsFound(columns, 0);
    std::vector<std::uint32_t> columnWordsFound(columns, 0);
    for (const WordUse &use : m_words[static_cast<std::size_t>(row)])
        for (const std::int32_t column : m_occursInColumns[static_cast<std::size_t>(use.word)])
            rowWordsFound[static_cast<std::size_t>(column)] += use.count;
    for (const std::int32_t word : m_contained[static_cast<std::size_t>(row)])
        for (const auto &[column, count] : m_usedByColumns[static_cast<std::size_t>(word)])
            columnWordsFound[static_cast<std::size_t>(column)] += count;

    const auto wL = static_cast<std::uint32_t>(SentenceAt(row).wordCount);
    std::vector<Candidate> &candidates = m_candidates[static_cast<std::size_t>(row)];
    candidates.reserve(columns);
    for (std::int32_t column = 0; column < m_columnCount; ++column) {
        const auto wR = static_cast<std::uint32_t>(SentenceAt(m_rowCount + column).wordCount);
        // The key with more words is split; on equal counts, the left one.
        const std::uint32_t score = wL < wR
                                        ? wR - columnWordsFound[static_cast<std::size_t>(column)]
                                        : wL - rowWordsFound[static_cast<std::size_t>(column)];
        candidates.push_back({score, std::max(wL, wR), column});
    }
    SortBestFirst(candidates);
    m_nextCandidate[static_cast<std::size_t>(row)] = 0;
}

void GapAligner::SortBestFirst(std::vector<Candidate> &candidates)
{
    // Scores and word counts are small numbers, so two stable counting passes (more words
    // first, then lower scores first) order the row in linear time; the columns start in
    // ascending order and stay so among equals. Score-0 candidates are ordered by column alone.
    const auto wordsKey = [](const Candidate &c) { return c.score == 0 ? 0u : c.words; };
    std::uint32_t mostWords = 0;
    for (const Candidate &c : candidates)
        mostWords = std::max(mostWords, wordsKey(c));
    if (mostWords > kMostCountingKeysPerCandidate * candidates.size() + kMostCountingKeys) {
        std::sort(candidates.begin(), candidates.end(), Better);
        return;
    }
    // A score never exceeds the pair's word count.
    const auto pass = [&](auto key, std::size_t keys) {
        std::vector<std::uint32_t> &starts = m_countingStarts;
        starts.assign(keys + 1, 0);
        for (const Candidate &c : candidates)
            ++starts[key(c) + 1];
        for (std::size_t k = 1; k <= keys; ++k)
            starts[k] += starts[k - 1];
        m_sortScratch.resize(candidates.size());
        for (const Candidate &c : candidates)
            m_sortScratch[starts[key(c)]++] = c;
        candidates.swap(m_sortScratch);
    };
    pass([&](const Candidate &c) { return mostWords - wordsKey(c); }, mostWords + 1);
    pass([](const Candidate &c) { return c.score; }, mostWords + 1);
}

bool GapAligner::IndexStep(WorkBudget &budget)
{
    const std::int32_t sentences = m_rowCount + m_columnCount;
    while (m_mode != Mode::Indexed) {
        if (budget.Exhausted())
            return false;
        switch (m_mode) {
        case Mode::Words:
            AddWords(m_next);
            budget.Spend(static_cast<std::int64_t>(SentenceAt(m_next).key.size()) + 1);
            if (++m_next == sentences) {
                m_next = 0;
                m_mode = Mode::Contained;
            }
            break;
        case Mode::Contained: {
            const std::int64_t before = m_lookupsLeft;
            AddContained(m_next);
            budget.Spend(before - m_lookupsLeft + 1);
            if (m_lookupsLeft < 0) {
                UseDirectSearch();
                return true;
            }
            if (++m_next == sentences) {
                m_next = 0;
                m_candidates.resize(static_cast<std::size_t>(m_rowCount));
                m_nextCandidate.resize(static_cast<std::size_t>(m_rowCount));
                m_mode = Mode::Rows;
            }
            break;
        }
        case Mode::Rows:
            ScoreRow(m_next);
            budget.Spend(m_columnCount + 1);
            if (++m_next == m_rowCount) {
                m_dictionary = {}; // only the candidates are needed from here on
                m_words = {};
                m_contained = {};
                m_occursInColumns = {};
                m_usedByColumns = {};
                m_sortScratch = {};
                m_countingStarts = {};
                m_mode = Mode::Indexed;
            }
            break;
        case Mode::Direct:
        case Mode::Indexed:
            return true;
        }
    }
    return true;
}

std::optional<std::pair<std::int32_t, std::int32_t>> GapAligner::IndexedBestPair(const Gap &gap,
                                                                                 WorkBudget &budget)
{
    // FindBestPair steps once per left sentence it scans: all of them, or up to the one where a
    // score of 0 ends the scan.
    const auto scanned = [&](std::int32_t rows) {
        for (std::int32_t n = 0; n < rows; ++n)
            m_lists.progress.Step();
    };
    std::optional<std::pair<std::int32_t, Candidate>> best; // row and candidate
    for (std::int32_t i = gap.a + 1; i < gap.b; ++i) {
        const auto row = static_cast<std::size_t>(i - m_firstLeft);
        const std::vector<Candidate> &candidates = m_candidates[row];
        std::size_t &next = m_nextCandidate[row];
        // A candidate outside this sub-gap is outside every later one of this row too.
        while (next < candidates.size()) {
            const std::int32_t j = m_firstRight + candidates[next].column;
            if (j > gap.c && j < gap.d)
                break;
            ++next;
            budget.Spend(1);
        }
        budget.Spend(1);
        assert(next < candidates.size() && "a row of a sub-gap keeps its sub-gap's columns");
        if (next == candidates.size())
            continue;
        const Candidate &top = candidates[next];
        if (top.score == 0) {
            scanned(i - gap.a);
            return std::pair{i, m_firstRight + top.column};
        }
        if (!best || top.score < best->second.score ||
            (top.score == best->second.score && top.words > best->second.words))
            best = std::pair{i, top};
    }
    scanned(gap.b - gap.a - 1);
    if (!best)
        return std::nullopt;
    return std::pair{best->first, m_firstRight + best->second.column};
}

std::optional<std::pair<std::int32_t, std::int32_t>> GapAligner::BestPair(const Gap &gap,
                                                                          WorkBudget &budget)
{
    if (m_mode == Mode::Indexed)
        return IndexedBestPair(gap, budget);
    if (gap.b - gap.a == 2 && gap.d - gap.c == 2) {
        // One sentence on each side: they pair whatever their score.
        m_lists.progress.Step();
        return std::pair{gap.a + 1, gap.c + 1};
    }
    budget.Spend(static_cast<std::int64_t>(gap.b - gap.a - 1) * (gap.d - gap.c - 1));
    const std::optional<ResultPair> pair =
        FindBestPair(m_lists.left, m_lists.right, gap.a, gap.b, gap.c, gap.d, m_lists.progress);
    if (!pair)
        return std::nullopt;
    return std::pair{pair->leftIndex, pair->rightIndex};
}

bool GapAligner::Run(WorkBudget &budget)
{
    if (!IndexStep(budget))
        return false;
    // A work stack instead of recursion: the part before a pair is aligned first, then the part
    // after it, exactly as nested calls would, but without a call depth that grows with the gap.
    while (!m_pending.empty()) {
        if (budget.Exhausted())
            return false;
        const Gap gap = m_pending.back();
        m_pending.pop_back();
        if (gap.b - gap.a > 1 && gap.d - gap.c > 1) {
            const auto pair = BestPair(gap, budget);
            if (!pair)
                continue; // the rest of this gap gets no records
            const auto [i, j] = *pair;
            if (m_mode == Mode::Indexed) // the row is paired: its candidates are done with
                std::vector<Candidate>().swap(
                    m_candidates[static_cast<std::size_t>(i - m_firstLeft)]);
            const ResultList::iterator q = m_lists.results.insert(
                gap.before, ResultPair{i, j, TextStatus::Changed, 1,
                                       m_lists.left[static_cast<std::size_t>(i)].text,
                                       m_lists.right[static_cast<std::size_t>(j)].text});
            m_pending.push_back({gap.before, i, gap.b, j, gap.d}); // after the pair, second
            m_pending.push_back({q, gap.a, i, gap.c, j});          // before the pair, first
        } else if (gap.b - gap.a > 1) {
            EmitLeftOnly(m_lists, gap.before, gap.a, gap.b);
            budget.Spend(gap.b - gap.a);
        } else if (gap.d - gap.c > 1) {
            EmitRightOnly(m_lists, gap.before, gap.c, gap.d);
            budget.Spend(gap.d - gap.c);
        }
    }
    m_candidates = {};
    m_nextCandidate = {};
    return true;
}

} // namespace kivo
