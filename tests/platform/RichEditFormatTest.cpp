#include "CharFormatQt.h"
#include "DisplayFont.h"
#include "RichEditTestSupport.h"

#include <QFontDatabase>
#include <QTextCursor>

#include <gtest/gtest.h>

namespace kivo {
namespace {

using namespace Qt::StringLiterals;
using test::Sjis;

constexpr ColorRef kRed = 0x0000FF;
constexpr ColorRef kGrey = 0xC0C0C0;

CharFormat Only(std::uint32_t mask, std::uint32_t effects = 0, ColorRef colour = 0)
{
    CharFormat format;
    format.cbSize = CharFormat::kSize;
    format.dwMask = mask;
    format.dwEffects = effects;
    format.crTextColor = colour;
    return format;
}

TEST(RichEditFormat, OnlyTheMaskedFieldsChange)
{
    RichEditCtrl control;
    control.ReplaceSel(Sjis("日本語の文"));
    control.SetSel(0, -1);
    CharFormat display = DefaultCharFormat(kRed);
    display.dwEffects = CFE_BOLD | CFE_UNDERLINE;
    display.yHeight = 280;
    control.SetCharFormat(display, FormatScope::Selection);

    // Italic on and a colour that the mask does not name.
    control.SetCharFormat(Only(CFM_ITALIC, CFE_ITALIC, kGrey), FormatScope::Selection);
    // Underline off, through its mask bit alone.
    control.SetCharFormat(Only(CFM_UNDERLINE), FormatScope::Selection);

    const CharFormat read = control.GetCharFormat(FormatScope::Selection);
    EXPECT_EQ(read.dwMask & kDisplayFormatMask, kDisplayFormatMask);
    EXPECT_EQ(read.dwEffects, CFE_BOLD | CFE_ITALIC);
    EXPECT_EQ(read.crTextColor, kRed);
    EXPECT_EQ(read.yHeight, 280);
    EXPECT_EQ(read.FaceName(), kDefaultFaceName);
    EXPECT_EQ(read.bCharSet, kDefaultCharSet);
}

TEST(RichEditFormat, TheFormatOfAnInsertionPointGoesToTheTextInsertedNext)
{
    // The order of rendering a record: status format, text, Original format, separator.
    RichEditCtrl control;
    control.SetCharFormat(Only(CFM_COLOR | CFM_BOLD, CFE_BOLD, kGrey), FormatScope::Selection);
    control.ReplaceSel(Sjis("同じ文。"));
    control.SetCharFormat(Only(CFM_COLOR | CFM_BOLD, 0, 0x000000), FormatScope::Selection);
    control.ReplaceSel(Sjis("\r\r"));
    control.ReplaceSel(Sjis("次")); // no format of its own: it follows the separator

    control.SetSel(0, 4);
    CharFormat read = control.GetCharFormat(FormatScope::Selection);
    EXPECT_EQ(read.crTextColor, kGrey);
    EXPECT_EQ(read.dwEffects & CFE_BOLD, CFE_BOLD);
    control.SetSel(6, 7);
    read = control.GetCharFormat(FormatScope::Selection);
    EXPECT_EQ(read.crTextColor, 0x000000u);
    EXPECT_EQ(read.dwEffects & CFE_BOLD, 0u);
}

TEST(RichEditFormat, AMixedSelectionNamesOnlyTheSharedFields)
{
    RichEditCtrl control;
    control.SetCharFormat(Only(CFM_COLOR | CFM_BOLD, CFE_BOLD, kRed), FormatScope::Selection);
    control.ReplaceSel(Sjis("赤"));
    control.SetCharFormat(Only(CFM_COLOR, 0, kGrey), FormatScope::Selection);
    control.ReplaceSel(Sjis("灰"));

    control.SetSel(0, 2);
    const CharFormat read = control.GetCharFormat(FormatScope::Selection);
    EXPECT_EQ(read.dwMask & CFM_COLOR, 0u);
    EXPECT_EQ(read.crTextColor, kRed); // the first character's
    EXPECT_EQ(read.dwMask & (CFM_BOLD | CFM_ITALIC | CFM_SIZE), CFM_BOLD | CFM_ITALIC | CFM_SIZE);
    EXPECT_EQ(read.dwEffects & CFE_BOLD, CFE_BOLD);
}

TEST(RichEditFormat, WindowsJapaneseFacesDrawWithAnInstalledJapaneseFont)
{
    ASSERT_TRUE(QFontDatabase::hasFamily(u"IPAGothic"_s)) << "fonts-ipafont-gothic is missing";
    EXPECT_EQ(DisplayFamily(u"ＭＳ ゴシック"_s), u"IPAGothic"_s);
    EXPECT_EQ(DisplayFamily(u"ＭＳ Ｐゴシック"_s), u"IPAPGothic"_s);
    EXPECT_EQ(DisplayFamily(u"MS UI Gothic"_s), u"IPAPGothic"_s);
    const QString fallback = DisplayFamily(u"No Such Face 1234"_s);
    EXPECT_TRUE(QFontDatabase::writingSystems(fallback).contains(QFontDatabase::Japanese))
        << fallback.toStdString();
}

TEST(RichEditFormat, TheStoredFaceIsReadBackWhileTheStandInDraws)
{
    RichEditCtrl control;
    control.SetCharFormat(DefaultCharFormat(0), FormatScope::Selection);
    control.ReplaceSel(Sjis("字"));
    control.SetSel(0, 1);
    EXPECT_EQ(control.GetCharFormat(FormatScope::Selection).FaceName(), kDefaultFaceName);
    QTextCursor cursor = control.TextCursor();
    cursor.setPosition(1);
    EXPECT_EQ(cursor.charFormat().font().families().value(0), DisplayFamily(u"ＭＳ ゴシック"_s));
}

TEST(RichEditFormat, TheDefaultFormatSetsFontAndColourOfUnformattedText)
{
    RichEditCtrl control;
    CharFormat large = Only(CFM_SIZE | CFM_COLOR, 0, kRed);
    large.yHeight = 400;
    control.SetCharFormat(large, FormatScope::Default);

    const CharFormat read = control.GetCharFormat(FormatScope::Default);
    EXPECT_EQ(read.yHeight, 400);
    EXPECT_EQ(read.crTextColor, kRed);
    EXPECT_EQ(read.FaceName(), kDefaultFaceName); // kept from the initial default
    EXPECT_EQ(control.Document()->defaultFont().pointSizeF(), 20.0);
    EXPECT_EQ(control.Widget()->palette().color(QPalette::Text), charformat::ToQColor(kRed));

    control.StreamIn(StreamFormat::Text, Sjis("平文"));
    control.SetSel(0, -1);
    EXPECT_EQ(control.GetCharFormat(FormatScope::Selection).yHeight, 400);
}

} // namespace
} // namespace kivo
