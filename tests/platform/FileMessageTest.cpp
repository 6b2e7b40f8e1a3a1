// The messages of files that could not be opened or saved: which file, why, and what is safe.

#include "platform/files/FileMessage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

namespace kivo {
namespace {

struct ReasonCase {
    const char *name;
    FileError error;
    const char *reason; ///< the message's second line
};

TEST(FileMessage, EveryErrorIsToldInJapaneseWithItsReason)
{
    const ReasonCase cases[] = {
        {"Missing", {ENOENT, {}}, "ファイルまたはフォルダーが見つかりません。"},
        {"FileOnThePath", {ENOTDIR, {}}, "ファイルまたはフォルダーが見つかりません。"},
        {"NoPermission", {EACCES, {}}, "アクセスする権限がありません。"},
        {"NotPermitted", {EPERM, {}}, "アクセスする権限がありません。"},
        {"Folder", {EISDIR, {}}, "ファイルではなくフォルダーです。"},
        {"ReadOnly", {EROFS, {}}, "読み取り専用のファイル システムには書き込めません。"},
        {"DiskFull", {ENOSPC, {}}, "ディスクの空き領域が足りません。"},
        {"QuotaUsedUp", {EDQUOT, {}}, "ディスクの空き領域が足りません。"},
        {"TooLarge", {EFBIG, {}}, "ファイルが大きすぎます（256 MiB を超えています）。"},
        {"NoMemory", {ENOMEM, {}}, "メモリが足りません。"},
        {"Nul",
         {0, {}, FileReason::NulCharacter, 7},
         "テキスト ファイルではありません（8 バイト目に NUL 文字があります）。"},
        {"NoEncoding",
         {0, {}, FileReason::NotInAnyEncoding, 0},
         "UTF-8、UTF-16、シフト JIS のどの文字コードのテキストとしても正しくありません（シフト "
         "JIS として 1 バイト目）。"},
        {"DamagedRtf",
         {0, {}, FileReason::DamagedRichText},
         "リッチ テキスト (RTF) が壊れているため読み込めません。"},
        {"Unknown", {0, {}}, "予期しないエラーが発生しました。"},
        {"OtherSystemError",
         {EIO, QStringLiteral("Input/output error")},
         "予期しないエラーが発生しました（エラー番号 5: Input/output error）。"},
    };
    const QString path = QStringLiteral("/nowhere/文書.txt");
    for (const ReasonCase &c : cases) {
        EXPECT_EQ(FileErrorMessage(FileAction::Open, path, c.error),
                  path + QStringLiteral(" を開けませんでした。\n") + QString::fromUtf8(c.reason) +
                      QStringLiteral("\nウィンドウの内容は変更されていません。"))
            << c.name;
    }
}

TEST(FileMessage, AFailedSaveTellsWhetherTheOldFileIsKept)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString old = dir.filePath(QStringLiteral("old.rtf"));
    QFile file(old);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(FileErrorMessage(FileAction::Save, old, {EACCES, {}}),
              old + QStringLiteral(" に保存できませんでした。\nアクセスする権限がありません。\n"
                                   "元のファイルは変更されていません。\n"
                                   "ウィンドウの内容は変更されていません。"));
    const QString none = dir.filePath(QStringLiteral("new.rtf"));
    EXPECT_EQ(FileErrorMessage(FileAction::Save, none, {ENOSPC, {}}),
              none + QStringLiteral(" に保存できませんでした。\nディスクの空き領域が足りません。\n"
                                    "ファイルは作成されていません。\n"
                                    "ウィンドウの内容は変更されていません。"));
}

} // namespace
} // namespace kivo
