#include "platform/Clipboard.h"
#include "platform/FileDrop.h"

#include <QImage>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

namespace kivo {
namespace {

using namespace clipboard;

TEST(Clipboard, RegisteringANameTwiceGivesTheSameFormat)
{
    const unsigned rtf = RegisterFormat(QStringLiteral("Rich Text Format"));
    const unsigned objects = RegisterFormat(QStringLiteral("RichEdit Text and Objects"));
    EXPECT_GE(rtf, kFirstRegisteredFormat);
    EXPECT_NE(rtf, objects);
    EXPECT_EQ(RegisterFormat(QStringLiteral("Rich Text Format")), rtf);
    EXPECT_EQ(FormatName(objects), QStringLiteral("RichEdit Text and Objects"));
    EXPECT_EQ(FormatName(CF_TEXT), QString());
}

TEST(Clipboard, FormatsAreFoundInTheDataUnderTheirTypes)
{
    const unsigned rtf = RegisterFormat(QStringLiteral("Rich Text Format"));
    QMimeData data;
    data.setData(QStringLiteral("text/rtf"), "{\\rtf1 x}");
    EXPECT_TRUE(HasFormat(&data, rtf));
    EXPECT_FALSE(HasFormat(&data, CF_TEXT));
    EXPECT_FALSE(HasFormat(&data, CF_BITMAP));
    QMimeData picture;
    picture.setImageData(QImage(2, 2, QImage::Format_RGB32));
    EXPECT_TRUE(HasFormat(&picture, CF_DIB));
    EXPECT_FALSE(HasFormat(&picture, rtf));
    EXPECT_FALSE(HasFormat(nullptr, CF_TEXT));
}

TEST(FileDrop, OnlyLocalFilesAreTaken)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.txt")),
                  QUrl(QStringLiteral("https://example.invalid/b.txt")),
                  QUrl::fromLocalFile(QStringLiteral("/tmp/c.rtf"))});
    EXPECT_EQ(FileDrop::LocalPaths(&data),
              (QStringList{QStringLiteral("/tmp/a.txt"), QStringLiteral("/tmp/c.rtf")}));
    QMimeData text;
    text.setText(QStringLiteral("/tmp/a.txt"));
    EXPECT_TRUE(FileDrop::LocalPaths(&text).isEmpty());
}

} // namespace
} // namespace kivo
