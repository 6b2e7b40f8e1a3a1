#pragma once

#include "Alignment.h"
#include "CompareOptions.h"
#include "Progress.h"
#include "QuoteDepth.h"
#include "Sentence.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kivo {

/// The line breaks trimmed from the ends of a text's sentences (the aligned layout keeps none
/// there), counted in line-break bytes: those before the first sentence, and after[i] those
/// between sentence i and the next (after the last: up to the text's end). A run of empty lines
/// that makes no sentence counts in the gap it stands in.
struct TrimmedBreaks {
    std::int32_t leading = 0;
    std::vector<std::int32_t> after;
    friend bool operator==(const TrimmedBreaks &, const TrimmedBreaks &) = default;
};

/// Makes a sentence of a long text as MakeSentence does, with its word count (WordCount) already
/// cached, but copies and keys the text a bounded number of bytes a step, so that no step takes
/// time in proportion to the length of the sentence. The text must outlive the maker.
class LongSentenceMaker {
public:
    LongSentenceMaker(std::string_view text, const CompareOptions &options);
    /// Makes at least bytes more bytes of the text (or the rest); true once the sentence is made.
    bool Step(std::size_t bytes);
    /// The sentence, once Step returned true.
    Sentence Take() { return std::move(m_sentence); }

private:
    const CompareOptions &m_options;
    std::string_view m_text;
    Sentence m_sentence;
    std::size_t m_done = 0; ///< bytes of the text copied and keyed so far
    WordCounter m_words;
};

/// Cuts a text into sentences a bounded number of characters at a time, keeping the unfinished
/// sentence between calls. The options and the progress indicator are borrowed and must outlive
/// the object.
class SentenceSplitter {
public:
    SentenceSplitter(const CompareOptions &options, IProgress &progress)
        : m_options(options), m_progress(progress)
    {}

    /// Forgets any unfinished sentence and takes the delimiter set of the next texts, as made by
    /// MakeActiveDelimiters.
    void Reset(std::string activeDelimiters);

    /// Reads up to kSplitBudget characters of text into the pending sentence and finishes at most
    /// one sentence into list; a sentence of megabytes is finished over further steps. Returns true
    /// once the end of the text is reached; the splitter is then ready for the next text with the
    /// same delimiters. Every call until then must pass the same text, which the pending sentence
    /// is read from.
    bool SplitStep(SentenceList &list, std::string_view text);

    /// Byte offset of the first occurrence, within the first kDelimiterProbeBytes bytes of text,
    /// of the first delimiter (in set order) of the active set that occurs there;
    /// kDelimiterProbeBytes when there is none.
    std::int32_t FirstDelimiterOffset(std::string_view text) const;

    const std::string &ActiveDelimiters() const { return m_delimiters; }
    /// Byte offset where the next step goes on reading; 0 between texts.
    std::int32_t Position() const { return m_splitPos; }

    /// For each sentence of the text split last (or being split), whether it ends a paragraph:
    /// a line break follows it in the text (also one that trimming removed, or one that is a
    /// delimiter of its own), or it is the text's last sentence. Hands the flags over and starts
    /// a new list; a comparison table groups its rows by them, as the records carry no line
    /// breaks once they are trimmed.
    std::vector<bool> TakeParagraphEnds() { return std::exchange(m_paragraphEnds, {}); }

    /// The line breaks the aligned layout trimmed away around the sentences of the text split
    /// last (or being split), so that the text can be told back whole. Hands them over.
    TrimmedBreaks TakeTrimmedBreaks() { return std::exchange(m_trimmed, {}); }

private:
    /// Notes the paragraph ends that a finished pending sentence shows: whether it began and
    /// ended with a line break before trimming, and whether it is kept as a sentence.
    void NoteParagraphEnds(bool leads, bool trails, bool kept);
    /// The finished sentence without the line breaks at its ends, which are counted in m_trimmed.
    std::string_view TrimBreaksCounted(std::string_view sentence);
    /// Ends the step after a sentence: true at the end of the text, which readies the splitter
    /// for the next one.
    bool EndStep(std::string_view text);

    const CompareOptions &m_options;
    IProgress &m_progress;
    std::string m_delimiters;
    /// Where the pending sentence starts in the text; it ends at m_splitPos.
    std::int32_t m_sentenceStart = 0;
    /// A finished sentence of megabytes whose key is still being made.
    std::optional<LongSentenceMaker> m_longSentence;
    std::int32_t m_splitPos = 0;
    /// Bracket depth of the text being split, while KeepQuotes is on.
    QuoteDepth m_quoteDepth;
    std::vector<bool> m_paragraphEnds;
    TrimmedBreaks m_trimmed;
};

/// The delimiter set of a comparison: the set with every backslash-n (on character boundaries)
/// replaced by one carriage return.
std::string MakeActiveDelimiters(std::string_view delimiterSet);

/// Bytes read by FirstDelimiterOffset; a longer text without a delimiter there gets a warning.
inline constexpr std::int32_t kDelimiterProbeBytes = 800;

} // namespace kivo
