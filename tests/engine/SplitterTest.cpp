#include "Splitter.h"
#include "Normalize.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <random>

namespace kivo {
namespace {

using test::Sjis;
using test::Utf8;

/// Splits one text with the given delimiter set as the left text of a comparison.
struct SplitRun {
    std::vector<std::string> sentences;
    std::vector<bool> paragraphEnds;
    TrimmedBreaks trimmed;
    int calls = 0;
    long long progressSteps = 0;
};

SplitRun Split(std::string_view text, std::string_view delimiterSet,
               SentenceLayout layout = SentenceLayout::Aligned)
{
    CompareOptions options;
    options.ViewFormat = layout;
    ProgressModel progress;
    SentenceSplitter splitter(options, progress);
    splitter.Reset(MakeActiveDelimiters(delimiterSet));
    SentenceList sentences;
    SplitRun run;
    for (bool done = false; !done;) {
        done = splitter.SplitStep(sentences, text);
        ++run.calls;
        if (run.calls > 100000) {
            ADD_FAILURE() << "splitting does not end";
            break;
        }
    }
    EXPECT_EQ(splitter.Position(), 0) << "reset at the end of the text";
    for (const Sentence &s : sentences) {
        EXPECT_EQ(s.key, MakeSentenceKey(s.text, options));
        // A long sentence comes with its words counted on the way; others count them later.
        if (s.wordCount != 0) {
            Sentence fresh = MakeSentence(s.text, options);
            EXPECT_EQ(s.wordCount, static_cast<std::int32_t>(WordCount(fresh)));
        }
        run.sentences.push_back(s.text);
    }
    run.progressSteps = progress.Steps();
    run.paragraphEnds = splitter.TakeParagraphEnds();
    run.trimmed = splitter.TakeTrimmedBreaks();
    EXPECT_EQ(run.paragraphEnds.size(), run.sentences.size());
    return run;
}

struct SplitCase {
    const char *name;
    const char *text;       // UTF-8
    const char *delimiters; // UTF-8, as the user types them
    SentenceLayout layout;
    std::vector<std::string> expected; // UTF-8
};

using enum SentenceLayout;

class SentenceSplit : public testing::TestWithParam<SplitCase> {};

TEST_P(SentenceSplit, GivesTheExpectedSentences)
{
    const SplitCase &row = GetParam();
    const SplitRun run = Split(Sjis(row.text), Sjis(row.delimiters), row.layout);
    std::vector<std::string> got;
    for (const std::string &s : run.sentences)
        got.push_back(Utf8(s));
    EXPECT_EQ(got, row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SentenceSplit,
    testing::Values(
        SplitCase{"TwoSentences", "あ。い。", "。｡", Aligned, {"あ。", "い。"}},
        SplitCase{"DelimiterAlone", "あ。。", "。｡", Aligned, {"あ。", "。"}},
        SplitCase{"NoFinalDelimiter", "あ。い", "。｡", Aligned, {"あ。", "い"}},
        SplitCase{"HalfWidthStop", "あ｡い", "。｡", Aligned, {"あ｡", "い"}},
        SplitCase{"LineBreakTrimmed", "A\rB", "\\n", Aligned, {"A", "B"}},
        SplitCase{"LineBreakKept", "A\rB", "\\n", Unchanged, {"A\r", "B"}},
        SplitCase{"LineFeedStartsNextKept", "A\r\nB", "\\n", Unchanged, {"A\r", "\nB"}},
        SplitCase{"LineFeedStartsNextTrimmed", "A\r\nB", "\\n", Aligned, {"A", "B"}},
        SplitCase{"EmptyLinesVanish", "\r\r\r", "\\n", Aligned, {}},
        SplitCase{"EmptyLinesKept", "\r\r", "\\n", Unchanged, {"\r", "\r"}},
        SplitCase{"InnerBreaksStay", "\rA\rB。\r\rC", "。", Aligned, {"A\rB。", "C"}},
        SplitCase{"InnerBreaksStayUnchanged", "\rA\rB。\rC", "。", Unchanged, {"\rA\rB。", "\rC"}},
        SplitCase{"BlankIsADelimiter", "a b", " ", Aligned, {"a ", "b"}},
        SplitCase{"TrailByteNeverMatchesDelimiter", "あ。いBう", "B", Aligned, {"あ。いB", "う"}},
        SplitCase{"SoundMarkTrailByteIsNotBackslash", "ソ\\表n", "\\", Aligned, {"ソ\\", "表n"}},
        SplitCase{"EmptyText", "", "。", Aligned, {}},
        SplitCase{"EmptySetGivesOneSentence", "あ。い。", "", Aligned, {"あ。い。"}}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(SentenceSplit, NotesWhichSentencesEndAParagraph)
{
    struct Case {
        const char *text;
        const char *delimiters;
        SentenceLayout layout;
        std::vector<bool> ends;
    };
    const Case cases[] = {
        {"一。二。\r三。", "。", Aligned, {false, true, true}},
        {"一。\r\r\r二。三。", "。", Aligned, {true, false, true}},
        {"一。\r\n二。", "。\\n", Aligned, {true, true}},     // the break is a sentence of its own
        {"見出し\r本文。次。", "。", Aligned, {false, true}}, // a break inside a sentence
        {"一。\r二。三", "。", Unchanged, {true, false, true}},
        {"一。\r", "。\\n", Unchanged, {true, true}},
        {"\r\r一。", "。", Aligned, {true}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Split(Sjis(c.text), Sjis(c.delimiters), c.layout).paragraphEnds, c.ends)
            << Utf8(Sjis(c.text));
    }
}

// The line breaks trimmed from the sentences, put back between them, give the text whole: the
// windows read a result back as the user's text from them. Random texts of sentences, quotes
// and runs of line breaks at every place, with and without a line break among the delimiters.
TEST(SentenceSplit, TrimmedLineBreaksGiveTheTextBack)
{
    const char *const pieces[] = {"文。", "\r", "\r\r", "「はい。」", "abc", "。", "\r\r\r"};
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (int i = 0, n = round % 12; i < n; ++i)
            text += Sjis(pieces[std::uniform_int_distribution<std::size_t>(0, 6)(rng)]);
        for (const char *delimiters : {"。", "。\\n"}) {
            const SplitRun run = Split(text, Sjis(delimiters));
            ASSERT_EQ(run.trimmed.after.size(), run.sentences.size()) << Utf8(text);
            std::string joined(std::size_t(run.trimmed.leading), '\r');
            for (std::size_t i = 0; i < run.sentences.size(); ++i)
                joined += run.sentences[i] + std::string(std::size_t(run.trimmed.after[i]), '\r');
            if (run.sentences.empty()) {
                EXPECT_EQ(run.trimmed.leading, static_cast<int>(text.size())) << Utf8(text);
            }
            EXPECT_EQ(joined, text) << "delimiters " << delimiters;
        }
    }
    // The line layout keeps every break in its sentences.
    const SplitRun kept = Split(Sjis("\r文。\r\r次。\r"), Sjis("。"), Unchanged);
    EXPECT_EQ(kept.trimmed, TrimmedBreaks{});
}

TEST(SentenceSplit, ReadsAtMost102CharactersPerCall)
{
    // 250 characters, the last one the only delimiter: 102 + 102 + 46.
    std::string text;
    for (int i = 0; i < 249; ++i)
        text += Sjis("あ");
    text += Sjis("。");
    const SplitRun run = Split(text, Sjis("。"));
    EXPECT_EQ(run.calls, 3);
    ASSERT_EQ(run.sentences.size(), 1u);
    EXPECT_EQ(run.sentences[0], text);

    // Exactly the budget without a delimiter: the sentence is finished by the next call.
    const SplitRun full = Split(std::string(102, 'a'), "");
    EXPECT_EQ(full.calls, 2);
    EXPECT_EQ(Split(std::string(101, 'a'), "").calls, 1);
    EXPECT_EQ(Split("", "").calls, 1) << "an empty text ends at the first call";
}

TEST(SentenceSplit, StepsProgressOncePerFinishedSentence)
{
    EXPECT_EQ(Split(Sjis("あ。い。う"), Sjis("。")).progressSteps, 3);
    EXPECT_EQ(Split("", "").progressSteps, 0);
    // Line breaks that end a sentence step the bar even when trimming leaves nothing.
    EXPECT_EQ(Split("\r\r\r", "\\n").progressSteps, 3);
}

TEST(SentenceSplit, MegabyteSentenceIsKeptWholeAndTheNextOneAfterIt)
{
    // From a megabyte on, the sentence takes the pending buffer over instead of a copy of it.
    std::string longSentence;
    while (longSentence.size() < (std::size_t{1} << 20) + 10)
        longSentence += Sjis("あいう\r\nえお");
    longSentence += Sjis("。");
    const SplitRun run = Split("\n" + longSentence + Sjis("か。"), Sjis("。"));
    ASSERT_EQ(run.sentences.size(), 2u);
    EXPECT_EQ(run.sentences[0], longSentence) << "the leading break trimmed, the rest kept";
    EXPECT_EQ(run.sentences[1], Sjis("か。"));
    // Its key is made over several calls after the one that reads its end, and the text's end
    // is still reported once, after the last sentence.
    const SplitRun alone = Split(longSentence, Sjis("。"));
    ASSERT_EQ(alone.sentences.size(), 1u);
    const std::size_t characterCalls = (longSentence.size() / 2 + 101) / 102;
    EXPECT_GE(static_cast<std::size_t>(alone.calls), characterCalls + 4);
    EXPECT_EQ(alone.paragraphEnds, std::vector<bool>{true});
}

TEST(SentenceSplit, LoneLeadByteAtTheEndIsKept)
{
    const std::string text = Sjis("あ。い") + "\x82";
    const SplitRun run = Split(text, Sjis("。"));
    ASSERT_EQ(run.sentences.size(), 2u);
    EXPECT_EQ(run.sentences[0] + run.sentences[1], text);
}

TEST(IsDelimiter, ComparesWholeCharactersOfTheSet)
{
    const std::string stop = Sjis("。"); // 81 42
    EXPECT_TRUE(IsDelimiter(stop, Sjis("、。"), true));
    EXPECT_FALSE(IsDelimiter("B", stop, false)) << "a one-byte character vs a trail byte";
    EXPECT_FALSE(IsDelimiter(stop, "B", true));
    EXPECT_FALSE(IsDelimiter("a", "", false));
    EXPECT_TRUE(IsDelimiter("\r", "\x81\x42\r", false));
}

TEST(MakeActiveDelimiters, TurnsBackslashNIntoALineBreak)
{
    EXPECT_EQ(MakeActiveDelimiters(Sjis("。\\n")), Sjis("。") + "\r");
    EXPECT_EQ(MakeActiveDelimiters("\\n\\n"), "\r\r");
    EXPECT_EQ(MakeActiveDelimiters("\\"), "\\");
    // ソ is 83 5C: its trail byte followed by n is not a backslash-n.
    const std::string so = Sjis("ソn");
    EXPECT_EQ(MakeActiveDelimiters(so), so);
}

TEST(FirstDelimiterOffset, TakesTheFirstDelimiterInSetOrderThatOccursEarly)
{
    CompareOptions options;
    ProgressModel progress;
    SentenceSplitter comparison(options, progress);

    comparison.Reset(Sjis("。．"));
    std::string text(1000, 'a');
    text.replace(900, 2, Sjis("。"));
    text.replace(10, 2, Sjis("．"));
    EXPECT_EQ(comparison.FirstDelimiterOffset(text), 10);
    text.replace(500, 2, Sjis("。"));
    EXPECT_EQ(comparison.FirstDelimiterOffset(text), 500) << "set order, not smallest offset";

    std::string late(1000, 'a');
    late.replace(800, 2, Sjis("。"));
    EXPECT_EQ(comparison.FirstDelimiterOffset(late), 800);
    late.replace(798, 2, Sjis("。"));
    EXPECT_EQ(comparison.FirstDelimiterOffset(late), 798);

    // Delimiters are searched as whole characters: 'B' is not found in 。 (81 42).
    comparison.Reset("B");
    EXPECT_EQ(comparison.FirstDelimiterOffset(Sjis("あ。") + "B"), 4);
    EXPECT_EQ(comparison.FirstDelimiterOffset(Sjis("あ。")), 800);
    EXPECT_EQ(comparison.FirstDelimiterOffset(""), 800);

    comparison.Reset("");
    EXPECT_EQ(comparison.FirstDelimiterOffset("abc"), 800);
}

TEST(ProgressModel, WrapsOnStepAndStopsOnMoveBy)
{
    ProgressModel bar;
    for (int i = 0; i < 100; ++i)
        bar.Step();
    EXPECT_EQ(bar.Position(), 100);
    bar.Step();
    EXPECT_EQ(bar.Position(), 1) << "past the maximum the bar starts again";
    bar.SetPos(99);
    bar.DeltaPos(1);
    bar.DeltaPos(1);
    EXPECT_EQ(bar.Position(), 100) << "a relative move stops at the maximum";
    bar.SetPos(0);
    EXPECT_EQ(bar.Position(), 0);
}

} // namespace
} // namespace kivo
