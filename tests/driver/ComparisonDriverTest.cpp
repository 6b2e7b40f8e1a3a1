#include "FakeWindows.h"
#include "TestText.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

using namespace res;
using test::FakeHost;
using test::FakeView;
using test::Sjis;

// Wide enough that nothing wraps, and a screen that never fills.
constexpr int kWide = 10000;

class DriverTest : public ::testing::Test {
protected:
    DriverTest() : left(kWide, 100000), right(kWide, 100000), host(left, right) { Init(); }

    void Init()
    {
        left.options = right.options = &options;
        driver = std::make_unique<ComparisonDriver>(options, host);
    }

    void Compare(const std::string &a, const std::string &b)
    {
        host.leftText = a;
        host.rightText = b;
        driver->StartComparison(true);
        ASSERT_TRUE(driver->IsRunning());
    }

    /// Steps through the preparation: the views locked and their texts read piece by piece.
    void Prepare()
    {
        do
            driver->Step();
        while (driver->IsRunning() && driver->State() == CompareState::Prepare);
    }

    /// Steps until the driver reaches the state (or ends); false when it ended first.
    bool StepUntil(CompareState state)
    {
        while (driver->IsRunning() && driver->State() != state)
            driver->Step();
        return driver->State() == state;
    }

    /// n sentences "文iです。" with every tenth one changed on the right.
    static std::pair<std::string, std::string> Sentences(int n)
    {
        std::string a, b;
        for (int i = 0; i < n; ++i) {
            a += Sjis("文") + std::to_string(i) + Sjis("です。");
            b += Sjis("文") + std::to_string(i) + Sjis(i % 10 == 3 ? "でした。" : "です。");
        }
        return {a, b};
    }

    RichOptions options;
    FakeView left;
    FakeView right;
    FakeHost host;
    std::unique_ptr<ComparisonDriver> driver;
};

TEST_F(DriverTest, RunsEveryPhaseWithItsCaptionAndLeavesNothingBehind)
{
    const auto [a, b] = Sentences(20);
    Compare(a, b);
    driver->RunToCompletion();
    EXPECT_FALSE(driver->IsRunning());
    EXPECT_EQ(host.captions, (std::vector<int>{IDS_CAPTION_ANALYSING, IDS_CAPTION_COMPARING,
                                               IDS_CAPTION_PLEASE_WAIT, IDS_CAPTION_ALMOST_DONE,
                                               IDS_CAPTION_DISPLAYING}));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"Prepare", "BeginDisplay", "StartSyncScroll",
                                                    "ReturnToRegionTop", "Finish"}));
    EXPECT_FALSE(host.dialogExists);
    // It ended only once both views had read the result for the difference commands.
    EXPECT_EQ(left.differenceSteps, 3);
    EXPECT_EQ(right.differenceSteps, 3);
    EXPECT_TRUE(driver->Engine().Results().empty());
    EXPECT_TRUE(driver->Engine().Sentences(Side::Left).empty());
    EXPECT_EQ(driver->View(Side::Left), nullptr);
    EXPECT_EQ(host.bar.Position(), 100);
    // The records stay for the report, and go when the next comparison starts.
    ASSERT_NE(driver->LastResult(), nullptr);
    EXPECT_EQ(Summarize(driver->LastResult()->records), *driver->Summary());
    Compare(a, b);
    EXPECT_EQ(driver->LastResult(), nullptr);
    EXPECT_EQ(left.deletedText, int(a.size())); // the region is replaced
    EXPECT_TRUE(left.text.find(Sjis("文3です。")) != std::string::npos);
    EXPECT_TRUE(right.text.find(Sjis("でした。")) != std::string::npos);
}

TEST_F(DriverTest, TheAbortButtonIsOffWhileGapsAreAlignedAndOnAgainAfter)
{
    const auto [a, b] = Sentences(5);
    Compare(a, b);
    ASSERT_TRUE(StepUntil(CompareState::GapAlignment));
    EXPECT_FALSE(host.dialogEnabled);
    EXPECT_FALSE(host.abortEnabled);
    ASSERT_TRUE(StepUntil(CompareState::CharDiff));
    EXPECT_TRUE(host.dialogEnabled);
    EXPECT_TRUE(host.abortEnabled);
}

TEST_F(DriverTest, AComparisonStartedWhileOneRunsIsIgnored)
{
    Compare(Sjis("あ。"), Sjis("い。"));
    driver->Step();
    const auto state = driver->State();
    host.leftText = Sjis("別。");
    driver->StartComparison(true);
    EXPECT_EQ(driver->State(), state);
    EXPECT_EQ(host.calls.size(), 1u);
}

TEST_F(DriverTest, NoDialogOrNoDocumentMeansNoComparison)
{
    host.canCreateDialog = false;
    driver->StartComparison(true);
    EXPECT_FALSE(driver->IsRunning());
    host.canCreateDialog = true;
    host.hasDocument = false;
    driver->StartComparison(true);
    EXPECT_FALSE(driver->IsRunning());
}

TEST_F(DriverTest, AnAbortBeforeTheFirstStepTouchesNothing)
{
    Compare(Sjis("あ。"), Sjis("い。"));
    driver->RequestAbort();
    EXPECT_FALSE(driver->Step());
    EXPECT_FALSE(driver->IsRunning());
    EXPECT_TRUE(host.calls.empty());
    EXPECT_FALSE(host.dialogExists);
    EXPECT_FALSE(driver->Status().abortRequested);
}

TEST_F(DriverTest, AnAbortWhileTheTextsAreReadRestoresTheViewsWithoutComparing)
{
    const auto [a, b] = Sentences(30);
    Compare(a, b);
    for (int i = 0; i < 3; ++i)
        driver->Step();
    ASSERT_EQ(driver->State(), CompareState::Prepare);
    driver->RequestAbort();
    EXPECT_FALSE(driver->Step());
    EXPECT_FALSE(driver->IsRunning());
    EXPECT_EQ(host.calls, (std::vector<std::string>{"Prepare", "Finish"}));
    EXPECT_EQ(left.text, a);
    EXPECT_EQ(driver->LastResult(), nullptr);
}

TEST_F(DriverTest, AnAbortDuringDisplayKeepsWhatWasRenderedAndRestoresTheViews)
{
    const auto [a, b] = Sentences(30);
    Compare(a, b);
    ASSERT_TRUE(StepUntil(CompareState::Display));
    for (int i = 0; i < 5; ++i)
        driver->Step();
    const std::string shown = left.text;
    driver->RequestAbort();
    EXPECT_FALSE(driver->Step()); // this same step restores and finishes
    EXPECT_FALSE(left.locked || right.locked);
    EXPECT_FALSE(driver->IsRunning());
    EXPECT_EQ(left.text, shown);
    EXPECT_EQ(host.calls.back(), "Finish");
    EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "ReturnToRegionTop"), 0);
    EXPECT_FALSE(host.dialogExists);
    EXPECT_EQ(driver->LastResult(), nullptr) << "a result cut short is never reported";
}

TEST_F(DriverTest, AViewDestroyedDuringDisplayEndsTheComparisonAtTheNextStep)
{
    const auto [a, b] = Sentences(30);
    Compare(a, b);
    ASSERT_TRUE(StepUntil(CompareState::Display));
    driver->Step();
    driver->ViewDestroyed(&right);
    EXPECT_EQ(driver->View(Side::Right), nullptr);
    ASSERT_TRUE(left.locked);
    EXPECT_FALSE(driver->Step());
    EXPECT_FALSE(driver->IsRunning());
    // The view that stays is given back, editable.
    EXPECT_FALSE(left.locked);
    EXPECT_EQ(host.calls.back(), "Finish");
}

TEST_F(DriverTest, ExitDuringAComparisonDropsTheResultAndTheDialog)
{
    const auto [a, b] = Sentences(30);
    Compare(a, b);
    ASSERT_TRUE(StepUntil(CompareState::Display));
    driver->StopForExit();
    EXPECT_FALSE(driver->IsRunning());
    EXPECT_TRUE(driver->Engine().Results().empty());
    EXPECT_FALSE(host.dialogExists);
}

TEST_F(DriverTest, TextsOfOnlyLineBreaksGiveNoRecordsAndSkipTheDisplay)
{
    Compare("\r\r\r", "\r\r");
    driver->RunToCompletion();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"Prepare", "Finish"}));
    EXPECT_EQ(left.text, "\r\r\r"); // never replaced
}

// --- The delimiter warning ----------------------------------------------------------------------

struct WarningCase {
    const char *name;
    std::string delimiters;
    std::string left;
    std::string right;
    int expected;
};

class DelimiterWarningTest : public DriverTest,
                             public ::testing::WithParamInterface<WarningCase> {};

TEST_P(DelimiterWarningTest, ChoosesTheMessage)
{
    const WarningCase &c = GetParam();
    options.Sptr[0] = c.delimiters;
    Compare(c.left, c.right);
    Prepare();
    if (c.expected == 0)
        EXPECT_TRUE(host.questions.empty());
    else
        EXPECT_EQ(host.questions, std::vector<int>{c.expected});
}

std::string Filler(std::size_t n)
{
    return std::string(n, 'a');
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DelimiterWarningTest,
    ::testing::Values(
        WarningCase{"ShortTextsNeverWarnEvenWithoutDelimiters", "", Filler(800), Filler(800), 0},
        WarningCase{"LongLeftWithoutDelimiterEmptySet", "", Filler(801), "", IDS_NO_DELIMITERS},
        WarningCase{"LongLeftWithoutDelimiter", "\x81\x42", Filler(801), "", IDS_BAD_DELIMITERS},
        WarningCase{"OverTwoThousandBytes", "", Filler(2001), "", IDS_NO_DELIMITERS_LONG},
        WarningCase{"LongLeftCountsForTheRightTextsWarning", "\x81\x42",
                    Filler(10) + "\x81\x42" + Filler(2488), Filler(900), IDS_BAD_DELIMITERS_LONG},
        WarningCase{"DelimiterJustBeforeTheProbeEnd", "x", Filler(799) + "x" + Filler(100),
                    Filler(10), 0},
        WarningCase{"DelimiterAtTheProbeEnd", "x", Filler(800) + "x", Filler(10),
                    IDS_BAD_DELIMITERS}),
    [](const auto &row) { return std::string(row.param.name); });

TEST_F(DriverTest, NoToTheWarningRestoresTheViewsWithoutComparing)
{
    options.Sptr[0] = "";
    host.answerYes = false;
    Compare(Filler(900), Sjis("い。"));
    Prepare();
    EXPECT_FALSE(host.abortEnabled);
    EXPECT_FALSE(driver->Step());
    EXPECT_FALSE(driver->IsRunning());
    EXPECT_EQ(host.calls, (std::vector<std::string>{"Prepare", "Finish"}));
    EXPECT_EQ(left.text, Filler(900));
}

// --- Progress during display --------------------------------------------------------------------

TEST_F(DriverTest, RecordsPerBarStepFollowTheRecordCount)
{
    for (const auto &[sentences, perStep] : {std::pair{99, 1}, {100, 1}, {250, 2}, {300, 3}}) {
        std::string a;
        for (int i = 0; i < sentences; ++i)
            a += Sjis("同") + std::to_string(i) + Sjis("。");
        Compare(a, a);
        ASSERT_TRUE(StepUntil(CompareState::Display));
        EXPECT_EQ(driver->RecordsPerStep(), perStep) << sentences;
        EXPECT_EQ(host.bar.Position(), 0);
        ASSERT_TRUE(StepUntil(CompareState::ScrollBack));
        EXPECT_EQ(host.bar.Position(), std::min(100, sentences / perStep)) << sentences;
        driver->Step();
        EXPECT_EQ(host.bar.Position(), 100) << sentences;
        driver->RunToCompletion();
    }
}

TEST_F(DriverTest, FiftyRecordsReachHalfAndAreSetFullAtTheEnd)
{
    std::string a;
    for (int i = 0; i < 50; ++i)
        a += Sjis("同") + std::to_string(i) + Sjis("。");
    Compare(a, a);
    ASSERT_TRUE(StepUntil(CompareState::ScrollBack));
    EXPECT_EQ(host.bar.Position(), 50);
    driver->Step();
    EXPECT_EQ(host.bar.Position(), 100);
}

// --- Layout -------------------------------------------------------------------------------------

TEST_F(DriverTest, LineLayoutGetsTheTextsAloneWithoutRowsOrPadding)
{
    options.ViewFormat = SentenceLayout::Unchanged;
    Compare(Sjis("あ。長い文です。"), Sjis("あ。い。"));
    driver->RunToCompletion();
    EXPECT_EQ(left.text, Sjis("あ。長い文です。"));
    EXPECT_EQ(right.text, Sjis("あ。い。"));
    EXPECT_EQ(left.rowCount, 0);
    EXPECT_TRUE(host.levelling.empty());
    EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "StartSyncScroll"), 0);
}

TEST_F(DriverTest, AnAddedSentenceLeavesABlankRowOnTheOtherSide)
{
    options.ViewLine = 0;
    Compare(Sjis("あ。う。"), Sjis("あ。い。う。"));
    driver->RunToCompletion();
    EXPECT_EQ(left.text, Sjis("あ。\r\rう。\r"));
    EXPECT_EQ(right.text, Sjis("あ。\rい。\rう。\r"));
}

// Windows whose result overflows their screen after some rows: the rows are levelled as each
// closes, and all of them again once the scroll bar appears and the lines wrap anew.
class OverflowTest : public DriverTest {
protected:
    OverflowTest()
    {
        left = FakeView(40, 30);
        right = FakeView(40, 30);
        Init();
    }
};

TEST_F(OverflowTest, EveryRowIsLevelledAsItClosesAndAllAgainAtTheFirstFullScreen)
{
    for (const int viewLine : {0, 1}) {
        options.ViewLine = viewLine;
        host.levelling.clear();
        std::string a;
        for (int i = 0; i < 100; ++i)
            a += "s" + std::to_string(i) + "\x81\x42";
        Compare(a, a);
        driver->RunToCompletion();
        // Each row once as it closed, in order, and all rows written once the screen filled.
        std::vector<int> closed;
        int again = 0;
        for (const int rows : host.levelling) {
            if (rows < 0)
                again = -rows;
            else
                closed.push_back(rows);
        }
        ASSERT_EQ(closed.size(), 100u);
        for (int i = 0; i < 100; ++i)
            EXPECT_EQ(closed[std::size_t(i)], i + 1);
        EXPECT_EQ(std::count_if(host.levelling.begin(), host.levelling.end(),
                                [](int rows) { return rows < 0; }),
                  1);
        const int screenRows = 30 / (viewLine + 1);
        EXPECT_GE(again, screenRows - 1) << "viewLine " << viewLine;
        EXPECT_LE(again, screenRows + 1) << "viewLine " << viewLine;
    }
}

TEST_F(OverflowTest, TheScrollingKeysWorkFromTheFirstFullScreenUntilAnAbort)
{
    std::string a;
    for (int i = 0; i < 100; ++i)
        a += "s" + std::to_string(i) + "\x81\x42";
    Compare(a, a);
    ASSERT_TRUE(StepUntil(CompareState::Display));
    EXPECT_FALSE(left.scrollKeysWork);
    while (driver->State() == CompareState::Display && !driver->Status().displayScrollable)
        driver->Step();
    ASSERT_EQ(driver->State(), CompareState::Display);
    EXPECT_TRUE(left.scrollKeysWork && right.scrollKeysWork);
    EXPECT_TRUE(host.keyboardHandedBack);
    driver->RequestAbort();
    EXPECT_FALSE(left.scrollKeysWork || right.scrollKeysWork);
    driver->RunToCompletion();
    EXPECT_FALSE(left.locked || right.locked);
}

} // namespace
} // namespace kivo
