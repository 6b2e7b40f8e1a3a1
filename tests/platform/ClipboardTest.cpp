#include "platform/files/Clipboard.h"
#include "platform/files/FileDrop.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QTextEdit>
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

TEST(FileDrop, DroppedFilesAreReportedInsteadOfInsertedAsText)
{
    QTextEdit edit;
    FileDrop drop(&edit);
    QStringList reported;
    QObject::connect(&drop, &FileDrop::filesDropped,
                     [&](const QStringList &paths) { reported = paths; });
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/一.txt")),
                  QUrl::fromLocalFile(QStringLiteral("/tmp/二.txt"))});
    // A drop reaches the window that took the drag when it entered.
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(edit.viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(edit.viewport(), &event);
    EXPECT_TRUE(event.isAccepted());
    EXPECT_EQ(reported,
              (QStringList{QStringLiteral("/tmp/一.txt"), QStringLiteral("/tmp/二.txt")}));
    EXPECT_TRUE(edit.toPlainText().isEmpty());

    // Text is not a file: the window handles it as usual.
    reported.clear();
    QMimeData text;
    text.setText(QStringLiteral("文"));
    QDragEnterEvent textEnter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(edit.viewport(), &textEnter);
    QDropEvent textDrop(QPointF(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(edit.viewport(), &textDrop);
    EXPECT_TRUE(reported.isEmpty());
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("文"));
}

} // namespace
} // namespace kivo
