#include "resulttext/ResultText.h"
#include "TestText.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

using test::Sjis;

TEST(ResultText, BlankTextIsOnlySpacesAndTabs)
{
    EXPECT_TRUE(IsBlankText(""));
    EXPECT_TRUE(IsBlankText(Sjis(" \t　 ")));
    EXPECT_FALSE(IsBlankText(Sjis(" a")));
    EXPECT_FALSE(IsBlankText(Sjis("＿")));
    // 0x81 0x40 only as one character: a lead byte before "@" elsewhere is not a space.
    EXPECT_FALSE(IsBlankText("\x83\x40"));
    EXPECT_FALSE(IsBlankText("\x81"));
}

TEST(ResultText, OnlyWhitespaceDifferencesGetUnderscores)
{
    RichOptions options;
    options.ViewBar = 1;
    EXPECT_EQ(DisplayText(options, TextStatus::Changed, "\t"), "____");
    EXPECT_EQ(DisplayText(options, TextStatus::Deleted, Sjis("　 ")), Sjis("＿_"));
    EXPECT_EQ(DisplayText(options, TextStatus::Same, "  "), "  ");
    EXPECT_EQ(DisplayText(options, TextStatus::Added, Sjis(" あ ")), Sjis(" あ "));
    options.ViewBar = 0;
    EXPECT_EQ(DisplayText(options, TextStatus::Changed, "\t"), "\t");
}

TEST(ResultText, StatusFormatCarriesColourAndEffectWhateverTheStoredMask)
{
    RichOptions options;
    options.CharFormat.dwMask = CFM_FACE | CFM_SIZE; // a stored format without colour
    options.CharFormat.dwEffects = CFE_BOLD;
    const CharFormat deleted = StatusFormat(options, TextStatus::Deleted);
    EXPECT_EQ(deleted.crTextColor, options.Color[ColorDeleted]);
    EXPECT_EQ(deleted.dwEffects, CFE_STRIKEOUT);
    EXPECT_EQ(deleted.dwMask & (CFM_COLOR | CFM_STRIKEOUT | CFM_BOLD),
              CFM_COLOR | CFM_STRIKEOUT | CFM_BOLD);
    options.Effect[0] = 2;
    EXPECT_EQ(StatusFormat(options, TextStatus::Original).dwEffects, 0u);
}

} // namespace
} // namespace kivo
