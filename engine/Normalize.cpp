#include "Normalize.h"

#include "Cp932.h"
#include "WidthTables.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

namespace kivo {
namespace {

struct LowerCasePair {
    std::uint16_t code;
    std::uint16_t lower;
};

constexpr LowerCasePair kLowerCaseRows[] = {
#include "LowerCaseTable.inc"
};
constexpr std::span<const LowerCasePair> kLowerCase{kLowerCaseRows};

static_assert(std::is_sorted(kLowerCase.begin(), kLowerCase.end(),
                             [](const LowerCasePair &a, const LowerCasePair &b) {
                                 return a.code < b.code;
                             }),
              "the lower-case table is searched by binary search");

constexpr std::string_view kFullWidthSpace = "\x81\x40";
constexpr char kBlank = ' ';

/// Index (in characters) of the two-byte character ch in a string of two-byte characters, or -1.
int IndexOfTwoByte(std::string_view table, std::string_view ch)
{
    for (std::size_t i = 0; i + 1 < table.size(); i += 2) {
        if (table[i] == ch[0] && table[i + 1] == ch[1])
            return static_cast<int>(i / 2);
    }
    return -1;
}

bool IsTwoByte(std::string_view ch)
{
    return ch.size() == 2;
}

std::string ReplaceFullWidthSpaces(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    cp932::ForEachChar(text, [&](std::string_view ch) {
        if (ch == kFullWidthSpace)
            result += kBlank;
        else
            result += ch;
    });
    return result;
}

/// Appends to result the first character of variants when ch is one of its characters; returns
/// whether it did.
bool AppendFolded(std::string &result, std::string_view ch, std::string_view variants)
{
    if (cp932::FindWhole(variants, ch) == std::string_view::npos)
        return false;
    result.append(variants, 0, cp932::CharLength(variants, 0));
    return true;
}

bool IsVoicingMark(unsigned char b)
{
    constexpr unsigned char kVoicingMark = 0xDE;
    constexpr unsigned char kSemiVoicingMark = 0xDF;
    return b == kVoicingMark || b == kSemiVoicingMark;
}

} // namespace

std::string KatakanaToHiragana(std::string_view text)
{
    // Katakana fill the row of lead byte 0x83 in table order, trail bytes 0x40 to 0x93 without
    // 0x7F (no trail byte); ヽ and ヾ are the last two entries. The position in the table is
    // computed and then checked against the table itself.
    constexpr unsigned char kKatakanaLead = 0x83;
    constexpr unsigned char kFirstTrail = 0x40;
    constexpr unsigned char kGapTrail = 0x7F;
    constexpr std::string_view kIterationMarks = "\x81\x52\x81\x53"; // ヽヾ
    constexpr int kIterationMarksIndex = 83;
    std::string result;
    result.reserve(text.size());
    cp932::ForEachChar(text, [&](std::string_view ch) {
        int i = -1;
        if (IsTwoByte(ch) && static_cast<unsigned char>(ch[0]) == kKatakanaLead) {
            const auto trail = static_cast<unsigned char>(ch[1]);
            i = trail - kFirstTrail - (trail > kGapTrail ? 1 : 0);
        } else if (IsTwoByte(ch)) {
            const int mark = IndexOfTwoByte(kIterationMarks, ch);
            i = mark >= 0 ? kIterationMarksIndex + mark : -1;
        }
        const auto at = static_cast<std::size_t>(i) * 2;
        if (i >= 0 && at < tables::kKatakana.size() && tables::kKatakana.substr(at, 2) == ch)
            result += tables::kHiragana.substr(at, 2);
        else
            result += ch;
    });
    return result;
}

std::string HalfWidthKanaToFullWidth(std::string_view text)
{
    std::string result;
    result.reserve(text.size() * 2);
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t len = cp932::CharLength(text, pos);
        const auto b = static_cast<unsigned char>(text[pos]);
        if (len != 1 || b < tables::kHalfWidthKanaFirst || b > tables::kHalfWidthKanaLast) {
            result.append(text, pos, len);
            pos += len;
            continue;
        }
        if (pos + 1 < text.size() && IsVoicingMark(static_cast<unsigned char>(text[pos + 1]))) {
            const int voiced = IndexOfTwoByte(tables::kHalfWidthB, text.substr(pos, 2));
            if (voiced >= 0) {
                result += tables::kFullWidthB.substr(static_cast<std::size_t>(voiced) * 2, 2);
                pos += 2;
                continue;
            }
        }
        result += tables::kFullWidthC.substr(
            static_cast<std::size_t>(b - tables::kHalfWidthCBase) * 2, 2);
        ++pos;
    }
    return result;
}

std::string FoldPunctuation(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    cp932::ForEachChar(text, [&](std::string_view ch) {
        if (!AppendFolded(result, ch, tables::kCommaVariants) &&
            !AppendFolded(result, ch, tables::kFullStopVariants))
            result += ch;
    });
    return result;
}

std::string ToHalfWidth(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    cp932::ForEachChar(text, [&](std::string_view ch) {
        if (!IsTwoByte(ch)) {
            result += ch;
            return;
        }
        if (const int a = IndexOfTwoByte(tables::kFullWidthA, ch); a >= 0) {
            result += tables::kHalfWidthA[static_cast<std::size_t>(a)];
        } else if (const int b = IndexOfTwoByte(tables::kFullWidthB, ch); b >= 0) {
            result += tables::kHalfWidthB.substr(static_cast<std::size_t>(b) * 2, 2);
        } else if (const int c = IndexOfTwoByte(tables::kFullWidthC, ch); c >= 0) {
            result += static_cast<char>(tables::kHalfWidthCBase + c);
        } else {
            result += ch;
        }
    });
    return result;
}

std::string LowerFullWidthLatin(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    cp932::ForEachChar(text, [&](std::string_view ch) {
        const int i = IsTwoByte(ch) ? IndexOfTwoByte(tables::kFullWidthCapitals, ch) : -1;
        if (i >= 0)
            result += tables::kFullWidthSmall.substr(static_cast<std::size_t>(i) * 2, 2);
        else
            result += ch;
    });
    return result;
}

std::string LowerCaseMultiByte(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    cp932::ForEachChar(text, [&](std::string_view ch) {
        if (!IsTwoByte(ch)) {
            const char c = ch[0];
            result += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
            return;
        }
        const auto code = static_cast<std::uint16_t>(static_cast<unsigned char>(ch[0]) << 8 |
                                                     static_cast<unsigned char>(ch[1]));
        const auto it = std::lower_bound(
            kLowerCase.begin(), kLowerCase.end(), code,
            [](const LowerCasePair &pair, std::uint16_t value) { return pair.code < value; });
        if (it != kLowerCase.end() && it->code == code) {
            result += static_cast<char>(it->lower >> 8);
            result += static_cast<char>(it->lower & 0xFF);
        } else {
            result += ch;
        }
    });
    return result;
}

std::string NormalizeText(std::string_view text, const CompareOptions &options)
{
    // The kana and punctuation rules come first, so that the width, space and case rules see
    // their result. With the width rule on, half-width katakana are widened before they fold.
    std::string kana;
    if (options.CmpKana) {
        kana =
            KatakanaToHiragana(options.CmpZen ? HalfWidthKanaToFullWidth(text) : std::string(text));
        text = kana;
    }
    std::string punctuation;
    if (options.CmpPunct) {
        punctuation = FoldPunctuation(text);
        text = punctuation;
    }

    std::string result;
    if (options.CmpZen)
        result = ToHalfWidth(text);
    else if (options.CmpZenSp)
        result = ReplaceFullWidthSpaces(text);
    else
        result = std::string(text);

    if (options.CmpCase) {
        result = LowerCaseMultiByte(result);
        if (!options.CmpZen)
            result = LowerFullWidthLatin(result);
    }
    return result;
}

std::string MakeSentenceKey(std::string_view text, const CompareOptions &options)
{
    std::string withoutBreaks;
    withoutBreaks.reserve(text.size());
    // Line feeds and carriage returns are single bytes that are never trail bytes of a
    // two-byte character (trail bytes start at 0x40), so a byte filter is exact here.
    std::copy_if(text.begin(), text.end(), std::back_inserter(withoutBreaks),
                 [](char c) { return c != '\n' && c != '\r'; });
    // No rule on: the key is the text without its breaks, without a copy more.
    if (!options.CmpKana && !options.CmpPunct && !options.CmpZen && !options.CmpZenSp &&
        !options.CmpCase)
        return withoutBreaks;
    return NormalizeText(withoutBreaks, options);
}

std::size_t KeyPieceEnd(std::string_view text, std::size_t from, std::size_t bytes)
{
    std::size_t end = from;
    while (end < text.size() && end - from < bytes)
        end = cp932::NextChar(text, end);
    while (end < text.size() && (cp932::IsLineBreak(static_cast<unsigned char>(text[end])) ||
                                 IsVoicingMark(static_cast<unsigned char>(text[end]))))
        end = cp932::NextChar(text, end);
    return end;
}

} // namespace kivo
