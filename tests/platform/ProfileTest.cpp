#include "platform/files/Profile.h"

#include "TestText.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace kivo {
namespace {

// Each test gets a settings folder of its own.
class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        m_profile = std::make_unique<Profile>(QStringLiteral("Velmora"), QStringLiteral("Kivo"));
    }

    // The store as the next run sees it.
    std::unique_ptr<Profile> Reopen()
    {
        m_profile->Flush();
        return std::make_unique<Profile>(QStringLiteral("Velmora"), QStringLiteral("Kivo"));
    }

    QByteArray FileBytes()
    {
        m_profile->Flush();
        QFile file(m_profile->FileName());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Profile> m_profile;
};

TEST_F(ProfileTest, AStoreFarLargerThanSettingsIsSetAsideUnreadAndWrittenAnew)
{
    m_profile->WriteProfileInt("Options", "CmpCase", 1);
    const QString path = m_profile->FileName();
    m_profile.reset();
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[Options]\nCmpCase=1\n[Junk]\n");
        file.write(QByteArray(2 << 20, 'x'));
    }
    m_profile = std::make_unique<Profile>(QStringLiteral("Velmora"), QStringLiteral("Kivo"));
    EXPECT_EQ(m_profile->GetProfileInt("Options", "CmpCase", 0), 0) << "read as the defaults";
    EXPECT_TRUE(QFile::exists(path + QStringLiteral(".too-large"))) << "kept aside";
    m_profile->WriteProfileInt("Options", "CmpCase", 1);
    ASSERT_TRUE(m_profile->Flush());
    EXPECT_LT(QFile(path).size(), 1024);
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".lock")));
    EXPECT_EQ(Reopen()->GetProfileInt("Options", "CmpCase", 0), 1);
}

TEST_F(ProfileTest, StoreLivesInTheCompanyFolderUnderTheApplicationName)
{
    m_profile->WriteProfileInt("Window", "ShowMaximized", 1);
    m_profile->Flush();
    EXPECT_EQ(m_profile->FileName(), m_dir.path() + QStringLiteral("/Velmora/Kivo.conf"));
    EXPECT_TRUE(QFile::exists(m_profile->FileName()));
}

TEST_F(ProfileTest, MissingValuesReadAsTheirDefaults)
{
    EXPECT_EQ(m_profile->GetProfileInt("Color", "Same", 0xC0C0C0), 0xC0C0C0);
    EXPECT_EQ(m_profile->GetProfileString("Options", "Sptr1", "x"), "x");
    EXPECT_FALSE(m_profile->GetProfileBinary("Font", "CharFormat").has_value());
}

TEST_F(ProfileTest, IntegersRoundTripWholeThirtyTwoBits)
{
    m_profile->WriteProfileInt("Color", "Background", 0xFFFFFF);
    m_profile->WriteProfileInt("Effect", "Same", -3);
    m_profile->WriteProfileInt("Color", "Odd", static_cast<std::int32_t>(0xFFFFFFFFu));
    const auto next = Reopen();
    EXPECT_EQ(next->GetProfileInt("Color", "Background", 0), 0xFFFFFF);
    EXPECT_EQ(next->GetProfileInt("Effect", "Same", 0), -3);
    EXPECT_EQ(static_cast<std::uint32_t>(next->GetProfileInt("Color", "Odd", 0)), 0xFFFFFFFFu);
}

TEST_F(ProfileTest, StringsRoundTripAsCodePage932AndAreStoredAsReadableText)
{
    const std::string delimiters = test::Sjis("。｡\\n、,；");
    m_profile->WriteProfileString("Options", "Sptr1", delimiters);
    m_profile->WriteProfileString("Options", "Sptr2", "");
    const auto next = Reopen();
    EXPECT_EQ(next->GetProfileString("Options", "Sptr1", "default"), delimiters);
    // An empty string is a value of its own, not a missing one.
    EXPECT_EQ(next->GetProfileString("Options", "Sptr2", "default"), "");
    EXPECT_TRUE(FileBytes().contains(QStringLiteral("。｡").toUtf8()));
}

TEST_F(ProfileTest, BytesThatAreNoCodePage932TextStillRoundTrip)
{
    const std::string bytes("\x81\x20\xFF", 3);
    m_profile->WriteProfileString("Options", "Sptr3", bytes);
    EXPECT_EQ(Reopen()->GetProfileString("Options", "Sptr3", "default"), bytes);
}

TEST_F(ProfileTest, BinaryBlockRoundTripsByteForByte)
{
    std::vector<std::uint8_t> block(84);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(i * 37 + (i % 3 == 0 ? 0 : 0x80));
    block[5] = 0;
    block[83] = 0xFF;
    m_profile->WriteProfileBinary("Font", "CharFormat", block);
    const auto read = Reopen()->GetProfileBinary("Font", "CharFormat");
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, block);
}

TEST_F(ProfileTest, ValueOfAnotherFormReadsAsTheDefault)
{
    m_profile->WriteProfileString("Color", "Same", "grey");
    m_profile->WriteProfileInt("Font", "CharFormat", 84);
    const auto next = Reopen();
    EXPECT_EQ(next->GetProfileInt("Color", "Same", 7), 7);
    EXPECT_FALSE(next->GetProfileBinary("Font", "CharFormat").has_value());
}

} // namespace
} // namespace kivo
