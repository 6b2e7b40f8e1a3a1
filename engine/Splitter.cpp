#include "Splitter.h"

#include "Cp932.h"
#include "Normalize.h"

#include <algorithm>

namespace kivo {
namespace {

using cp932::IsLineBreak;

// Pending sentences from this size on become the sentence's text without a copy.
constexpr std::size_t kTakeOverBytes = std::size_t{1} << 20;

/// Removes line breaks from both ends: first the trailing ones, then the leading ones. Line-break
/// bytes are never trail bytes, so trimming bytes never splits a character.
void TrimLineBreaks(std::string &text)
{
    while (!text.empty() && IsLineBreak(static_cast<unsigned char>(text.back())))
        text.pop_back();
    std::size_t lead = 0;
    while (lead < text.size() && IsLineBreak(static_cast<unsigned char>(text[lead])))
        ++lead;
    text.erase(0, lead);
}

} // namespace

Sentence MakeSentence(std::string_view text, const CompareOptions &options)
{
    return Sentence{std::string(text), MakeSentenceKey(text, options), 0};
}

Sentence MakeSentence(std::string &&text, const CompareOptions &options)
{
    std::string key = MakeSentenceKey(text, options);
    return Sentence{std::move(text), std::move(key), 0};
}

bool IsDelimiter(std::string_view character, std::string_view delimiters, bool doubleByte)
{
    bool found = false;
    cp932::ForEachChar(delimiters, [&](std::string_view delimiter) {
        if (found)
            return;
        if (doubleByte)
            found = delimiter.size() == 2 && delimiter == character;
        else
            found = delimiter.size() == 1 && delimiter[0] == character[0];
    });
    return found;
}

std::string MakeActiveDelimiters(std::string_view delimiterSet)
{
    std::string result;
    result.reserve(delimiterSet.size());
    for (std::size_t pos = 0; pos < delimiterSet.size();) {
        const std::size_t next = cp932::NextChar(delimiterSet, pos);
        if (delimiterSet[pos] == '\\' && next == pos + 1 && next < delimiterSet.size() &&
            delimiterSet[next] == 'n') {
            result += static_cast<char>(cp932::kCarriageReturn);
            pos = next + 1;
        } else {
            result.append(delimiterSet, pos, next - pos);
            pos = next;
        }
    }
    return result;
}

void SentenceSplitter::Reset(std::string activeDelimiters)
{
    m_delimiters = std::move(activeDelimiters);
    m_pendingSentence.clear();
    m_splitPos = 0;
    m_quoteDepth.Reset();
    m_paragraphEnds.clear();
    m_trimmed = {};
}

void SentenceSplitter::TrimBreaksCounted(std::string &sentence)
{
    const std::size_t size = sentence.size();
    const auto isBreak = [](char c) { return IsLineBreak(static_cast<unsigned char>(c)); };
    const auto lead = static_cast<std::int32_t>(
        std::find_if_not(sentence.begin(), sentence.end(), isBreak) - sentence.begin());
    TrimLineBreaks(sentence);
    std::int32_t &gap = m_trimmed.after.empty() ? m_trimmed.leading : m_trimmed.after.back();
    if (sentence.empty()) {
        gap += static_cast<std::int32_t>(size);
        return;
    }
    gap += lead;
    m_trimmed.after.push_back(static_cast<std::int32_t>(size - sentence.size()) - lead);
}

void SentenceSplitter::NoteParagraphEnds(bool leads, bool trails, bool kept)
{
    // A line break read after the previous sentence's delimiter starts this pending sentence; a
    // pending sentence that trimming leaves empty was nothing but line breaks.
    if (!m_paragraphEnds.empty() && (leads || !kept))
        m_paragraphEnds.back() = true;
    if (kept)
        m_paragraphEnds.push_back(trails);
}

bool SentenceSplitter::SplitStep(SentenceList &list, std::string_view text)
{
    // The text ends at its size. The windows never hand over NUL bytes, and a NUL in the text is
    // kept as an ordinary character, so splitting never drops bytes.
    auto atEnd = [&] { return static_cast<std::size_t>(m_splitPos) >= text.size(); };
    int read = 0;
    while (!atEnd()) {
        const auto pos = static_cast<std::size_t>(m_splitPos);
        const std::size_t len = cp932::CharLength(text, pos);
        const std::string_view character = text.substr(pos, len);
        m_pendingSentence += character;
        m_splitPos += static_cast<std::int32_t>(len);
        bool ends = IsDelimiter(character, m_delimiters, len == 2);
        if (m_options.KeepQuotes) {
            const auto next = static_cast<std::size_t>(m_splitPos);
            const std::string_view nextCharacter =
                next < text.size() ? text.substr(next, cp932::CharLength(text, next))
                                   : std::string_view();
            ends = m_quoteDepth.EndsSentence(character, ends, nextCharacter);
        }
        if (ends)
            break;
        // The character just read was tested as a delimiter; yield once the budget is used up
        // and keep the unfinished sentence for the next call.
        if (++read >= kSplitBudget)
            return false;
    }

    if (!m_pendingSentence.empty()) {
        m_progress.Step();
        const auto isBreak = [](char c) { return IsLineBreak(static_cast<unsigned char>(c)); };
        const bool leads = isBreak(m_pendingSentence.front());
        const bool trails = isBreak(m_pendingSentence.back());
        if (m_options.ViewFormat == SentenceLayout::Aligned)
            TrimBreaksCounted(m_pendingSentence);
        NoteParagraphEnds(leads, trails, !m_pendingSentence.empty());
        // A sentence of megabytes takes the pending buffer over: copying it would make the step
        // that finishes it a long one. Shorter ones are copied to their exact size.
        if (m_pendingSentence.size() >= kTakeOverBytes)
            list.push_back(MakeSentence(std::move(m_pendingSentence), m_options));
        else if (!m_pendingSentence.empty())
            list.push_back(MakeSentence(m_pendingSentence, m_options));
        m_pendingSentence.clear();
    }

    if (!atEnd())
        return false;
    if (!m_paragraphEnds.empty())
        m_paragraphEnds.back() = true;
    m_splitPos = 0;
    m_quoteDepth.Reset();
    return true;
}

std::int32_t SentenceSplitter::FirstDelimiterOffset(std::string_view text) const
{
    // Only offsets below the probe length count; a character that starts there may still need
    // its trail byte, so keep one byte more.
    const std::string_view probe =
        text.substr(0, std::min(text.size(), static_cast<std::size_t>(kDelimiterProbeBytes) + 1));
    std::int32_t result = kDelimiterProbeBytes;
    bool done = false;
    cp932::ForEachChar(m_delimiters, [&](std::string_view delimiter) {
        if (done || (delimiter.size() == 1 && text.empty()))
            return;
        const std::size_t at = cp932::FindWhole(probe, delimiter);
        if (at != std::string_view::npos && at < static_cast<std::size_t>(kDelimiterProbeBytes)) {
            result = static_cast<std::int32_t>(at);
            done = true;
        }
    });
    return result;
}

} // namespace kivo
