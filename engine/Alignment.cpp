#include "Alignment.h"
#include "ListSize.h"

#include "Cp932.h"
#include "GapAligner.h"

#include <algorithm>
#include <cassert>
#include <optional>
#include <utility>

namespace kivo {

namespace {

// Two-byte ranges: first byte, then second-byte bounds (inclusive).
constexpr unsigned char kKanaRow = 0x82;         // full-width digits, Latin letters, hiragana
constexpr unsigned char kKatakanaRow = 0x83;     // ァ-ヴ
constexpr unsigned char kKanjiRow = 0x88;        // kanji start at 0x889F
constexpr unsigned char kKanjiFirstTrail = 0x9F; // in row 0x88
constexpr unsigned char kHiraganaFirst = 0x9F, kHiraganaLast = 0xF1;
constexpr unsigned char kKatakanaFirst = 0x40, kKatakanaLast = 0x94;
constexpr unsigned char kDigitFirst = 0x4F, kDigitLast = 0x58;
constexpr unsigned char kLatinFirst = 0x60, kLatinLast = 0x9A;

// One byte from here up that is not a lead byte is half-width katakana.
constexpr unsigned char kHalfWidthKanaFirst = 0xA6;

// Key bytes hashed per work unit while the anchor index is built.
constexpr std::size_t kKeyBytesPerUnit = 64;
// Anchor index slots: at least two per sentence, so that probes stay short; cleared a quarter
// page per work unit.
constexpr std::size_t kAnchorSlotsPerSentence = 2;
constexpr std::size_t kMinimumAnchorSlots = 16;
constexpr std::size_t kSlotsClearedPerUnit = 256;

// Start value of the best score: any first candidate is accepted.
constexpr std::uint32_t kNoScore = 0xFFFFFFFF;

bool InRange(unsigned char b, unsigned char first, unsigned char last)
{
    return b >= first && b <= last;
}

CharKind DoubleByteClass(unsigned char b0, unsigned char b1)
{
    if (b0 == kKanaRow && InRange(b1, kHiraganaFirst, kHiraganaLast))
        return CharKind::Hiragana;
    if (b0 == kKatakanaRow && InRange(b1, kKatakanaFirst, kKatakanaLast))
        return CharKind::Katakana;
    if (b0 == kKanaRow && InRange(b1, kDigitFirst, kDigitLast))
        return CharKind::FullWidthDigit;
    if (b0 == kKanaRow && InRange(b1, kLatinFirst, kLatinLast))
        return CharKind::FullWidthLatin;
    if (b0 > kKanjiRow || (b0 == kKanjiRow && b1 >= kKanjiFirstTrail))
        return CharKind::Kanji;
    return CharKind::Symbol;
}

CharKind SingleByteClass(unsigned char b)
{
    if (b == ' ' || InRange(b, '\t', '\r'))
        return CharKind::Punctuation;
    if (InRange(b, '0', '9'))
        return CharKind::AsciiDigit;
    if (InRange(b, 'A', 'Z') || InRange(b, 'a', 'z'))
        return CharKind::AsciiLetter;
    return b >= kHalfWidthKanaFirst ? CharKind::HalfWidthKana : CharKind::Punctuation;
}

/// Whether word occurs in text as a sequence of whole characters. A byte match that starts or
/// ends inside a two-byte character of text (a letter matching the trail byte of 。, say) is no
/// occurrence.
bool ContainsWord(std::string_view text, std::string_view word)
{
    return cp932::FindWhole(text, word) != std::string_view::npos;
}

ResultPair MakeRecord(std::int32_t leftIndex, std::int32_t rightIndex, TextStatus status,
                      std::string leftText, std::string rightText)
{
    return ResultPair{leftIndex, rightIndex, status, 1, std::move(leftText), std::move(rightText)};
}

using IndexPair = std::pair<std::int32_t, std::int32_t>;

/// The left and right index of the best pair of the gap (see FindBestPair).
std::optional<IndexPair> BestPairIndices(SentenceList &left, SentenceList &right, std::int32_t a,
                                         std::int32_t b, std::int32_t c, std::int32_t d,
                                         IProgress &progress)
{
    assert(b <= Size(left) && d <= Size(right) && "gap beyond the sentence lists");
    if (a + 1 >= b)
        return std::nullopt;
    std::uint32_t best = kNoScore;
    std::uint32_t bestWords = 0;
    std::optional<IndexPair> result;
    for (std::int32_t i = a + 1; i < b; ++i) {
        progress.Step();
        Sentence &l = left[static_cast<std::size_t>(i)];
        const std::uint32_t wL = WordCount(l);
        for (std::int32_t j = c + 1; j < d; ++j) {
            Sentence &r = right[static_cast<std::size_t>(j)];
            const std::uint32_t wR = WordCount(r);
            // The key with more words is split; on equal counts, the left one.
            const bool splitRight = wL < wR;
            const std::uint32_t words = splitRight ? wR : wL;
            const std::uint32_t score = splitRight ? WordMatchScore(l.key, r.key, words, best)
                                                   : WordMatchScore(r.key, l.key, words, best);
            if (score < best || (score == best && words > bestWords)) {
                result = IndexPair{i, j};
                if (score == 0)
                    return result; // every word found: nothing can do better
                best = score;
                bestWords = words;
            }
        }
    }
    return result;
}

} // namespace

CharKind CharClass(std::string_view character)
{
    if (character.empty())
        return CharKind::Punctuation;
    const auto b0 = static_cast<unsigned char>(character[0]);
    if (character.size() >= 2 && cp932::IsLeadByte(b0))
        return DoubleByteClass(b0, static_cast<unsigned char>(character[1]));
    return SingleByteClass(b0);
}

bool IsWordClass(CharKind charClass)
{
    switch (charClass) {
    case CharKind::AsciiLetter:
    case CharKind::HalfWidthKana:
    case CharKind::FullWidthLatin:
    case CharKind::Katakana:
    case CharKind::Hiragana:
    case CharKind::Kanji:
        return true;
    default:
        return false;
    }
}

std::uint32_t WordCount(Sentence &sentence)
{
    if (sentence.wordCount != 0)
        return static_cast<std::uint32_t>(sentence.wordCount);
    WordCounter counter;
    counter.Add(sentence.key);
    sentence.wordCount = static_cast<std::int32_t>(counter.Count());
    return counter.Count();
}

void WordCounter::Add(std::string_view keyPiece)
{
    cp932::ForEachChar(keyPiece, [&](std::string_view character) {
        const CharKind cls = CharClass(character);
        if (m_previous && cls != *m_previous && IsWordClass(*m_previous))
            ++m_count;
        m_previous = cls;
    });
}

std::uint32_t WordMatchScore(std::string_view searchIn, std::string_view split, std::uint32_t words,
                             std::uint32_t bound)
{
    std::size_t wordStart = 0;
    std::optional<CharKind> prev; // none before the first character
    for (std::size_t pos = 0; pos < split.size();) {
        const std::size_t len = cp932::CharLength(split, pos);
        const CharKind cls = CharClass(split.substr(pos, len));
        if (prev && cls != *prev) {
            if (IsWordClass(*prev)) {
                if (ContainsWord(searchIn, split.substr(wordStart, pos - wordStart)))
                    --words;
                else if (bound == 0)
                    return words;
                else
                    --bound;
            }
            wordStart = pos;
        }
        prev = cls;
        pos += len;
    }
    if (prev && IsWordClass(*prev) && ContainsWord(searchIn, split.substr(wordStart)))
        --words;
    return words;
}

void AnchorIndex::Build(const SentenceList &right)
{
    Clear();
    WorkBudget unlimited = WorkBudget::Unlimited();
    Build(right, unlimited);
}

bool AnchorIndex::Build(const SentenceList &right, WorkBudget &budget)
{
    if (m_right != &right) {
        Clear();
        m_right = &right;
        std::size_t slots = kMinimumAnchorSlots;
        while (slots < kAnchorSlotsPerSentence * right.size())
            slots *= 2;
        // Reserving does not touch the pages; the slots are cleared below, in slices.
        m_slots.reserve(slots);
        m_next.reserve(right.size());
        m_last.reserve(right.size());
        m_cursor.reserve(right.size());
    }
    while (m_slots.size() < m_slots.capacity()) {
        if (budget.Exhausted())
            return false;
        m_slots.resize(std::min(m_slots.capacity(), m_slots.size() + kSlotsClearedPerUnit), -1);
        budget.Spend(1);
    }
    for (std::size_t j = m_next.size(); j < right.size(); ++j) {
        if (budget.Exhausted())
            return false;
        const std::string &key = right[j].key;
        const auto index = static_cast<std::int32_t>(j);
        std::int32_t &slot = m_slots[SlotOf(key)];
        if (slot < 0) {
            slot = index;
        } else {
            std::int32_t &last = m_last[static_cast<std::size_t>(slot)];
            m_next[static_cast<std::size_t>(last)] = index;
            last = index;
        }
        m_next.push_back(-1);
        m_last.push_back(index);
        m_cursor.push_back(index);
        budget.Spend(1 + static_cast<std::int64_t>(key.size() / kKeyBytesPerUnit));
    }
    return true;
}

void AnchorIndex::Clear()
{
    m_right = nullptr;
    m_slots = {};
    m_next = {};
    m_last = {};
    m_cursor = {};
    m_mostAnchorRight = -1;
}

std::size_t AnchorIndex::SlotOf(std::string_view key) const
{
    const std::size_t mask = m_slots.size() - 1;
    std::size_t s = std::hash<std::string_view>{}(key)&mask;
    while (m_slots[s] >= 0 && (*m_right)[static_cast<std::size_t>(m_slots[s])].key != key)
        s = (s + 1) & mask;
    return s;
}

std::int32_t AnchorIndex::FirstWithKey(std::string_view key) const
{
    if (!m_right || m_slots.empty())
        return -1;
    return m_slots[SlotOf(key)];
}

std::optional<std::int32_t> AnchorIndex::FindAnchor(std::string_view key, std::int32_t &anchorRight,
                                                    IProgress &progress) const
{
    progress.Step();
    if (!m_right || m_slots.empty())
        return std::nullopt;
    const std::int32_t first = m_slots[SlotOf(key)];
    if (first < 0)
        return std::nullopt;
    // Sentences a smaller anchorRight passed over lie before every later, larger one too.
    const bool growing = anchorRight >= m_mostAnchorRight;
    std::int32_t at = growing ? m_cursor[static_cast<std::size_t>(first)] : first;
    while (at >= 0 && at <= anchorRight)
        at = m_next[static_cast<std::size_t>(at)];
    if (growing) {
        m_mostAnchorRight = anchorRight;
        m_cursor[static_cast<std::size_t>(first)] = at;
    }
    if (at < 0)
        return std::nullopt;
    anchorRight = at;
    return anchorRight;
}

void AlignGap(AlignmentLists &lists, ResultList::iterator before, std::int32_t a, std::int32_t b,
              std::int32_t c, std::int32_t d, const EngineThresholds &thresholds)
{
    WorkBudget unlimited = WorkBudget::Unlimited();
    GapAligner(lists, before, a, b, c, d, thresholds).Run(unlimited);
}

std::optional<ResultPair> FindBestPair(SentenceList &left, SentenceList &right, std::int32_t a,
                                       std::int32_t b, std::int32_t c, std::int32_t d,
                                       IProgress &progress)
{
    const std::optional<IndexPair> best = BestPairIndices(left, right, a, b, c, d, progress);
    if (!best)
        return std::nullopt;
    return MakeRecord(best->first, best->second, TextStatus::Changed,
                      left[static_cast<std::size_t>(best->first)].text,
                      right[static_cast<std::size_t>(best->second)].text);
}

void EmitLeftOnly(AlignmentLists &lists, ResultList::iterator before, std::int32_t a,
                  std::int32_t b)
{
    lists.progress.Step();
    for (std::int32_t i = std::max(a + 1, 0); i < std::min(b, Size(lists.left)); ++i)
        lists.results.insert(before, MakeRecord(i, 0, TextStatus::Deleted,
                                                lists.left[static_cast<std::size_t>(i)].text, {}));
}

void EmitRightOnly(AlignmentLists &lists, ResultList::iterator before, std::int32_t c,
                   std::int32_t d)
{
    lists.progress.Step();
    for (std::int32_t j = std::max(c + 1, 0); j < std::min(d, Size(lists.right)); ++j)
        lists.results.insert(before, MakeRecord(0, j, TextStatus::Added, {},
                                                lists.right[static_cast<std::size_t>(j)].text));
}

} // namespace kivo
