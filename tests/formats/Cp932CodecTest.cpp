#include "Cp932Codec.h"
#include "HexBytes.h"
#include "Utf8.h"

#include <gtest/gtest.h>

#include <set>

namespace kivo {
namespace {

using test::Hex;

std::string Encode(Cp932Codec &codec, std::string_view utf8)
{
    Cp932Codec::Error error;
    const auto result = codec.FromUtf8(utf8, &error);
    EXPECT_TRUE(result) << error.message;
    return result.value_or("");
}

std::string Decode(Cp932Codec &codec, std::string_view cp932)
{
    Cp932Codec::Error error;
    const auto result = codec.ToUtf8(cp932, &error);
    EXPECT_TRUE(result) << error.message;
    return result.value_or("");
}

bool IsPrivateCode(std::string_view twoBytes)
{
    const auto lead = static_cast<unsigned char>(twoBytes[0]);
    return twoBytes.size() == 2 && lead >= 0xF0 && lead <= 0xF9;
}

struct HeldCase {
    const char *utf8;
    const char *cp932;
    friend void PrintTo(const HeldCase &c, std::ostream *os) { *os << Hex(c.cp932); }
};

class Cp932CodecHeld : public testing::TestWithParam<HeldCase> {};

TEST_P(Cp932CodecHeld, EncodesToTheStandardBytesAndBack)
{
    Cp932Codec codec;
    const HeldCase &c = GetParam();
    EXPECT_EQ(Hex(Encode(codec, c.utf8)), Hex(c.cp932));
    EXPECT_EQ(Decode(codec, c.cp932), c.utf8);
    EXPECT_EQ(codec.PrivateCodesUsed(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cp932Codec, Cp932CodecHeld,
    testing::Values(HeldCase{"abc\\~", "abc\\~"},
                    HeldCase{"今日は。ｶﾀｶﾅ", "\x8D\xA1\x93\xFA\x82\xCD\x81\x42\xB6\xC0\xB6\xC5"},
                    // Windows' choice among duplicate codes: the IBM extension row, not the NEC
                    // selection of it, and the NEC special row for Roman numerals.
                    HeldCase{"ⅰ", "\xFA\x40"}, HeldCase{"Ⅰ", "\x87\x54"},
                    HeldCase{"～", "\x81\x60"}, HeldCase{"￢", "\x81\xCA"},
                    HeldCase{"－", "\x81\x7C"}, HeldCase{"髙", "\xFB\xFC"},
                    HeldCase{"\t\r\n", "\t\r\n"}));

TEST(Cp932Codec, CharactersTheCodePageCannotHoldRoundTrip)
{
    Cp932Codec codec;
    // é, an emoji, the wave dash next to the full-width tilde, the yen sign, a real private-use
    // character, a kanji outside the BMP, the minus sign next to the full-width hyphen-minus and
    // the not sign, whose bytes 81 CA mean the full-width not sign.
    const std::string text = "é😀〜～¥\uE000𠮷−－¬";
    const std::string cp932 = Encode(codec, text);
    EXPECT_EQ(Decode(codec, cp932), text);
    EXPECT_EQ(codec.PrivateCodesUsed(), 8u); // ～ and － are held by the code page
    EXPECT_NE(Encode(codec, "〜"), Encode(codec, "～"));
    EXPECT_NE(Encode(codec, "¥"), "\\");
    EXPECT_TRUE(IsPrivateCode(Encode(codec, "\uE000")));
    EXPECT_TRUE(codec.IsValidCp932(cp932));
}

TEST(Cp932Codec, PrivateCodesAreStableAndInOrderOfFirstUse)
{
    Cp932Codec codec;
    EXPECT_EQ(Hex(Encode(codec, "é")), "F0 40");
    EXPECT_EQ(Hex(Encode(codec, "a😀é")), "61 F0 41 F0 40");
    EXPECT_EQ(Hex(Encode(codec, "😀")), "F0 41");
    EXPECT_EQ(codec.PrivateCodesUsed(), 2u);
}

TEST(Cp932Codec, UnallocatedUserDefinedCodesDecodeToTheStandardCharacters)
{
    Cp932Codec codec;
    EXPECT_EQ(Decode(codec, "\xF0\x40"), "\uE000");
    EXPECT_EQ(Decode(codec, "\xF9\xFC"), "\uE757");
    // Once F040 is handed out, it means its character.
    EXPECT_EQ(Hex(Encode(codec, "é")), "F0 40");
    EXPECT_EQ(Decode(codec, "\xF0\x40"), "é");
    EXPECT_EQ(Decode(codec, "\xF0\x41"), "\uE001");
}

TEST(Cp932Codec, ExternalBytesKeepTheStandardUserDefinedCharacters)
{
    Cp932Codec codec;
    EXPECT_EQ(Hex(Encode(codec, "é")), "F0 40");
    // A file's own F0 40 is U+E000, not the é handed out above; it gets a private code of its
    // own when encoded, and both come back.
    const auto external = codec.ExternalToUtf8("\xF0\x40\x82\xA0");
    ASSERT_TRUE(external);
    EXPECT_EQ(*external, "\uE000あ");
    const std::string both = Encode(codec, "é" + *external);
    EXPECT_EQ(Hex(both), "F0 40 F0 41 82 A0");
    EXPECT_EQ(Decode(codec, both), "é\uE000あ");
    Cp932Codec::Error error;
    EXPECT_FALSE(codec.ExternalToUtf8("\x85\x40", &error));
    EXPECT_EQ(error.offset, 0u);
}

TEST(Cp932Codec, SharedCodecKeepsOneTable)
{
    Cp932Codec &shared = Cp932Codec::Shared();
    EXPECT_EQ(&shared, &Cp932Codec::Shared());
    const std::string code = Encode(shared, "ø");
    EXPECT_EQ(Encode(Cp932Codec::Shared(), "ø"), code);
    EXPECT_EQ(Decode(Cp932Codec::Shared(), code), "ø");
}

TEST(Cp932Codec, EveryCodeFromUtf8DecodesToItsCharacter)
{
    // Whole-table check: every BMP character the code page holds comes back unchanged, and the
    // held ones never use the user-defined area.
    Cp932Codec codec;
    std::string all;
    for (char32_t c = 1; c < 0x10000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        if (Cp932Codec::CanHold(c))
            utf8::Append(all, c);
    }
    const std::string cp932 = Encode(codec, all);
    EXPECT_EQ(codec.PrivateCodesUsed(), 0u);
    EXPECT_EQ(Decode(codec, cp932), all);
    EXPECT_FALSE(Cp932Codec::CanHold(0x301C));
    EXPECT_FALSE(Cp932Codec::CanHold(0xA5));
    EXPECT_FALSE(Cp932Codec::CanHold(0xE000));
    EXPECT_FALSE(Cp932Codec::CanHold(0x20BB7));
    EXPECT_TRUE(Cp932Codec::CanHold(0xFF5E));
}

TEST(Cp932Codec, RunningOutOfPrivateCodesFailsCleanly)
{
    Cp932Codec codec;
    // 1880 distinct characters the code page cannot hold: CJK Extension B is outside the BMP.
    std::string text;
    for (char32_t c = 0x20000; c < 0x20000 + Cp932Codec::kPrivateCodeCount; ++c)
        utf8::Append(text, c);
    const std::string cp932 = Encode(codec, text);
    EXPECT_EQ(codec.PrivateCodesUsed(), Cp932Codec::kPrivateCodeCount);
    EXPECT_EQ(Hex(cp932.substr(cp932.size() - 2)), "F9 FC");
    std::set<std::string> codes;
    for (std::size_t i = 0; i < cp932.size(); i += 2)
        codes.insert(cp932.substr(i, 2));
    EXPECT_EQ(codes.size(), Cp932Codec::kPrivateCodeCount);
    EXPECT_EQ(Decode(codec, cp932), text);

    // Known characters still convert; one more new character does not.
    EXPECT_EQ(Hex(Encode(codec, "a\xF0\xA0\x80\x80")), "61 F0 40");
    Cp932Codec::Error error;
    EXPECT_FALSE(codec.FromUtf8("ab😀", &error));
    EXPECT_EQ(error.offset, 2u);
    EXPECT_NE(error.message.find("U+1F600"), std::string::npos) << error.message;
    EXPECT_EQ(error.message.find('\n'), std::string::npos);
}

struct InvalidCase {
    std::string bytes;
    std::size_t offset;
    friend void PrintTo(const InvalidCase &c, std::ostream *os) { *os << Hex(c.bytes); }
};

class Cp932CodecInvalid : public testing::TestWithParam<InvalidCase> {};

TEST_P(Cp932CodecInvalid, IsRejectedWithItsOffset)
{
    Cp932Codec codec;
    const InvalidCase &c = GetParam();
    Cp932Codec::Error error;
    EXPECT_FALSE(codec.IsValidCp932(c.bytes, &error)) << Hex(c.bytes);
    EXPECT_EQ(error.offset, c.offset);
    Cp932Codec::Error decodeError;
    EXPECT_FALSE(codec.ToUtf8(c.bytes, &decodeError));
    EXPECT_EQ(decodeError.offset, c.offset);
    EXPECT_FALSE(decodeError.message.empty());
    EXPECT_EQ(decodeError.message.find('\n'), std::string::npos);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(Cp932Codec, Cp932CodecInvalid,
                         testing::Values(InvalidCase{"ab\0c"s, 2}, // NUL
                                         InvalidCase{"ab\x82", 2}, // lone lead byte at the end
                                         InvalidCase{"\x82\xA0\x82\x20", 2}, // bad trail byte
                                         InvalidCase{"\x82\x7F", 0},         // 7F is no trail
                                         InvalidCase{"a\x80", 1}, InvalidCase{"a\xA0", 1},
                                         InvalidCase{"\xFD", 0}, InvalidCase{"a\xFF", 1},
                                         InvalidCase{"\x85\x40", 0},   // unassigned row
                                         InvalidCase{"\x81\xAD", 0})); // unassigned cell

struct InvalidUtf8Case {
    std::string bytes;
    std::size_t offset;
    friend void PrintTo(const InvalidUtf8Case &c, std::ostream *os) { *os << Hex(c.bytes); }
};

class Cp932CodecInvalidUtf8 : public testing::TestWithParam<InvalidUtf8Case> {};

TEST_P(Cp932CodecInvalidUtf8, IsRejectedWithItsOffset)
{
    Cp932Codec codec;
    Cp932Codec::Error error;
    EXPECT_FALSE(codec.FromUtf8(GetParam().bytes, &error)) << Hex(GetParam().bytes);
    EXPECT_EQ(error.offset, GetParam().offset);
    EXPECT_FALSE(error.message.empty());
}

INSTANTIATE_TEST_SUITE_P(Cp932Codec, Cp932CodecInvalidUtf8,
                         testing::Values(InvalidUtf8Case{"ab\0"s, 2},
                                         InvalidUtf8Case{"a\xC0\xAF", 1},        // overlong
                                         InvalidUtf8Case{"\xED\xA0\x80", 0},     // surrogate
                                         InvalidUtf8Case{"\xF4\x90\x80\x80", 0}, // > U+10FFFF
                                         InvalidUtf8Case{"あ\xE3\x81", 3},       // truncated
                                         InvalidUtf8Case{"\x82\xA0", 0}));       // Shift-JIS

TEST(Cp932Codec, ZeroWidthNoBreakSpaceIsKeptEverywhere)
{
    // U+FEFF is a character the code page cannot hold; window text may start with it, so the
    // converter keeps it there too (files drop their byte-order mark before converting).
    Cp932Codec codec;
    for (const std::string text : {"a\xEF\xBB\xBF", "\xEF\xBB\xBF"
                                                    "a"})
        EXPECT_EQ(Decode(codec, Encode(codec, text)), text);
}

TEST(Cp932Codec, WindowLineBreaks)
{
    EXPECT_EQ(ToWindowLineBreaks("a\r\nb\nc\rd\n\re\r\r\n"), "a\rb\rc\rd\r\re\r\r");
    EXPECT_EQ(ToWindowLineBreaks(""), "");
    // Trail bytes are never CR or LF, so two-byte characters pass unchanged.
    EXPECT_EQ(ToWindowLineBreaks("\x82\xA0\n\x81\x40"), "\x82\xA0\r\x81\x40");
}

} // namespace
} // namespace kivo
