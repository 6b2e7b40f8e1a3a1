#include "Splitter.h"

#include "Cp932.h"
#include "Normalize.h"

#include <algorithm>

namespace kivo {
namespace {

using cp932::IsLineBreak;

// Sentences from this size on are copied out of the text and keyed over several steps of this
// many bytes of text each (a millisecond or two), so that no step takes time in proportion to a
// sentence of megabytes.
constexpr std::size_t kLongSentenceBytes = std::size_t{1} << 20;
constexpr std::size_t kLongSentenceBytesPerStep = std::size_t{256} << 10;

bool IsBreakByte(char c)
{
    return IsLineBreak(static_cast<unsigned char>(c));
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

LongSentenceMaker::LongSentenceMaker(std::string_view text, const CompareOptions &options)
    : m_options(options), m_text(text)
{
    // One allocation, whose pages are touched piece by piece: growing the text or the key as
    // they are made would copy megabytes in one step. The key is at most as long as the text
    // unless a rule widens half-width kana.
    m_sentence.text.reserve(text.size());
    m_sentence.key.reserve(text.size());
}

bool LongSentenceMaker::Step(std::size_t bytes)
{
    const std::size_t end = KeyPieceEnd(m_text, m_done, bytes);
    const std::string_view piece = m_text.substr(m_done, end - m_done);
    m_sentence.text += piece;
    const std::string key = MakeSentenceKey(piece, m_options);
    m_sentence.key += key;
    m_words.Add(key);
    m_done = end;
    if (m_done < m_text.size())
        return false;
    m_sentence.wordCount = static_cast<std::int32_t>(m_words.Count());
    return true;
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
    m_longSentence.reset();
    m_sentenceStart = 0;
    m_splitPos = 0;
    m_quoteDepth.Reset();
    m_paragraphEnds.clear();
    m_trimmed = {};
}

std::string_view SentenceSplitter::TrimBreaksCounted(std::string_view sentence)
{
    // Line-break bytes are never trail bytes, so trimming bytes never splits a character.
    const std::size_t size = sentence.size();
    const auto lead = static_cast<std::int32_t>(
        std::find_if_not(sentence.begin(), sentence.end(), IsBreakByte) - sentence.begin());
    while (!sentence.empty() && IsBreakByte(sentence.back()))
        sentence.remove_suffix(1);
    sentence.remove_prefix(std::min(sentence.size(), static_cast<std::size_t>(lead)));
    std::int32_t &gap = m_trimmed.after.empty() ? m_trimmed.leading : m_trimmed.after.back();
    if (sentence.empty()) {
        gap += static_cast<std::int32_t>(size);
        return sentence;
    }
    gap += lead;
    m_trimmed.after.push_back(static_cast<std::int32_t>(size - sentence.size()) - lead);
    return sentence;
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
    if (m_longSentence) {
        if (!m_longSentence->Step(kLongSentenceBytesPerStep))
            return false;
        list.push_back(m_longSentence->Take());
        m_longSentence.reset();
        return EndStep(text);
    }
    // The text ends at its size. The windows never hand over NUL bytes, and a NUL in the text is
    // kept as an ordinary character, so splitting never drops bytes.
    auto atEnd = [&] { return static_cast<std::size_t>(m_splitPos) >= text.size(); };
    int read = 0;
    while (!atEnd()) {
        const auto pos = static_cast<std::size_t>(m_splitPos);
        const std::size_t len = cp932::CharLength(text, pos);
        const std::string_view character = text.substr(pos, len);
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
        // and go on with the unfinished sentence at the next call.
        if (++read >= kSplitBudget)
            return false;
    }

    if (m_splitPos > m_sentenceStart) {
        std::string_view sentence =
            text.substr(static_cast<std::size_t>(m_sentenceStart),
                        static_cast<std::size_t>(m_splitPos - m_sentenceStart));
        m_sentenceStart = m_splitPos;
        m_progress.Step();
        const bool leads = IsBreakByte(sentence.front());
        const bool trails = IsBreakByte(sentence.back());
        if (m_options.ViewFormat == SentenceLayout::Aligned)
            sentence = TrimBreaksCounted(sentence);
        NoteParagraphEnds(leads, trails, !sentence.empty());
        if (sentence.size() >= kLongSentenceBytes) {
            m_longSentence.emplace(sentence, m_options);
            return false;
        }
        if (!sentence.empty())
            list.push_back(MakeSentence(sentence, m_options));
    }
    return EndStep(text);
}

bool SentenceSplitter::EndStep(std::string_view text)
{
    if (static_cast<std::size_t>(m_splitPos) < text.size())
        return false;
    if (!m_paragraphEnds.empty())
        m_paragraphEnds.back() = true;
    m_splitPos = 0;
    m_sentenceStart = 0;
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
