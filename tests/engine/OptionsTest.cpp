#include "RichOptions.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

RichOptions WithSets(std::initializer_list<const char *> sets)
{
    RichOptions options;
    std::size_t i = 0;
    for (const char *s : sets)
        options.Sptr[i++] = s;
    return options;
}

std::array<std::string, kDelimiterSetCount> Sets(std::initializer_list<const char *> sets)
{
    std::array<std::string, kDelimiterSetCount> result;
    std::size_t i = 0;
    for (const char *s : sets)
        result[i++] = s;
    return result;
}

TEST(RichOptions, DefaultsMatchAFirstRun)
{
    const RichOptions options;
    EXPECT_EQ(options.Sptr[0], "\x81\x42\xA1");
    for (std::size_t i = 1; i < kDelimiterSetCount; ++i)
        EXPECT_TRUE(options.Sptr[i].empty()) << i;
    EXPECT_EQ(options.ViewLine, 1);
    EXPECT_EQ(options.ShowMaximized, 1);
    EXPECT_EQ(options.Color[ColorChanged], 0x0000FFu);
    EXPECT_EQ(options.Effect[EffectSlotOf(TextStatus::Deleted)], 4);
    EXPECT_EQ(options.Effect[EffectSlotOf(TextStatus::Original)], 0);
    EXPECT_EQ(options.CharFormat, DefaultCharFormat(options.Color[ColorOriginal]));
}

struct MoveToFrontCase {
    const char *name;
    const char *set;
    std::array<std::string, kDelimiterSetCount> expected;
    bool changed;
};

class SetCurrentDelimiters : public testing::TestWithParam<MoveToFrontCase> {};

TEST_P(SetCurrentDelimiters, MovesToFront)
{
    RichOptions options = WithSets({"A", "B", "C", "D", "E", "F", "G", "H", "I"});
    EXPECT_EQ(options.SetCurrentDelimiters(GetParam().set), GetParam().changed);
    EXPECT_EQ(options.Sptr, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetCurrentDelimiters,
    testing::Values(
        MoveToFrontCase{"Current", "A", Sets({"A", "B", "C", "D", "E", "F", "G", "H", "I"}), false},
        MoveToFrontCase{"Third", "C", Sets({"C", "A", "B", "D", "E", "F", "G", "H", "I"}), true},
        MoveToFrontCase{"Eighth", "H", Sets({"H", "A", "B", "C", "D", "E", "F", "G", "I"}), true},
        MoveToFrontCase{"New", "X", Sets({"X", "A", "B", "C", "D", "E", "F", "G", "H"}), true},
        // The ninth entry is not searched: it is dropped and comes back in front.
        MoveToFrontCase{"Ninth", "I", Sets({"I", "A", "B", "C", "D", "E", "F", "G", "H"}), true},
        MoveToFrontCase{"EmptySet", "", Sets({"", "A", "B", "C", "D", "E", "F", "G", "H"}), true},
        // Comparison is exact: same characters in another order is another set.
        MoveToFrontCase{"OtherOrder", "BA", Sets({"BA", "A", "B", "C", "D", "E", "F", "G", "H"}),
                        true}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(SetCurrentDelimiters, EmptyEntriesStayWhereTheyAre)
{
    RichOptions options = WithSets({"A", "", "B"});
    options.SetCurrentDelimiters("B");
    EXPECT_EQ(options.Sptr, Sets({"B", "A", ""}));
    options.SetCurrentDelimiters("\\n");
    EXPECT_EQ(options.Sptr, Sets({"\\n", "B", "A", ""})) << "backslash-n is stored as typed";
}

TEST(CharFormat, DefaultRecordHasTheStoredByteLayout)
{
    const auto bytes = DefaultCharFormat(0x0000FF).ToBytes();
    const auto u32 = [&](std::size_t at) {
        return std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8 |
               std::uint32_t(bytes[at + 2]) << 16 | std::uint32_t(bytes[at + 3]) << 24;
    };
    EXPECT_EQ(u32(0), 84u);
    EXPECT_EQ(u32(4), 0xE800000Fu);
    EXPECT_EQ(u32(8), 0u);
    EXPECT_EQ(u32(12), 220u);
    EXPECT_EQ(u32(20), 0x0000FFu);
    EXPECT_EQ(bytes[24], 1);
    EXPECT_EQ(bytes[25], 0);
    const std::string face(reinterpret_cast<const char *>(&bytes[26]), kDefaultFaceName.size());
    EXPECT_EQ(face, kDefaultFaceName);
    for (std::size_t i = 26 + kDefaultFaceName.size(); i < 84; ++i)
        EXPECT_EQ(bytes[i], 0) << "byte " << i;
}

TEST(CharFormat, BytesRoundTripIncludingPaddingAndReservedFields)
{
    std::array<std::uint8_t, CharFormat::kSize> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
    EXPECT_EQ(CharFormat::FromBytes(bytes).ToBytes(), bytes);
}

TEST(CharFormat, FaceNameIsCutOnACharacterBoundary)
{
    CharFormat format;
    std::string longName;
    for (int i = 0; i < 20; ++i)
        longName += "\x83\x53"; // ゴ, two bytes each
    format.SetFaceName("A" + longName);
    EXPECT_EQ(format.FaceName(), "A" + longName.substr(0, 30))
        << "31 bytes would split a character";
    EXPECT_EQ(format.szFaceName[31], '\0');
}

TEST(EffectFlag, MapsCodesAndIgnoresOutOfRange)
{
    EXPECT_EQ(EffectFlag(0), 0u);
    EXPECT_EQ(EffectFlag(1), CFE_BOLD);
    EXPECT_EQ(EffectFlag(3), CFE_UNDERLINE);
    EXPECT_EQ(EffectFlag(4), CFE_STRIKEOUT);
    EXPECT_EQ(EffectFlag(5), 0u);
    EXPECT_EQ(EffectFlag(-1), 0u);
}

} // namespace
} // namespace kivo
