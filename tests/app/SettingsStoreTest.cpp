#include "app/SettingsStore.h"

#include "TestText.h"
#include "platform/files/Profile.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace kivo {
namespace {

// A settings store in a folder of its own for each test.
class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        m_profile = Open();
    }

    static std::unique_ptr<Profile> Open()
    {
        return std::make_unique<Profile>(QStringLiteral("Velmora"), QStringLiteral("Kivo"));
    }

    // Options as the next start reads them.
    RichOptions Load()
    {
        m_profile->Flush();
        RichOptions options;
        // Start from something unlike the defaults, so that a value not read shows.
        options.Color.fill(0x123456);
        options.Effect.fill(2);
        options.Sptr.fill("junk");
        options.ShowMaximized = 7;
        options.ViewLine = 7;
        options.SyncScroll = 1;
        LoadSettings(*Open(), options);
        return options;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Profile> m_profile;
};

void ExpectSameStoredFields(const RichOptions &a, const RichOptions &b)
{
    EXPECT_EQ(a.Color, b.Color);
    // Effect slot 0 (Original) is not stored.
    EXPECT_TRUE(std::equal(a.Effect.begin() + 1, a.Effect.end(), b.Effect.begin() + 1));
    EXPECT_EQ(a.CharFormat, b.CharFormat);
    EXPECT_EQ(a.ShowMaximized, b.ShowMaximized);
    EXPECT_EQ(a.CmpChar, b.CmpChar);
    EXPECT_EQ(a.CmpCase, b.CmpCase);
    EXPECT_EQ(a.CmpZen, b.CmpZen);
    EXPECT_EQ(a.CmpZenSp, b.CmpZenSp);
    EXPECT_EQ(a.ViewFormat, b.ViewFormat);
    EXPECT_EQ(a.ViewLine, b.ViewLine);
    EXPECT_EQ(a.ViewBar, b.ViewBar);
    EXPECT_EQ(a.CmpKana, b.CmpKana);
    EXPECT_EQ(a.CmpPunct, b.CmpPunct);
    EXPECT_EQ(a.KeepQuotes, b.KeepQuotes);
    EXPECT_EQ(a.ViewMove, b.ViewMove);
    EXPECT_EQ(a.PdfHeads, b.PdfHeads);
    EXPECT_EQ(a.RestoreSession, b.RestoreSession);
    EXPECT_EQ(a.Sptr, b.Sptr);
}

TEST_F(SettingsStoreTest, FirstRunGivesTheDefaultsAndExitStoresEveryValue)
{
    const RichOptions loaded = Load();
    ExpectSameStoredFields(loaded, RichOptions{});
    EXPECT_EQ(loaded.SyncScroll, 0);

    SaveSettings(*m_profile, loaded);
    m_profile->Flush();
    QSettings raw(m_profile->FileName(), QSettings::IniFormat);
    EXPECT_EQ(raw.allKeys().size(), 7 + 5 + 1 + 1 + 13 + 9);
    EXPECT_TRUE(raw.contains(QStringLiteral("Color/Moved")));
    EXPECT_TRUE(raw.contains(QStringLiteral("Effect/Moved")));
    EXPECT_TRUE(raw.contains(QStringLiteral("Options/KeepQuotes")));
    EXPECT_TRUE(raw.contains(QStringLiteral("Options/PdfHeads")));
    EXPECT_EQ(raw.value(QStringLiteral("Options/RestoreSession")).toInt(), 1);
    EXPECT_TRUE(raw.contains(QStringLiteral("Options/Sptr9")));
    EXPECT_FALSE(raw.contains(QStringLiteral("Effect/Original")));
    EXPECT_EQ(m_profile->GetProfileBinary("Font", "CharFormat")->size(), 84u);
}

TEST_F(SettingsStoreTest, EveryStoredOptionSurvivesARun)
{
    RichOptions options;
    options.Color = {0x010203, 0x0000FF, 0x040506, 0x070809, 0x0A0B0C, 0xFFFFFFFF, 0x0D0E0F};
    options.Effect = {0, 4, 3, 2, 1, 3};
    options.CharFormat.yHeight = 360;
    options.CharFormat.SetFaceName(test::Sjis("ＭＳ 明朝"));
    options.CharFormat.wKerning = 0xBEEF; // a field this program never sets itself
    options.ShowMaximized = 0;
    options.CmpChar = options.CmpCase = options.CmpZen = options.CmpZenSp = 1;
    options.CmpKana = options.CmpPunct = options.KeepQuotes = options.ViewMove = 1;
    options.PdfHeads = 1;
    options.ViewFormat = SentenceLayout::Unchanged;
    options.ViewLine = 0;
    options.ViewBar = 1;
    options.Sptr = {
        test::Sjis("．"), test::Sjis("。｡"), "", test::Sjis("\\n"), "", "", "", "", "z"};
    SaveSettings(*m_profile, options);
    ExpectSameStoredFields(Load(), options);
}

TEST_F(SettingsStoreTest, TableOptionsSurviveARunAndBadValuesBecomeDefaults)
{
    report::TableOptions table;
    table.title = "規程 𠮷 の対照表"; // outside code page 932 too
    table.headings = report::TableHeadings::Own;
    table.ownHeadings = {"案", ""};
    table.oldLeft = table.remarks = table.omitSame = table.colours = true;
    SaveTableSettings(*m_profile, table);
    m_profile->Flush();
    report::TableOptions loaded;
    LoadTableSettings(*m_profile, loaded);
    EXPECT_EQ(loaded.title, table.title);
    EXPECT_EQ(loaded.headings, table.headings);
    EXPECT_EQ(loaded.ownHeadings, table.ownHeadings);
    EXPECT_TRUE(loaded.oldLeft && loaded.remarks && loaded.omitSame && loaded.colours);

    m_profile->WriteProfileInt("Table", "Headings", 4);
    m_profile->RemoveEntry("Table", "Title");
    LoadTableSettings(*m_profile, loaded);
    const report::TableOptions defaults;
    EXPECT_EQ(loaded.headings, defaults.headings);
    EXPECT_EQ(loaded.title, defaults.title);
}

TEST_F(SettingsStoreTest, StoredOriginalColourIsTheDefaultFormatsTextColour)
{
    m_profile->WriteProfileInt("Color", "Original", 0x0000FF);
    const RichOptions loaded = Load();
    EXPECT_EQ(loaded.CharFormat.crTextColor, 0x0000FFu);
    EXPECT_EQ(loaded.CharFormat, DefaultCharFormat(0x0000FF));
}

TEST_F(SettingsStoreTest, CharFormatOfAnyOtherLengthThan84BytesIsIgnored)
{
    for (const std::size_t size : {60u, 83u, 85u, 0u}) {
        std::vector<std::uint8_t> block(size, 0x41);
        m_profile->WriteProfileBinary("Font", "CharFormat", block);
        const RichOptions loaded = Load();
        EXPECT_EQ(loaded.CharFormat.FaceName(), kDefaultFaceName) << size << " bytes";
        EXPECT_EQ(loaded.CharFormat.yHeight, 220) << size << " bytes";
    }
}

TEST_F(SettingsStoreTest, CharFormatOfExactly84BytesIsTakenUnchanged)
{
    std::array<std::uint8_t, CharFormat::kSize> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(0xFF - i);
    m_profile->WriteProfileBinary("Font", "CharFormat", bytes);
    EXPECT_EQ(Load().CharFormat.ToBytes(), bytes);
}

TEST_F(SettingsStoreTest, ValuesOutOfTheirRangeBecomeTheirDefaults)
{
    struct Row {
        const char *section;
        const char *entry;
        std::int64_t stored;
        std::int64_t loaded;
    };
    const RichOptions defaults;
    const Row rows[] = {
        {"Effect", "Same", 5, defaults.Effect[1]},
        {"Effect", "Changed", -1, defaults.Effect[2]},
        {"Effect", "Added", 4, 4},
        {"Options", "ViewFormat", -99999, static_cast<std::int64_t>(defaults.ViewFormat)},
        {"Options", "ViewLine", 0, 0},
        {"Options", "ViewBar", 7, 7}, // a flag: any value but 0 is set
    };
    for (const Row &row : rows)
        m_profile->WriteProfileInt(row.section, row.entry, static_cast<std::int32_t>(row.stored));
    const RichOptions loaded = Load();
    const std::int64_t got[] = {loaded.Effect[1], loaded.Effect[2],
                                loaded.Effect[3], static_cast<std::int64_t>(loaded.ViewFormat),
                                loaded.ViewLine,  loaded.ViewBar};
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(got[i], rows[i].loaded) << rows[i].section << '/' << rows[i].entry;
    EXPECT_EQ(loaded.Effect[4], 4); // Deleted: missing, its default
}

TEST_F(SettingsStoreTest, DeletingOnlyTheCurrentSetRestoresTheDefaultSet)
{
    RichOptions options;
    options.Sptr = {"a", "b", "c", "d", "e", "f", "g", "h", "i"};
    SaveSettings(*m_profile, options);
    m_profile->RemoveEntry("Options", "Sptr1");
    const RichOptions loaded = Load();
    EXPECT_EQ(loaded.Sptr[0], DefaultDelimiters);
    EXPECT_EQ(loaded.Sptr[1], "b");
    EXPECT_EQ(loaded.Sptr[8], "i");
}

TEST_F(SettingsStoreTest, IntegersAreUsedAsStored)
{
    m_profile->WriteProfileInt("Options", "CmpCase", 9);
    m_profile->WriteProfileInt("Window", "ShowMaximized", 0);
    const RichOptions loaded = Load();
    EXPECT_EQ(loaded.CmpCase, 9);
    EXPECT_EQ(loaded.ShowMaximized, 0);
}

} // namespace
} // namespace kivo
