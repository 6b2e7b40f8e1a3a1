#include "platform/dialogs/FileDialog.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

TEST(FileDialog, AllFilesPatternMatchesNamesWithoutADotToo)
{
    const QStringList filters =
        NameFilters({{QStringLiteral("リッチ テキスト形式 (*.rtf)"), QStringLiteral("*.rtf")},
                     {QStringLiteral("All Files (*.*)"), QStringLiteral("*.*")}});
    ASSERT_EQ(filters.size(), 2);
    EXPECT_EQ(filters[0], QStringLiteral("リッチ テキスト形式 (*.rtf) (*.rtf)"));
    // The pattern in the last parentheses is the one the dialog applies.
    EXPECT_EQ(filters[1], QStringLiteral("All Files (*.*) (*)"));
}

TEST(FileDialog, AnswererGetsTheRequestAndMayCancel)
{
    FileDialogRequest seen;
    std::optional<QString> answer = QStringLiteral("/tmp/x.rtf");
    ScopedFileDialogAnswerer answerer([&](const FileDialogRequest &request) {
        seen = request;
        return answer;
    });
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = QStringLiteral("Save As");
    request.proposedName = QStringLiteral("Untitled1.rtf");
    request.defaultSuffix = QStringLiteral("rtf");
    EXPECT_EQ(RunFileDialog(request), answer);
    EXPECT_EQ(seen.mode, FileDialogRequest::Mode::Save);
    EXPECT_EQ(seen.proposedName, QStringLiteral("Untitled1.rtf"));
    answer.reset();
    EXPECT_FALSE(RunFileDialog(request).has_value());
}

} // namespace
} // namespace kivo
