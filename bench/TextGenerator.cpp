#include "TextGenerator.h"

#include <array>
#include <random>
#include <string_view>
#include <vector>

namespace kivo::bench {
namespace {

// Words in code page 932: hiragana, katakana and kanji, so sentences have several word runs.
constexpr std::array<std::string_view, 16> kWords = {
    "\x8d\xa1\x93\xfa",                 // 今日
    "\x96\xbe\x93\xfa",                 // 明日
    "\x82\xcd",                         // は
    "\x82\xaa",                         // が
    "\x82\xf0",                         // を
    "\x90\xb0\x82\xea",                 // 晴れ
    "\x89\x4a",                         // 雨
    "\x83\x65\x83\x4c\x83\x58\x83\x67", // テキスト
    "\x94\xe4\x8a\x72",                 // 比較
    "\x95\xb6\x8f\xcd",                 // 文章
    "\x8a\xdb",                         // 丸
    "\x8f\x91\x82\xad",                 // 書く
    "\x93\xc7\x82\xde",                 // 読む
    "\x8e\xa9\x95\xaa",                 // 自分
    "\x90\x56\x82\xb5\x82\xa2",         // 新しい
    "\x8c\xa9\x82\xe9",                 // 見る
};
constexpr std::string_view kFullStop = "\x81\x42"; // 。
constexpr int kWordsPerSentence = 24;              // about 100 bytes a sentence
constexpr int kEditEvery = 20;                     // one sentence in twenty is edited
constexpr int kShortEvery = 3;                     // one paragraph in three is a short line
constexpr int kShortWordsMax = 6;                  // words of a short paragraph
constexpr int kLongSentencesMax = 12;              // sentences of a long paragraph
constexpr std::size_t kSentenceBytesMax = 256;     // 24 words of at most 8 bytes, a number, a stop
constexpr std::string_view kLineBreak = "\r\n";

std::string MakeSentence(std::mt19937 &random, int serial, int words = kWordsPerSentence)
{
    std::uniform_int_distribution<std::size_t> pick(0, kWords.size() - 1);
    std::string sentence;
    for (int w = 0; w < words; ++w)
        sentence += kWords[pick(random)];
    // A number keeps sentences distinct, as real texts mostly are.
    sentence += std::to_string(serial);
    sentence += kFullStop;
    return sentence;
}

} // namespace

TextPair MakeMostlySamePair(int sentences, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> edit(0, kEditEvery * 3 - 1);
    TextPair pair;
    for (int i = 0; i < sentences; ++i) {
        const std::string sentence = MakeSentence(random, i);
        switch (edit(random)) {
        case 0: { // changed: one word replaced
            std::string changed = sentence;
            changed.replace(0, 4, "\x95\xcf\x8d\x58"); // 変更
            pair.left += sentence;
            pair.right += changed;
            break;
        }
        case 1: // inserted on the right
            pair.left += sentence;
            pair.right += sentence;
            pair.right += MakeSentence(random, sentences + i);
            break;
        case 2: // deleted on the right
            pair.left += sentence;
            break;
        default:
            pair.left += sentence;
            pair.right += sentence;
            break;
        }
    }
    return pair;
}

std::string MakeParagraphs(std::size_t bytes, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> kind(0, kShortEvery - 1);
    std::uniform_int_distribution<int> shortWords(1, kShortWordsMax);
    std::uniform_int_distribution<int> longSentences(1, kLongSentencesMax);
    std::string text;
    // Room for the last paragraph too, so that the text is never copied while it grows.
    text.reserve(bytes + kLongSentencesMax * kSentenceBytesMax + kLineBreak.size());
    for (int serial = 0; text.size() < bytes;) {
        if (kind(random) == 0) {
            text += MakeSentence(random, serial++, shortWords(random));
        } else {
            for (int s = longSentences(random); s > 0; --s)
                text += MakeSentence(random, serial++);
        }
        text += kLineBreak;
    }
    return text;
}

} // namespace kivo::bench
