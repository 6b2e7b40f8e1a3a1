#include "RtfReader.h"
#include "Cp932Codec.h"
#include "FileReason.h"
#include "RtfTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kivo::rtf {
namespace {

using test::FormatOf;

std::optional<std::string> TextOf(std::string_view rtf)
{
    const auto runs = Read(rtf, Cp932Codec::Shared());
    if (!runs)
        return std::nullopt;
    return PlainText(*runs);
}

struct TextCase {
    const char *name;
    std::string rtf;
    std::optional<std::string> text; ///< nullopt: not read at all
    friend void PrintTo(const TextCase &c, std::ostream *os) { *os << c.name; }
};

class RtfReaderText : public testing::TestWithParam<TextCase> {};

TEST_P(RtfReaderText, GivesTheText)
{
    EXPECT_EQ(TextOf(GetParam().rtf), GetParam().text);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Rtf, RtfReaderText,
    testing::Values(
        TextCase{"Escapes", R"({\rtf1 a\{b\}c\\d})", "a{b}c\\d"},
        TextCase{"HexInCodePage932", R"({\rtf1\ansi\ansicpg932 \'93\'fa\'96\'7b})", "日本"},
        // 0x5C is the second byte of 表: escaped as \\ it still joins its lead byte.
        TextCase{"TrailByteBackslash", R"({\rtf1\ansi\ansicpg932 \'95\\\'95\'5c})", "表表"},
        TextCase{"EightBitBytes", "{\\rtf1\\ansicpg932 \x93\xfa}", "日"},
        TextCase{"Western", R"({\rtf1\ansi caf\'e9 \'80})", "café €"},
        TextCase{
            "FontCharSetWins",
            R"({\rtf1\ansi{\fonttbl{\f0\fcharset128 A;}{\f1\fcharset0 B;}}\f0\'82\'a0\f1\'e9})",
            "あé"},
        TextCase{"OtherCodePage", R"({\rtf1\ansi\ansicpg1251 \'c4\'e0})", "Да"},
        TextCase{"UnicodeSkipsFallback", R"({\rtf1\uc2\u26085\'93\'fa\u26412\'96\'7b})", "日本"},
        TextCase{"UnicodeSkipEndsWithGroup", R"({\rtf1{\uc2\u26085 ab}\u26412 cd})", "日本d"},
        TextCase{"UnicodeNoFallback", R"({\rtf1\uc0\u26085 x})", "日x"},
        TextCase{"SurrogatesNegative", R"({\rtf1\u-10179?\u-8704?})", "😀"},
        TextCase{"SurrogatesAcrossUc", R"({\rtf1\uc0 \u55357\uc1 \u56832\'3f.})", "😀."},
        TextCase{"LoneSurrogate", R"({\rtf1\uc0\u55357 x\u56832 y})", "\uFFFDx\uFFFDy"},
        TextCase{"UnicodeOutOfRange", R"({\rtf1\uc0\u99999999999999 x})", "\uFFFDx"},
        TextCase{"Breaks", R"({\rtf1 a\par b\line c\tab d\par})", "a\nb\u2028c\td"},
        TextCase{"OnlyTheLastParagraphMarkGoes", R"({\rtf1 a\par\par})", "a\n"},
        TextCase{"Symbols", R"({\rtf1 a\~b\_c\-d\emdash\ldblquote\rdblquote})",
                 "a\u00A0b\u2011cd—“”"},
        TextCase{"SkippedDestinations",
                 R"({\rtf1{\*\unknown x}{\stylesheet{\s0 Normal;}}{\info{\title T}})"
                 R"({\pict\pngblip 89504e47}{\header H}{\field{\*\fldinst HYPERLINK "u"})"
                 R"({\fldrslt link}} t})",
                 "link t"},
        TextCase{"Binary", R"({\rtf1 a{\pict\bin2 }{}b}c})", "ab"},
        TextCase{"Table", R"({\rtf1\trowd\cellx1\cellx2\intbl a\cell b\cell\row\pard c\par})",
                 "a\tb\nc"},
        TextCase{"Hidden", R"({\rtf1 a{\v hidden}b\v c\v0 d})", "abd"},
        TextCase{"UnicodeInUpr", R"({\rtf1{\upr{x}{\*\ud{\u26085 y}}}z})", "日z"},
        TextCase{"CrAndLfAreNotText", "{\\rtf1 a\r\nb\\\nc}", "ab\nc"},
        // Malformed input gives what could be read.
        TextCase{"NotRtf", "plain text", std::nullopt},
        TextCase{"Capitals", R"({\RTF1 x})", std::nullopt}, TextCase{"Empty", "", std::nullopt},
        TextCase{"Unclosed", R"({\rtf1 abc{\b d)", "abcd"},
        TextCase{"EndsAtTheOutermostClose", R"({\rtf1 a}b}c)", "a"},
        TextCase{"TruncatedHex", R"({\rtf1 a\'4)", "a"},
        TextCase{"BadHex", R"({\rtf1 a\'zz})", "azz"},
        TextCase{"BackslashAtEnd", "{\\rtf1 a\\", "a"},
        TextCase{"HugeNumbers",
                 R"({\rtf1\uc99999999999999999 \fs-99999999999999 a{\cf99999999999 b}})", "ab"},
        TextCase{"HugeBinary", R"({\rtf1 a\bin99999999999999 xyz})", "a"},
        TextCase{"LongWord", "{\\rtf1 a\\" + std::string(1000, 'x') + " b}", "ab"},
        TextCase{"NulBytes", "{\\rtf1 a\\'00b\0c}"s, "abc"},
        TextCase{"NotCp932", R"({\rtf1\ansicpg932 \'81\'ff x})", "\uFFFD\uFFFD x"},
        TextCase{"DeepNesting",
                 "{\\rtf1 " + std::string(100000, '{') + "x" + std::string(100000, '}') + "y}z",
                 "xy"},
        TextCase{"DeepNestingUnclosed", "{\\rtf1 " + std::string(100000, '{') + "x", "x"}),
    [](const auto &param) { return std::string(param.param.name); });

Runs Parse(std::string_view rtf)
{
    auto runs = Read(rtf, Cp932Codec::Shared());
    EXPECT_TRUE(runs.has_value());
    return runs.value_or(Runs{});
}

TEST(RtfReader, ColoursAndTheFourEffects)
{
    const Runs runs = Parse(R"({\rtf1{\colortbl;\red255\green0\blue0;\red0\green0\blue255;})"
                            R"(p{\b\cf1 br}{\i\ul iu}{\strike\cf2 sb}{\cf9 x}{\b\plain y})"
                            R"({\ul\ul0 z}{\uldb\ulc1 w}{\ul\ulnone v}{\striked1 s})");
    EXPECT_EQ(FormatOf(runs, "p"), Format{});
    const Format boldRed = FormatOf(runs, "br");
    EXPECT_TRUE(boldRed.bold);
    EXPECT_EQ(boldRed.color, ColorRef{0x0000FF});
    const Format italicUnderline = FormatOf(runs, "iu");
    EXPECT_TRUE(italicUnderline.italic && italicUnderline.underline && !italicUnderline.bold);
    const Format strikeBlue = FormatOf(runs, "sb");
    EXPECT_TRUE(strikeBlue.strike);
    EXPECT_EQ(strikeBlue.color, ColorRef{0xFF0000});
    EXPECT_EQ(FormatOf(runs, "x").color, std::nullopt) << "an index beyond the table is automatic";
    EXPECT_EQ(FormatOf(runs, "y"), Format{}) << "\\plain resets";
    EXPECT_FALSE(FormatOf(runs, "z").underline);
    EXPECT_TRUE(FormatOf(runs, "w").underline) << "\\ulc is the underline's colour";
    EXPECT_FALSE(FormatOf(runs, "v").underline);
    EXPECT_TRUE(FormatOf(runs, "s").strike);
}

TEST(RtfReader, AssociatedPropertiesApplyToDoubleByteText)
{
    // Word processors set bold and size of Japanese text with \ab and \afs after \dbch.
    const Runs runs = Parse(R"({\rtf1{\fonttbl{\f0 Latin;}{\f1\fcharset128 \'82\'6c\'82\'72 )"
                            R"(\'96\'be\'92\'a9;}}\fs20{\dbch\ab\afs32\af1 a}{\loch\ab\afs32 b})");
    const Format doubleByte = FormatOf(runs, "a");
    EXPECT_TRUE(doubleByte.bold);
    EXPECT_EQ(doubleByte.halfPoints, 32);
    EXPECT_EQ(doubleByte.face, "ＭＳ 明朝");
    const Format low = FormatOf(runs, "b");
    EXPECT_FALSE(low.bold);
    EXPECT_EQ(low.halfPoints, 20);
    EXPECT_EQ(low.face, "Latin") << "text without a font of its own takes \\deff, or font 0";
}

TEST(RtfReader, FontTablesWithoutGroupsAndWithAlternatives)
{
    const Runs runs =
        Parse(R"({\rtf1\deff1{\fonttbl\f0\froman Roman;\f1\fswiss Swiss{\*\falt Alt};}x\f0 y})");
    EXPECT_EQ(FormatOf(runs, "x").face, "Swiss");
    EXPECT_EQ(FormatOf(runs, "y").face, "Roman");
}

std::string Slurp(const std::string &name)
{
    std::ifstream file(std::string(KIVO_RTF_DATA) + "/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

struct NotesCase {
    const char *name;
    std::string rtf;
    bool endsEarly;
    bool tooMuch;
    friend void PrintTo(const NotesCase &c, std::ostream *os) { *os << c.name; }
};

class RtfReaderNotes : public testing::TestWithParam<NotesCase> {};

TEST_P(RtfReaderNotes, TellsADocumentCutShortOrTooLarge)
{
    ReadNotes notes;
    std::size_t handed = 0;
    ASSERT_TRUE(Read(
        GetParam().rtf, Cp932Codec::Shared(),
        [&](const TextRun &run) { handed += run.text.size() + run.format.face.size(); }, &notes));
    EXPECT_EQ(notes.endsEarly, GetParam().endsEarly);
    EXPECT_EQ(notes.tooMuch, GetParam().tooMuch);
    // What was handed over stays within the limit, whatever the document stands for.
    EXPECT_LE(handed, MostProducedBytes(GetParam().rtf.size()));
}

std::vector<NotesCase> NotesCases()
{
    const std::string whole = Slurp("libreoffice-sjis.rtf");
    // A font of a 60 KiB name switched on and off for every character: each run carries it.
    std::string faces = "{\\rtf1{\\fonttbl{\\f1 " + std::string(60 << 10, 'F') + ";}}";
    for (int i = 0; i < 2000; ++i)
        faces += "{\\f1 a}b";
    faces += "}";
    return {
        {"Whole", whole, false, false},
        {"FirstHalfOfALibreOfficeFile", whole.substr(0, whole.size() / 2), true, false},
        {"SignatureAlone", "{\\rtf", true, false},
        {"AMillionOpenGroups", "{\\rtf1 " + std::string(1'000'000, '{'), true, false},
        {"ClosedWithTextAfter", "{\\rtf1 a}b", false, false},
        {"LongFaceOnEveryCharacter", faces, false, true},
    };
}

INSTANTIATE_TEST_SUITE_P(Documents, RtfReaderNotes, testing::ValuesIn(NotesCases()),
                         [](const auto &param) { return std::string(param.param.name); });

} // namespace
} // namespace kivo::rtf
