#include "TextFile.h"
#include "HexBytes.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

using namespace std::string_literals;

struct ReadCase {
    const char *name;
    std::string bytes;
    std::string utf8;
    TextEncoding encoding;
    friend void PrintTo(const ReadCase &c, std::ostream *os) { *os << test::Hex(c.bytes); }
};

class TextFileRead : public testing::TestWithParam<ReadCase> {};

TEST_P(TextFileRead, GivesTheTextInItsEncoding)
{
    Cp932Codec codec;
    Cp932Codec::Error error;
    const auto text = DecodeTextFile(GetParam().bytes, codec, &error);
    ASSERT_TRUE(text) << error.message;
    EXPECT_EQ(text->utf8, GetParam().utf8);
    EXPECT_EQ(text->encoding, GetParam().encoding);
    EXPECT_EQ(codec.PrivateCodesUsed(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    TextFile, TextFileRead,
    testing::Values(ReadCase{"Empty", "", "", TextEncoding::Utf8},
                    ReadCase{"Ascii", "a\r\nb", "a\r\nb", TextEncoding::Utf8},
                    ReadCase{"Utf8", "日〜😀", "日〜😀", TextEncoding::Utf8},
                    ReadCase{"Utf8MarkDroppedOnce", "\xEF\xBB\xBF\xEF\xBB\xBF日", "\uFEFF日",
                             TextEncoding::Utf8},
                    ReadCase{"Utf16LE", "\xFF\xFE\xE5\x65\x0D\x00\x0A\x00\x3D\xD8\x00\xDE"s,
                             "日\r\n😀", TextEncoding::Utf16LE},
                    ReadCase{"Utf16BE", "\xFE\xFF\x65\xE5\xFE\xFF\x30\x1C"s, "日\uFEFF〜",
                             TextEncoding::Utf16BE},
                    ReadCase{"Utf16MarkOnly", "\xFF\xFE", "", TextEncoding::Utf16LE},
                    ReadCase{"Cp932", "\x93\xFA\x96\x7B\xB1\x0D\x0A", "日本ｱ\r\n",
                             TextEncoding::Cp932},
                    // The user-defined area of a file means its standard characters.
                    ReadCase{"Cp932UserDefined", "\xF0\x40", "\uE000", TextEncoding::Cp932},
                    // Valid UTF-8 wins where the bytes are both.
                    ReadCase{"BothReadsAsUtf8", "\xE3\x81\x82", "あ", TextEncoding::Utf8}),
    [](const auto &param) { return std::string(param.param.name); });

struct RefuseCase {
    const char *name;
    std::string bytes;
    std::size_t offset;
    const char *message;
    FileReason reason;
    friend void PrintTo(const RefuseCase &c, std::ostream *os) { *os << test::Hex(c.bytes); }
};

class TextFileRefuse : public testing::TestWithParam<RefuseCase> {};

TEST_P(TextFileRefuse, SaysWhyAndWhere)
{
    Cp932Codec codec;
    Cp932Codec::Error error;
    EXPECT_FALSE(DecodeTextFile(GetParam().bytes, codec, &error));
    EXPECT_EQ(error.offset, GetParam().offset);
    EXPECT_TRUE(error.message.starts_with(GetParam().message)) << error.message;
    EXPECT_EQ(error.reason, GetParam().reason);
}

// The place told is that of the encoding that read furthest: a UTF-8 text cut inside its last
// character breaks there, though code page 932 already fails on its tenth byte.
INSTANTIATE_TEST_SUITE_P(
    TextFile, TextFileRefuse,
    testing::Values(
        RefuseCase{"NulInUtf8", "ab\0c"s, 2, "not text: NUL character at byte 2",
                   FileReason::NulCharacter},
        RefuseCase{"NulInCp932", "\x93\xFA\0"s, 2, "not text: NUL", FileReason::NulCharacter},
        RefuseCase{"NulInUtf16",
                   "\xFF\xFE"
                   "a\0\0\0"s,
                   4, "not text: NUL", FileReason::NulCharacter},
        RefuseCase{"NulBeforeAUtf8Cut", "\xE3\x81\x82\0\xE3\x81\x82\xE3"s, 3, "not text: NUL",
                   FileReason::NulCharacter},
        RefuseCase{"OddUtf16",
                   "\xFF\xFE"
                   "a\0b"s,
                   4, "UTF-16 text cut short: it has an odd", FileReason::BrokenUtf16},
        RefuseCase{"LoneHighSurrogate",
                   "\xFF\xFE\x3D\xD8"
                   "a\0"s,
                   2, "UTF-16 text with an unpaired", FileReason::BrokenUtf16},
        RefuseCase{"LoneLowSurrogate", "\xFE\xFF\xDE\x00"s, 2, "UTF-16 text with an unpaired",
                   FileReason::BrokenUtf16},
        RefuseCase{"HighSurrogateAtEnd", "\xFF\xFE\x3D\xD8"s, 2, "UTF-16 text with an unpaired",
                   FileReason::BrokenUtf16},
        RefuseCase{"Neither", "ok\x81\x20", 2, "neither UTF-8 nor code page 932 text: lead byte",
                   FileReason::NotInAnyEncoding},
        RefuseCase{"Cp932WithABadCode", "\x93\xFA\x96\x7B\x85\x40", 4, "neither UTF-8",
                   FileReason::NotInAnyEncoding},
        RefuseCase{"Utf8CutInItsLastCharacter", "日本語の文。\n二行目。\xE3\x81"s, 31,
                   "UTF-8 text that breaks at byte 31", FileReason::BrokenUtf8},
        RefuseCase{"Utf8MarkThenCp932", "\xEF\xBB\xBF\x93\xFA\x96\x7B", 3,
                   "UTF-8 text that breaks at byte 3", FileReason::BrokenUtf8}),
    [](const auto &param) { return std::string(param.param.name); });

TEST(Cp932CodecReplacing, KeepsWhatConvertsAndReplacesTheRest)
{
    Cp932Codec codec;
    // A lead byte with a trail byte that makes no character is one bad character; a lead byte
    // before a byte that cannot follow it is bad alone; NUL and FD-FF are bad bytes.
    EXPECT_EQ(codec.ToUtf8Replacing("a\x85\x40"
                                    "b\x81 c\0d\xFF"s,
                                    Cp932Codec::Origin::External),
              "a\uFFFDb\uFFFD c\uFFFDd\uFFFD");
    EXPECT_EQ(codec.ToUtf8Replacing("\x93\xFA\x81", Cp932Codec::Origin::External), "日\uFFFD");
    // Handed-out private codes give back their characters only for the program's own text.
    const std::string privateCode = *codec.FromUtf8("〜");
    EXPECT_EQ(codec.ToUtf8Replacing(privateCode, Cp932Codec::Origin::Program), "〜");
    EXPECT_EQ(codec.ToUtf8Replacing(privateCode, Cp932Codec::Origin::External), "\uE000");
}

} // namespace
} // namespace kivo
