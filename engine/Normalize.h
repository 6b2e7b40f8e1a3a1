#pragma once

#include "CompareOptions.h"

#include <string>
#include <string_view>

namespace kivo {

/// Applies the comparison rules of options to text (code page 932) and returns the result: first
/// CmpKana and CmpPunct, then CmpZen or CmpZenSp, then CmpCase, each working on the result of the
/// one before. Nothing is removed; characters keep their order.
std::string NormalizeText(std::string_view text, const CompareOptions &options);

/// The comparison key of a sentence: its text without line breaks (CR and LF), normalised.
std::string MakeSentenceKey(std::string_view text, const CompareOptions &options);

/// Where a piece of text that starts at from (a character boundary) and holds at least bytes
/// bytes (or the rest of the text) can end so that the key of the text is the key of the piece
/// followed by the key of the rest: the first character boundary from there that is neither a
/// line break nor a voicing mark, which the rules join to the character before it.
std::size_t KeyPieceEnd(std::string_view text, std::size_t from, std::size_t bytes);

/// Full-width digits, Latin letters, symbols, katakana and Japanese punctuation to their
/// half-width forms; a voiced katakana becomes the base kana followed by its voicing mark.
std::string ToHalfWidth(std::string_view text);

/// Katakana ァ-ン to the hiragana of the same sound, ヽ and ヾ to ゝ and ゞ. ヴ, ヵ, ヶ, half-width
/// katakana and everything else stay.
std::string KatakanaToHiragana(std::string_view text);

/// Half-width katakana letters ｦ-ﾝ to their full-width forms; a letter followed by ﾞ or ﾟ becomes
/// the voiced or semi-voiced letter where one exists (ｶﾞ to ガ), otherwise the mark stays.
std::string HalfWidthKanaToFullWidth(std::string_view text);

/// The comma variants 、，､ to 、 and the full-stop variants 。．｡ to 。; ASCII , and . stay.
std::string FoldPunctuation(std::string_view text);

/// Full-width capitals Ａ-Ｚ to full-width small letters ａ-ｚ.
std::string LowerFullWidthLatin(std::string_view text);

/// One-byte A-Z to a-z, and each two-byte character to the code page 932 code of its Unicode
/// lower-case form, where that form exists in the code page.
std::string LowerCaseMultiByte(std::string_view text);

} // namespace kivo
