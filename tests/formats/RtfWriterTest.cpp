#include "Cp932Codec.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace kivo::rtf {

void PrintTo(const TextRun &run, std::ostream *os)
{
    const Format &f = run.format;
    *os << '"' << run.text << "\" " << (f.bold ? "b" : "") << (f.italic ? "i" : "")
        << (f.underline ? "u" : "") << (f.strike ? "s" : "") << " color="
        << (f.color ? std::to_string(*f.color) : "auto") << " size=" << f.halfPoints << " face=\""
        << f.face << '"';
}

namespace {

std::string Written(const Runs &runs)
{
    const auto rtf = Write(runs, Cp932Codec::Shared());
    EXPECT_TRUE(rtf.has_value());
    return rtf.value_or("");
}

Runs ReadBack(const std::string &rtf)
{
    const auto runs = Read(rtf, Cp932Codec::Shared());
    EXPECT_TRUE(runs.has_value()) << rtf;
    return runs.value_or(Runs{});
}

Format Styled(bool bold, bool italic, bool underline, bool strike, std::optional<ColorRef> color)
{
    return Format{bold, italic, underline, strike, color, 22, "ＭＳ ゴシック"};
}

TEST(RtfWriter, CodePage932AsBytesAndEverythingElseAsUnicode)
{
    const std::string rtf = Written({TextRun{"日ｱ〜é😀a{b}\\1", Format{}}});
    EXPECT_TRUE(rtf.starts_with("{\\rtf1\\ansi\\ansicpg932")) << rtf;
    EXPECT_NE(rtf.find("\\'93\\'fa\\'b1"), std::string::npos) << rtf;   // 日 and half-width ｱ
    EXPECT_NE(rtf.find("\\u12316?"), std::string::npos) << rtf;        // U+301C
    EXPECT_NE(rtf.find("\\u233?"), std::string::npos) << rtf;          // é
    EXPECT_NE(rtf.find("\\u-10179?\\u-8704?"), std::string::npos) << rtf; // the emoji's pair
    EXPECT_NE(rtf.find("a\\{b\\}\\\\1"), std::string::npos) << rtf;
    EXPECT_EQ(PlainText(ReadBack(rtf)), "日ｱ〜é😀a{b}\\1");
}

TEST(RtfWriter, PrivateCodesOfTheProgramAreWrittenAsTheirCharacters)
{
    // A character the code page cannot hold has a private code in the windows' bytes; in RTF it
    // must be the character itself, never the user-defined code.
    const std::string bytes = *Cp932Codec::Shared().FromUtf8("〜");
    ASSERT_EQ(static_cast<unsigned char>(bytes[0]) & 0xF0, 0xF0);
    const std::string rtf = Written({TextRun{"〜", Format{}}});
    EXPECT_EQ(rtf.find("\\'f"), std::string::npos) << rtf;
}

TEST(RtfWriter, WhatIsWrittenIsReadBackUnchanged)
{
    const Runs runs{
        TextRun{"\n先頭の空段落の後、", Styled(false, false, false, false, std::nullopt)},
        TextRun{"太字", Styled(true, false, false, false, 0x0000FF)},
        TextRun{"斜体\u2028改行", Styled(false, true, false, false, 0x00FF00)},
        TextRun{"下線\t〜😀", Styled(false, false, true, false, 0xFF0000)},
        TextRun{"取消1", Styled(false, false, false, true, 0x808080)},
        TextRun{"全部-2 ", Format{true, true, true, true, 0x123456, 40, "Face; with; semicolons"}},
        TextRun{"大\n\n", Format{false, false, false, false, std::nullopt, 48, "Ｆａｃｅ〜😀"}},
    };
    Runs expected = runs;
    expected[5].format.face = "Face with semicolons";
    EXPECT_EQ(ReadBack(Written(runs)), expected);
}

TEST(RtfWriter, EmptyTextIsAnEmptyDocument)
{
    EXPECT_EQ(ReadBack(Written({})), Runs{});
    EXPECT_EQ(ReadBack(Written({TextRun{"\n", Format{}}})), (Runs{TextRun{"\n", Format{}}}));
}

TEST(RtfWriter, RandomDocumentsComeBackUnchanged)
{
    // Control words next to digits, letters, spaces and hyphens; every kind of character.
    const std::vector<std::string> pieces{"a", "1", " ", "-", "日", "ｶ", "\n", "\t", "\u2028",
                                          "{", "}", "\\", "é", "〜", "😀", "①", "\u00A0", "?"};
    std::mt19937 random(20261208);
    for (int document = 0; document < 300; ++document) {
        Runs runs;
        const int count = static_cast<int>(random() % 8);
        for (int r = 0; r < count; ++r) {
            std::string text;
            const int length = 1 + static_cast<int>(random() % 6);
            for (int k = 0; k < length; ++k)
                text += pieces[random() % pieces.size()];
            const unsigned bits = random();
            Format format{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0,
                          (bits & 16) ? std::optional<ColorRef>(bits >> 8 & 0xFFFFFF)
                                      : std::nullopt,
                          20 + static_cast<int>(bits % 3) * 2,
                          (bits & 32) ? "明朝" : "Gothic"};
            Append(runs, text, format);
        }
        // A last paragraph mark that ends the text is read as the end of the text, as is
        // customary; so is one the writer adds.
        const std::string rtf = Written(runs);
        ASSERT_EQ(ReadBack(rtf), runs) << rtf;
    }
}

} // namespace
} // namespace kivo::rtf
