// Files that a word processor wrote (tests/data/rtf, made by generate.sh there): the reader gives
// the text of each, and keeps the colours and effects of its formatted words.
#include "Cp932Codec.h"
#include "RtfReader.h"
#include "RtfTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace kivo::rtf {
namespace {

using test::FormatOf;

std::string Slurp(const std::string &name)
{
    std::ifstream file(std::string(KIVO_RTF_DATA) + "/" + name, std::ios::binary);
    EXPECT_TRUE(file) << name;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

Runs ReadFile(const std::string &name)
{
    auto runs = Read(Slurp(name + ".rtf"), Cp932Codec::Shared());
    EXPECT_TRUE(runs.has_value()) << name;
    return runs.value_or(Runs{});
}


class RtfWordProcessorFile : public testing::TestWithParam<const char *> {};

TEST_P(RtfWordProcessorFile, GivesItsText)
{
    EXPECT_EQ(PlainText(ReadFile(GetParam())), Slurp(std::string(GetParam()) + ".expected"));
}

INSTANTIATE_TEST_SUITE_P(Rtf, RtfWordProcessorFile,
                         testing::Values("libreoffice-styled", "libreoffice-table-image",
                                         "libreoffice-sjis"),
                         [](const auto &param) {
                             std::string name = param.param;
                             std::erase(name, '-');
                             return name;
                         });

constexpr ColorRef kRed = 0x0000FF;
constexpr ColorRef kBlue = 0xFF0000;
constexpr ColorRef kGreen = 0x008000;

TEST(RtfWordProcessor, StyledTextKeepsColoursAndEffects)
{
    const Runs runs = ReadFile("libreoffice-styled");
    EXPECT_TRUE(FormatOf(runs, "猫").bold);
    EXPECT_FALSE(FormatOf(runs, "吾輩").bold);
    EXPECT_TRUE(FormatOf(runs, "まだ").italic);
    EXPECT_EQ(FormatOf(runs, "赤い文字").color, kRed);
    const Format blueBold = FormatOf(runs, "青い太字");
    EXPECT_EQ(blueBold.color, kBlue);
    EXPECT_TRUE(blueBold.bold);
    EXPECT_TRUE(FormatOf(runs, "下線").underline);
    EXPECT_TRUE(FormatOf(runs, "取り消し線").strike);
    EXPECT_FALSE(FormatOf(runs, "😀").strike);
}

TEST(RtfWordProcessor, TableAndPictureKeepTheTextAroundThem)
{
    const Runs runs = ReadFile("libreoffice-table-image");
    const Format redBold = FormatOf(runs, "赤い太字");
    EXPECT_EQ(redBold.color, kRed);
    EXPECT_TRUE(redBold.bold);
    const Format greenItalic = FormatOf(runs, "緑の斜体");
    EXPECT_EQ(greenItalic.color, kGreen);
    EXPECT_TRUE(greenItalic.italic);
    EXPECT_TRUE(FormatOf(runs, "下線の値").underline);
    const Format blueStrike = FormatOf(runs, "青の取消");
    EXPECT_TRUE(blueStrike.strike);
    EXPECT_EQ(blueStrike.color, kBlue);
    const Format large = FormatOf(runs, "明朝の大きな字");
    EXPECT_EQ(large.halfPoints, 32);
    EXPECT_EQ(large.face, "IPAexMincho");
}

} // namespace
} // namespace kivo::rtf
