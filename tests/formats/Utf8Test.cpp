#include "Utf8.h"
#include "Cp932Codec.h"
#include "HexBytes.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

using namespace std::string_literals;

struct Utf8Case {
    std::string bytes;
    bool valid;
    friend void PrintTo(const Utf8Case &c, std::ostream *os) { *os << test::Hex(c.bytes); }
};

class Utf8Validity : public testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Validity, IsStrict)
{
    EXPECT_EQ(IsValidUtf8(GetParam().bytes), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Utf8, Utf8Validity,
    testing::Values(Utf8Case{"", true}, Utf8Case{"plain", true}, Utf8Case{"日本語😀", true},
                    Utf8Case{"\xEF\xBB\xBFtext", true}, Utf8Case{"\xEF\xBB\xBF", true},
                    Utf8Case{"\xF4\x8F\xBF\xBF", true},                           // U+10FFFF
                    Utf8Case{"\xC1\xBF", false}, Utf8Case{"\xE0\x9F\xBF", false}, // overlong
                    Utf8Case{"\xF0\x8F\xBF\xBF", false},                          // overlong
                    Utf8Case{"\xED\xBF\xBF", false},                              // surrogate
                    Utf8Case{"\xF4\x90\x80\x80", false}, Utf8Case{"\xF8\x88\x80\x80\x80", false},
                    Utf8Case{"\x80", false}, Utf8Case{"\xE3\x81", false},
                    Utf8Case{"\xE3\x41\x82", false},
                    Utf8Case{"\x93\xFA\x96\x7B", false})); // Shift-JIS 日本

TEST(Utf8, AppendWritesEveryLength)
{
    std::string out;
    for (const char32_t c : {U'a', U'é', U'あ', U'😀'})
        utf8::Append(out, c);
    EXPECT_EQ(out, "aéあ😀");
    std::size_t pos = 0;
    char32_t cp = 0;
    for (const char32_t expected : {U'a', U'é', U'あ', U'😀'}) {
        ASSERT_TRUE(utf8::Decode(out, pos, cp));
        EXPECT_EQ(cp, expected);
    }
    EXPECT_EQ(pos, out.size());
}

} // namespace
} // namespace kivo
