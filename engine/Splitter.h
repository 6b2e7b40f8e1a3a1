#pragma once

#include "Progress.h"
#include "QuoteDepth.h"
#include "CompareOptions.h"
#include "Sentence.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kivo {

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
    /// one sentence into list. Returns true once the end of the text is reached; the splitter is
    /// then ready for the next text with the same delimiters.
    bool SplitStep(SentenceList &list, std::string_view text);

    /// Byte offset of the first occurrence, within the first kDelimiterProbeBytes bytes of text,
    /// of the first delimiter (in set order) of the active set that occurs there;
    /// kDelimiterProbeBytes when there is none.
    std::int32_t FirstDelimiterOffset(std::string_view text) const;

    const std::string &ActiveDelimiters() const { return m_delimiters; }
    /// Byte offset where the next step goes on reading; 0 between texts.
    std::int32_t Position() const { return m_splitPos; }

private:
    const CompareOptions &m_options;
    IProgress &m_progress;
    std::string m_delimiters;
    std::string m_pendingSentence;
    std::int32_t m_splitPos = 0;
    /// Bracket depth of the text being split, while KeepQuotes is on.
    QuoteDepth m_quoteDepth;
};

/// The delimiter set of a comparison: the set with every backslash-n (on character boundaries)
/// replaced by one carriage return.
std::string MakeActiveDelimiters(std::string_view delimiterSet);

/// Bytes read by FirstDelimiterOffset; a longer text without a delimiter there gets a warning.
inline constexpr std::int32_t kDelimiterProbeBytes = 800;

} // namespace kivo
