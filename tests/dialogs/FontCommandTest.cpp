#include "dialogs/FontCommand.h"

#include "CharFormatQt.h"
#include "DisplayFont.h"
#include "TestText.h"

#include <QFontDatabase>

#include <gtest/gtest.h>

namespace kivo {
namespace {

using test::Sjis;

TEST(FontCommand, ChosenFaceAndSizeAreStoredWithMaskEffectsAndColourReset)
{
    CharFormat stored = DefaultCharFormat(0x000000);
    stored.dwMask = 0x3;
    stored.dwEffects = CFE_BOLD | CFE_STRIKEOUT;
    stored.crTextColor = 0x00FF00;
    stored.bCharSet = 128;
    stored.wWeight = 700;
    QFont chosen(QStringLiteral("DejaVu Sans"));
    chosen.setPointSize(14);
    chosen.setBold(true);
    const CharFormat format = FormatWithFont(stored, chosen, 0x0000FF);
    EXPECT_EQ(format.yHeight, 280);
    EXPECT_EQ(format.dwMask, 0xE800000Fu);
    EXPECT_EQ(format.dwEffects, 0u);
    EXPECT_EQ(format.crTextColor, 0x0000FFu);
    EXPECT_EQ(format.FaceName(), "DejaVu Sans");
    EXPECT_EQ(format.cbSize, 84u);
    // The chooser has no character set of its own; the other fields stay as stored.
    EXPECT_EQ(format.bCharSet, 128);
    EXPECT_EQ(format.wWeight, 700);
}

TEST(FontCommand, TheStandInOfTheStoredFaceKeepsTheStoredName)
{
    const CharFormat stored = DefaultCharFormat(0);
    QFont chosen(DisplayFamily(charformat::FaceName(stored)));
    chosen.setPointSizeF(10.5);
    const CharFormat format = FormatWithFont(stored, chosen, 0);
    EXPECT_EQ(format.FaceName(), Sjis("ＭＳ ゴシック"));
    EXPECT_EQ(format.bPitchAndFamily, stored.bPitchAndFamily);
    EXPECT_EQ(format.yHeight, 210);
}

TEST(FontCommand, TheChooserStartsFromFaceAndSizeAndCancelChangesNothing)
{
    RichOptions options;
    options.CharFormat.yHeight = 300;
    options.CharFormat.dwEffects = CFE_ITALIC;
    const CharFormat before = options.CharFormat;
    QFont offered;
    {
        ScopedFontChooser chooser([&](const QFont &initial, QWidget *) {
            offered = initial;
            return std::optional<QFont>();
        });
        EXPECT_FALSE(ChangeDisplayFont(options, nullptr, nullptr));
    }
    EXPECT_EQ(options.CharFormat, before);
    EXPECT_DOUBLE_EQ(offered.pointSizeF(), 15.0);
    EXPECT_FALSE(offered.italic());
    EXPECT_EQ(offered.family(), DisplayFamily(charformat::FaceName(before)));
}

TEST(FontCommand, OkStoresTheWholeRecordInTheOriginalColour)
{
    RichOptions options;
    options.Color[ColorOriginal] = 0x112233;
    options.CharFormat.crTextColor = 0x445566; // differs: reset on OK
    ScopedFontChooser chooser([](const QFont &initial, QWidget *) {
        QFont font = initial;
        font.setPointSize(14);
        return std::optional<QFont>(font);
    });
    EXPECT_TRUE(ChangeDisplayFont(options, nullptr, nullptr));
    EXPECT_EQ(options.CharFormat.yHeight, 280);
    EXPECT_EQ(options.CharFormat.crTextColor, 0x112233u);
    EXPECT_EQ(options.CharFormat.dwMask, kDisplayFormatMask);
    EXPECT_EQ(options.CharFormat.FaceName(), Sjis("ＭＳ ゴシック"));
}

} // namespace
} // namespace kivo
