// The document's file commands in the real windows: open, save and save as, what they propose
// and report, recent files and dropped files.

#include "CharFormatQt.h"
#include "RtfStream.h"
#include "TestText.h"
#include "WindowsFixture.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/dialogs/MessageBox.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/Profile.h"
#include "platform/files/RecentFileList.h"
#include "platform/framework/UpdateHint.h"
#include "resources/ResourceIds.h"
#include "resulttext/ResultText.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <new>

#include <tuple>
#include <vector>

namespace kivo {
namespace {

using namespace res;
using test::Sjis;

/// One run of text with the fields that must survive a file: colour and the four effects.
using TextRun = std::tuple<QString, QRgb, bool, bool, bool, bool>;

/// The runs of a document, neighbours of equal format merged, paragraph breaks as "\n".
std::vector<TextRun> Runs(const QTextDocument &document)
{
    std::vector<TextRun> runs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat f = fragment.charFormat();
            TextRun run{fragment.text(),       f.foreground().color().rgb(),
                        f.fontWeight() >= 600, f.fontItalic(),
                        f.fontUnderline(),     f.fontStrikeOut()};
            if (!runs.empty() && std::get<1>(runs.back()) == std::get<1>(run) &&
                std::get<2>(runs.back()) == std::get<2>(run) &&
                std::get<3>(runs.back()) == std::get<3>(run) &&
                std::get<4>(runs.back()) == std::get<4>(run) &&
                std::get<5>(runs.back()) == std::get<5>(run))
                std::get<0>(runs.back()) += std::get<0>(run);
            else
                runs.push_back(run);
        }
        if (block.next().isValid() && !runs.empty())
            std::get<0>(runs.back()) += u'\n';
    }
    return runs;
}

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// The message of a file that could not be opened, for the reason given.
QString OpenFailure(const QString &path, const QString &reason)
{
    return QDir::toNativeSeparators(path) + QStringLiteral(" を開けませんでした。\n") + reason +
           QStringLiteral("\nウィンドウの内容は変更されていません。");
}

/// What a failed save says of the file at its path.
enum class Target { OldFile, NoFile, Other };

/// The message of a save that failed, for the reason given.
QString SaveFailure(const QString &path, const QString &reason, Target target)
{
    const QString kept =
        target == Target::OldFile ? QStringLiteral("\n元のファイルは変更されていません。")
        : target == Target::NoFile ? QStringLiteral("\nファイルは作成されていません。")
                                   : QString();
    return QDir::toNativeSeparators(path) + QStringLiteral(" に保存できませんでした。\n") + reason +
           kept + QStringLiteral("\nウィンドウの内容は変更されていません。");
}

class RichDocTest : public test::WindowsFixture {
protected:
    /// Answers every file dialog with the path given, noting what it was asked.
    void AnswerFileDialogs(std::optional<QString> path)
    {
        m_fileAnswer = std::move(path);
        // The answerer before goes first: it puts back the one it replaced.
        m_fileDialogs.reset();
        m_fileDialogs =
            std::make_unique<ScopedFileDialogAnswerer>([this](const FileDialogRequest &request) {
                m_requests.push_back(request);
                return m_fileAnswer;
            });
    }

    bool Open(int pane, const QString &path)
    {
        AnswerFileDialogs(path);
        return Choose(ID_FILE_OPEN, pane);
    }

    bool Save(int pane, const QString &path)
    {
        AnswerFileDialogs(path);
        return Choose(ID_FILE_SAVE, pane);
    }

    void SetUp() override
    {
        WindowsFixture::SetUp();
        m_messageBoxes =
            std::make_unique<ScopedMessageBoxAnswerer>([this](const MessageBoxRequest &request) {
                m_messages.push_back(request.text);
                return IDOK;
            });
    }

    /// Writes every status colour, all four effects, characters outside code page 932 and
    /// emoji into a window.
    void FillWithStatuses(int pane)
    {
        RichOptions &options = m_app->Options();
        options.Effect = {0, 2, 1, 3,
                          4}; // same italic, changed bold, added underline, deleted struck
        RichEditCtrl &edit = Edit(pane);
        edit.SetSel(0, -1);
        edit.ReplaceSel({});
        const char *texts[] = {"原文のまま、", "同じ文。", "変わった〜文♫😀。", "足した文é。",
                               "消した文\r二行目。"};
        for (int status = 0; status < 5; ++status) {
            edit.SetCharFormat(StatusFormat(options, static_cast<TextStatus>(status)),
                               FormatScope::Selection);
            edit.ReplaceSel(Sjis(texts[status]));
        }
    }

    std::optional<QString> m_fileAnswer;
    std::vector<FileDialogRequest> m_requests;
    std::unique_ptr<ScopedFileDialogAnswerer> m_fileDialogs;
    std::vector<QString> m_messages;
    std::unique_ptr<ScopedMessageBoxAnswerer> m_messageBoxes;
};

TEST_F(RichDocTest, WhatIsSavedReadsBackWithItsTextColoursAndEffects)
{
    FillWithStatuses(1);
    const std::vector<TextRun> before = Runs(*Edit(1).Document());
    ASSERT_GE(before.size(), 5u);
    const QString path = TempPath(QStringLiteral("result.rtf"));
    ASSERT_TRUE(Save(1, path));
    ASSERT_TRUE(m_messages.empty()) << m_messages.front().toStdString();
    EXPECT_TRUE(ReadFile(path).startsWith("{\\rtf"));
    EXPECT_EQ(Title(1), QDir::toNativeSeparators(path));

    // Read back into the other window, and into the same one after clearing it.
    ASSERT_TRUE(Open(2, path));
    EXPECT_EQ(Runs(*Edit(2).Document()), before);
    ASSERT_TRUE(Choose(ID_EDIT_CLEAR_ALL, 1));
    ASSERT_TRUE(Open(1, path));
    EXPECT_EQ(Runs(*Edit(1).Document()), before);
    EXPECT_EQ(Doc()->RichText(), FileFormat::RichText);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(RichDocTest, OnlyTheFirstFiveBytesInTheirCaseMakeRichText)
{
    const QString rtfAsTxt = TempPath(QStringLiteral("looks-plain.txt"));
    const QString capitals = TempPath(QStringLiteral("capitals.rtf"));
    const QString markup = TempPath(QStringLiteral("markup.rtf"));
    ASSERT_TRUE(WriteFile(rtfAsTxt, "{\\rtf1\\ansi {\\b bold}}"));
    ASSERT_TRUE(WriteFile(capitals, "{\\RTF1 shown as text}"));
    ASSERT_TRUE(WriteFile(markup, " {\\rtf1 not at the start}"));
    EXPECT_EQ(CRichDoc::DetectRichText("{\\rtf1\\ansi {\\b bold}}", rtfAsTxt),
              FileFormat::RichText);
    EXPECT_EQ(CRichDoc::DetectRichText("{\\RTF1 shown as text}", capitals), FileFormat::PlainText);
    EXPECT_EQ(CRichDoc::DetectRichText(" {\\rtf1 not at the start}", markup),
              FileFormat::PlainText);
    EXPECT_EQ(CRichDoc::DetectRichText("{\\r", markup), FileFormat::PlainText)
        << "shorter than the signature";

    ASSERT_TRUE(Open(1, rtfAsTxt));
    EXPECT_EQ(Edit(1).GetText(), "bold");
    ASSERT_TRUE(Open(1, capitals));
    EXPECT_EQ(Edit(1).GetText(), "{\\RTF1 shown as text}");
    EXPECT_EQ(Doc()->RichText(), FileFormat::PlainText);
}

TEST_F(RichDocTest, RichTextCutShortOpensWhatWasReadAndSaysSoWhileTooMuchIsRefused)
{
    const QString cut = TempPath(QStringLiteral("cut.rtf"));
    ASSERT_TRUE(WriteFile(cut, "{\\rtf1\\ansi {\\b bold} and the rest"));
    SetText(1, "keep me");
    m_messages.clear();
    ASSERT_TRUE(Open(1, cut));
    EXPECT_EQ(Edit(1).GetText(), "bold and the rest");
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0],
              QDir::toNativeSeparators(cut) + QStringLiteral("\nファイルが途中で終わっています。"
                                                             "読めた部分だけを表示します。"));

    // A long font name switched on every character stands for far more than the file holds.
    QByteArray faces = "{\\rtf1{\\fonttbl{\\f1 " + QByteArray(60 << 10, 'F') + ";}}";
    for (int i = 0; i < 2000; ++i)
        faces += "{\\f1 a}b";
    faces += '}';
    const QString large = TempPath(QStringLiteral("faces.rtf"));
    ASSERT_TRUE(WriteFile(large, faces));
    SetText(1, "keep me");
    m_messages.clear();
    EXPECT_TRUE(Open(1, large));
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0],
              OpenFailure(large, QStringLiteral("文書が展開するとファイルの大きさの 32 倍を超える"
                                                "テキストになるため、安全のため読み込みません。")));
    EXPECT_EQ(Edit(1).GetText(), "keep me");
}

TEST_F(RichDocTest, EmptyFilesAreRichTextByTheirExtensionAndLoadAsEmptyWindows)
{
    for (const char *name : {"empty.rtf", "EMPTY.FDJ", "empty.Rtf"}) {
        const QString path = TempPath(QString::fromLatin1(name));
        ASSERT_TRUE(WriteFile(path, {}));
        EXPECT_EQ(CRichDoc::DetectRichText({}, path), FileFormat::RichText) << name;
    }
    for (const char *name : {"empty.txt", "rtf", "x.rtfx"}) {
        const QString path = TempPath(QString::fromLatin1(name));
        ASSERT_TRUE(WriteFile(path, {}));
        EXPECT_EQ(CRichDoc::DetectRichText({}, path), FileFormat::PlainText) << name;
    }
    SetText(1, "old text");
    const QString path = TempPath(QStringLiteral("empty.rtf"));
    ASSERT_TRUE(Open(1, path));
    EXPECT_EQ(Edit(1).GetTextLength(), 0);
    EXPECT_EQ(Title(1), QDir::toNativeSeparators(path));
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(RichDocTest, OpeningIntoTheRightWindowLeavesTheLeftOneAlone)
{
    SetText(1, Sjis("左の文。"));
    const QString path = TempPath(QStringLiteral("右.txt"));
    ASSERT_TRUE(WriteFile(path, QStringLiteral("右の文。\n二行目。").toUtf8()));
    m_app->Options().SyncScroll = 1;
    ASSERT_TRUE(Open(2, path));
    EXPECT_EQ(Edit(2).GetText(), Sjis("右の文。\r二行目。"));
    EXPECT_EQ(Title(2), QDir::toNativeSeparators(path));
    EXPECT_EQ(Edit(1).GetText(), Sjis("左の文。"));
    EXPECT_EQ(Title(1), QStringLiteral("Untitled1"));
    EXPECT_EQ(m_app->Options().SyncScroll, 0);
    EXPECT_EQ(m_frame->ActiveChild(), Pane(2));
    // The open dialog: its title and its one filter.
    ASSERT_EQ(m_requests.size(), 1u);
    EXPECT_EQ(m_requests[0].title, QStringLiteral("開く"));
    ASSERT_EQ(m_requests[0].filters.size(), 1u);
    EXPECT_EQ(m_requests[0].filters[0].name, QStringLiteral("すべてのファイル (*.*)"));
    EXPECT_EQ(m_requests[0].filters[0].patterns, QStringLiteral("*.*"));
}

TEST_F(RichDocTest, PlainTextKeepsCharactersOutsideTheCodePageAndIsSavedAsRichText)
{
    const QString path = TempPath(QStringLiteral("utf8.txt"));
    const QString text = QStringLiteral("〜と～は別の字、😀も。");
    ASSERT_TRUE(WriteFile(path, "\xEF\xBB\xBF" + text.toUtf8()));
    ASSERT_TRUE(Open(1, path));
    EXPECT_EQ(Edit(1).Document()->toPlainText(), text);
    const QString saved = TempPath(QStringLiteral("utf8.rtf"));
    ASSERT_TRUE(Save(1, saved));
    EXPECT_TRUE(ReadFile(saved).startsWith("{\\rtf"));
    ASSERT_TRUE(Open(2, saved));
    EXPECT_EQ(Edit(2).Document()->toPlainText(), text);
}

TEST_F(RichDocTest, AMissingFileIsReportedByNameAndTheWindowKeepsItsText)
{
    SetText(1, "keep me");
    const QString missing = TempPath(QStringLiteral("missing.txt"));
    m_app->Options().SyncScroll = 1;
    EXPECT_TRUE(Open(1, missing)); // the command ran
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0],
              OpenFailure(missing, QStringLiteral("ファイルまたはフォルダーが見つかりません。")));
    EXPECT_EQ(Edit(1).GetText(), "keep me");
    EXPECT_EQ(Title(1), QStringLiteral("Untitled1"));
    EXPECT_EQ(m_app->Options().SyncScroll, 1);
    EXPECT_TRUE(Doc()->PathName().isEmpty());
}

TEST_F(RichDocTest, BytesThatAreNoTextAreReportedAsTheFilesFault)
{
    FillWithStatuses(1);
    Edit(1).SetSel(2, 9);
    const std::vector<TextRun> before = Runs(*Edit(1).Document());
    const QString path = TempPath(QStringLiteral("binary.txt"));
    ASSERT_TRUE(WriteFile(path, QByteArray("ab\0cd", 5)));
    Open(1, path);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0],
              OpenFailure(path, QStringLiteral("テキスト ファイルではありません（3 バイト目に NUL "
                                               "文字があります）。")));
    // The text, its colours and the selection are as they were.
    EXPECT_EQ(Runs(*Edit(1).Document()), before);
    EXPECT_EQ(Edit(1).GetSel(), (CharRange{2, 9}));
}

TEST_F(RichDocTest, RunningOutOfMemoryWhileReadingIsReportedAndTheTextStays)
{
    struct Exhausted : RichTextStream {
        bool Read(std::string_view, QTextCursor &) const override { throw std::bad_alloc(); }
        std::optional<std::string> Write(const QTextDocument &) const override { return {}; }
    } exhausted;
    SetText(1, "keep me");
    const QString path = TempPath(QStringLiteral("big.rtf"));
    ASSERT_TRUE(WriteFile(path, "{\\rtf1 text}"));
    Edit(1).SetRichTextStream(&exhausted);
    EXPECT_TRUE(Open(1, path));
    Edit(1).SetRichTextStream(&RtfStream::Shared());
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], OpenFailure(path, QStringLiteral("メモリが足りません。")));
    EXPECT_EQ(Edit(1).GetText(), "keep me");
    EXPECT_EQ(Title(1), QStringLiteral("Untitled1"));
    EXPECT_TRUE(Doc()->PathName().isEmpty());
}

TEST_F(RichDocTest, AFileTooLargeToHoldIsRefusedWithoutReadingIt)
{
    SetText(1, "keep me");
    const QString path = TempPath(QStringLiteral("huge.txt"));
    QFile huge(path);
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize((qint64{256} << 20) + 1)); // sparse: costs no disk space
    huge.close();
    Open(1, path);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(
        m_messages[0],
        OpenFailure(path, QStringLiteral("ファイルが大きすぎます（256 MiB を超えています）。")));
    EXPECT_EQ(Edit(1).GetText(), "keep me");
}

TEST_F(RichDocTest, OnlyRegularFilesAreReadAndTheRestIsRefusedAtOnceByName)
{
    const QString lonely = TempPath(QStringLiteral("lonely"));
    const QString fed = TempPath(QStringLiteral("fed"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(lonely).constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fed).constData(), 0600), 0);
    // A writer with rich text waiting in the pipe.
    const int writer = ::open(QFile::encodeName(fed).constData(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::write(writer, "{\\rtf1 x}", 9), 9);
    const struct {
        QString path;
        const char *why;
    } rows[] = {
        {lonely, "名前付きパイプです。"}, // without a writer an open would wait
        {fed, "名前付きパイプです。"},
        {QStringLiteral("/dev/zero"), "デバイスです。"}, // it never ends
    };
    SetText(1, "keep me");
    for (const auto &row : rows) {
        m_messages.clear();
        EXPECT_TRUE(Open(1, row.path));
        ASSERT_EQ(m_messages.size(), 1u) << row.path.toStdString();
        EXPECT_EQ(m_messages[0],
                  OpenFailure(row.path, QString::fromUtf8(row.why) +
                                            QStringLiteral("開けるのは通常のファイルだけです。")));
        EXPECT_EQ(Edit(1).GetText(), "keep me");
        EXPECT_EQ(Title(1), QStringLiteral("Untitled1"));
    }
    EXPECT_TRUE(Doc()->PathName().isEmpty());
    char waiting[16] = {};
    EXPECT_EQ(::read(writer, waiting, sizeof waiting), 9) << "nothing was taken from the pipe";
    ::close(writer);
}

TEST_F(RichDocTest, AFolderOrBytesInNoEncodingAreReportedWithTheReasonAndTheTextStays)
{
    const QString undecodable = TempPath(QStringLiteral("latin1.txt"));
    ASSERT_TRUE(WriteFile(undecodable, "caf\xE9 \xFF"));
    // UTF-8 cut inside its last character: told where UTF-8 breaks, not where code page 932 does.
    const QString cutUtf8 = TempPath(QStringLiteral("cut.txt"));
    ASSERT_TRUE(WriteFile(cutUtf8, "日本語の文。\n二行目。\xE3\x81"));
    const std::pair<QString, QString> cases[] = {
        {m_dir.path(), QStringLiteral("ファイルではなくフォルダーです。")},
        {undecodable, QStringLiteral("UTF-8、UTF-16、シフト JIS のどの文字コードのテキストとしても"
                                     "正しくありません（シフト JIS として 4 バイト目）。")},
        {cutUtf8, QStringLiteral("UTF-8 のテキストですが、32 バイト目から先が正しくありません"
                                 "（途中で切れているか、壊れています）。")},
    };
    for (const auto &[path, reason] : cases) {
        SetText(1, "keep me");
        m_messages.clear();
        EXPECT_TRUE(Open(1, path));
        ASSERT_EQ(m_messages.size(), 1u);
        EXPECT_EQ(m_messages[0], OpenFailure(path, reason));
        EXPECT_EQ(Edit(1).GetText(), "keep me");
        EXPECT_EQ(Title(1), QStringLiteral("Untitled1"));
    }
}

TEST_F(RichDocTest, CancellingTheDialogsChangesNothing)
{
    SetText(1, "text");
    AnswerFileDialogs(std::nullopt);
    ASSERT_TRUE(Choose(ID_FILE_OPEN, 1));
    ASSERT_TRUE(Choose(ID_FILE_SAVE_AS, 1));
    EXPECT_EQ(m_requests.size(), 2u);
    EXPECT_EQ(Edit(1).GetText(), "text");
    EXPECT_EQ(Title(1), QStringLiteral("Untitled1"));
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(RichDocTest, SaveProposesTheWindowsOwnNameWithTheRichTextExtension)
{
    // Before any open or save: the pane's title.
    SetText(1, "left");
    SetText(2, "right");
    ASSERT_TRUE(Save(1, {}));
    ASSERT_EQ(m_requests.size(), 1u);
    const FileDialogRequest &request = m_requests[0];
    EXPECT_EQ(request.proposedName, QStringLiteral("Untitled1.rtf"));
    EXPECT_EQ(request.title, QStringLiteral("名前を付けて保存"));
    EXPECT_EQ(request.defaultSuffix, QStringLiteral("rtf"));
    ASSERT_EQ(request.filters.size(), 3u);
    EXPECT_EQ(request.filters[0].name, QStringLiteral("リッチ テキスト形式 (*.rtf)"));
    EXPECT_EQ(request.filters[0].patterns, QStringLiteral("*.rtf"));
    EXPECT_EQ(request.filters[1].name, QStringLiteral("テキスト ファイル (*.txt)"));
    EXPECT_EQ(request.filters[1].patterns, QStringLiteral("*.txt"));
    EXPECT_EQ(request.filters[2].patterns, QStringLiteral("*.*"));

    // After opening a plain-text file: its name with ".rtf".
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("a.b")));
    const QString text = TempPath(QStringLiteral("a.b/b.txt"));
    const QString noExtension = TempPath(QStringLiteral("a.b/notes"));
    ASSERT_TRUE(WriteFile(text, "b"));
    ASSERT_TRUE(WriteFile(noExtension, "n"));
    ASSERT_TRUE(Open(1, text));
    ASSERT_TRUE(Save(1, {}));
    EXPECT_EQ(m_requests.back().proposedName, TempPath(QStringLiteral("a.b/b.rtf")));
    // A dot in a folder's name is no extension.
    ASSERT_TRUE(Open(1, noExtension));
    ASSERT_TRUE(Save(1, {}));
    EXPECT_EQ(m_requests.back().proposedName, TempPath(QStringLiteral("a.b/notes.rtf")));

    // After the right window was saved, the left one titled Untitled1 proposes that name in
    // the current folder.
    ASSERT_TRUE(Save(2, TempPath(QStringLiteral("x.rtf"))));
    ASSERT_TRUE(Choose(ID_EDIT_CLEAR_ALL, 1));
    SetText(1, "left again");
    ASSERT_TRUE(Save(1, {}));
    EXPECT_EQ(m_requests.back().proposedName,
              QDir::current().filePath(QStringLiteral("Untitled1.rtf")));
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(RichDocTest, AFailedSaveKeepsTheOldFileAndTheTitleAndSaysWhy)
{
    SetText(1, "new text");
    ASSERT_TRUE(Save(1, QStringLiteral("/dev/full")));
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0],
              SaveFailure(QStringLiteral("/dev/full"),
                          QStringLiteral("ディスクの空き領域が足りません。"), Target::Other));
    EXPECT_EQ(Title(1), QStringLiteral("Untitled1"));
    EXPECT_TRUE(Doc()->PathName().isEmpty());

    // A file in a folder that does not exist.
    m_messages.clear();
    const QString nowhere = TempPath(QStringLiteral("no/such/folder.rtf"));
    ASSERT_TRUE(Save(1, nowhere));
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0],
              SaveFailure(nowhere, QStringLiteral("ファイルまたはフォルダーが見つかりません。"),
                          Target::NoFile));

    // A folder of that name.
    m_messages.clear();
    ASSERT_TRUE(Save(1, m_dir.path()));
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0],
              SaveFailure(m_dir.path(), QStringLiteral("ファイルではなくフォルダーです。"),
                          Target::Other));

    // A read-only file (the superuser may write it anyway).
    if (::geteuid() == 0)
        return;
    m_messages.clear();
    const QString readOnly = TempPath(QStringLiteral("old.rtf"));
    ASSERT_TRUE(WriteFile(readOnly, "old contents"));
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFile::ReadOwner));
    ASSERT_TRUE(Save(1, readOnly));
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], SaveFailure(readOnly, QStringLiteral("アクセスする権限がありません。"),
                                         Target::OldFile));
    EXPECT_EQ(ReadFile(readOnly), QByteArray("old contents"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(RichDocTest, SaveIsAvailableWithTextAndOpenNeedsBothWindows)
{
    m_frame->ActivateChild(Pane(1));
    m_frame->UpdateCmdUI();
    EXPECT_FALSE(m_frame->State(ID_FILE_SAVE).enabled);
    EXPECT_FALSE(m_frame->State(ID_FILE_PRINT).enabled);
    EXPECT_TRUE(m_frame->State(ID_FILE_SAVE_AS).enabled);
    EXPECT_TRUE(m_frame->State(ID_FILE_OPEN).enabled);
    SetText(1, "text");
    EXPECT_TRUE(m_frame->State(ID_FILE_SAVE).enabled);
    EXPECT_TRUE(m_frame->State(ID_FILE_PRINT_PREVIEW).enabled);
    Pane(2)->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(m_frame->State(ID_FILE_OPEN).enabled);
}

TEST_F(RichDocTest, EveryOpenIsRefusedWhileAComparisonRuns)
{
    const QString path = TempPath(QStringLiteral("in.txt"));
    ASSERT_TRUE(WriteFile(path, "file text"));
    SetText(1, Sjis("一つ目の文。二つ目の文。"));
    SetText(2, Sjis("一つ目の文。三つ目の文。"));
    ASSERT_TRUE(Choose(ID_COMPARE_WHOLE, 1));
    ASSERT_TRUE(m_app->Driver().IsRunning());
    m_frame->UpdateCmdUI();
    EXPECT_FALSE(m_frame->State(ID_FILE_OPEN).enabled);
    EXPECT_FALSE(m_frame->State(ID_FILE_MRU_FILE1).enabled);
    EXPECT_FALSE(Doc()->OpenIntoActiveView(path));
    m_app->OpenDocumentFile(path);
    EXPECT_NE(Title(1), QDir::toNativeSeparators(path));
    ASSERT_TRUE(RunUntil([this] { return !m_app->Driver().IsRunning(); }));
    EXPECT_TRUE(Doc()->OpenIntoActiveView(path));
}

TEST_F(RichDocTest, AFileOpenedAfterAComparisonCarriesNoneOfItsMarkUp)
{
    const QString plain = TempPath(QStringLiteral("plain.txt"));
    const QString rich = TempPath(QStringLiteral("rich.rtf"));
    const QString empty = TempPath(QStringLiteral("empty.rtf"));
    ASSERT_TRUE(WriteFile(plain, QStringLiteral("開いた文。\n\n二つ目。").toUtf8()));
    // Rich text without colours or effects of its own.
    ASSERT_TRUE(WriteFile(rich, "{\\rtf1\\ansi\\ansicpg932 \\'8a\\'4a\\'82\\'a2\\'82\\'bd\\par"
                                "\\par two\\par}"));
    ASSERT_TRUE(WriteFile(empty, {}));
    const QTextBlockFormat freshBlock = QTextDocument().begin().blockFormat();
    const RichOptions &options = m_app->Options();
    const QRgb original = charformat::ToQColor(options.Color[ColorOriginal]).rgb();

    for (const QString &path : {plain, rich, empty}) {
        SCOPED_TRACE(path.toStdString());
        // A result with every status, rows padded and separated by blank lines.
        SetText(1, Sjis("同じ文。消える文。変わる文です。\r後の文。"));
        SetText(2, Sjis("同じ文。足した文。変わった文です。\r\r\r後の文。"));
        ASSERT_TRUE(Choose(ID_COMPARE_WHOLE, 1));
        ASSERT_TRUE(RunUntil([this] { return !m_app->Driver().IsRunning(); }));
        ASSERT_GT(Runs(*Edit(1).Document()).size(), 1u);

        ASSERT_TRUE(Open(1, path));
        const QTextDocument &document = *Edit(1).Document();
        // Every character and every paragraph shows as a newly typed text would.
        for (const auto &[text, colour, bold, italic, underline, strike] : Runs(document)) {
            const QRgb shown = colour == QColor().rgb()
                                   ? Edit(1).Widget()->palette().text().color().rgb()
                                   : colour;
            EXPECT_EQ(shown, original) << text.toStdString();
            EXPECT_FALSE(bold || italic || underline || strike) << text.toStdString();
        }
        int paragraphs = 0;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            ++paragraphs;
            EXPECT_EQ(block.blockFormat(), freshBlock) << block.text().toStdString();
            EXPECT_EQ(block.userState(), -1);
            EXPECT_EQ(block.userData(), nullptr);
            const QTextCharFormat mark = block.charFormat();
            EXPECT_FALSE(mark.hasProperty(QTextFormat::ForegroundBrush) &&
                         mark.foreground().color().rgb() != original);
            EXPECT_FALSE(mark.fontWeight() >= charformat::kBoldFrom || mark.fontItalic() ||
                         mark.fontUnderline() || mark.fontStrikeOut());
        }
        EXPECT_EQ(paragraphs, path == empty ? 1 : 3);
        EXPECT_EQ(Edit(1).GetLineCount(), paragraphs);
        // What the user types next takes the display format.
        const CharFormat typed = Edit(1).GetCharFormat(FormatScope::Selection);
        EXPECT_EQ(typed.crTextColor, options.Color[ColorOriginal]);
        EXPECT_EQ(typed.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT), 0u);
        // The right window keeps its result, whose differences no longer lead into the left.
        EXPECT_GT(Runs(*Edit(2).Document()).size(), 1u);
        EXPECT_EQ(View(1)->ResultNumber(), 0);
        Edit(1).SetSel(0, 0);
        ASSERT_TRUE(Choose(ID_NEXT_DIFFERENCE, 2));
        EXPECT_EQ(Edit(1).GetSel(), (CharRange{0, 0}));
    }
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(RichDocTest, RecentFilesOpenIntoTheActiveWindowAndAFailingOneIsRemoved)
{
    const QString first = TempPath(QStringLiteral("first.txt"));
    const QString second = TempPath(QStringLiteral("second.txt"));
    ASSERT_TRUE(WriteFile(first, "first"));
    ASSERT_TRUE(WriteFile(second, "second"));
    ASSERT_TRUE(Open(1, first));
    ASSERT_TRUE(Open(1, second));
    RecentFileList &list = *m_app->RecentFiles();
    ASSERT_EQ(list.Paths(), (QStringList{second, first}));

    // Entry 2 into the right window; it moves to the front.
    m_app->Options().SyncScroll = 1;
    ASSERT_TRUE(Choose(ID_FILE_MRU_FILE1 + 1, 2));
    EXPECT_EQ(Edit(2).GetText(), "first");
    EXPECT_EQ(Title(2), QDir::toNativeSeparators(first));
    EXPECT_EQ(m_app->Options().SyncScroll, 0);
    EXPECT_EQ(list.Paths(), (QStringList{first, second}));

    // A file that went away: reported, and its entry goes.
    ASSERT_TRUE(QFile::remove(second));
    ASSERT_TRUE(Choose(ID_FILE_MRU_FILE1 + 1, 1));
    EXPECT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(list.Paths(), QStringList{first});
    EXPECT_EQ(Edit(1).GetText(), "second");

    // The list is kept in the settings store at exit.
    m_app->ExitInstance();
    Profile profile(QStringLiteral("Velmora"), QStringLiteral("Kivo"));
    RecentFileList stored(16);
    stored.ReadList(profile);
    EXPECT_EQ(stored.Paths(), QStringList{first});
}

QMimeData *FileUrls(const QStringList &paths)
{
    auto *data = new QMimeData;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data->setUrls(urls);
    data->setText(paths.join(u'\n'));
    return data;
}

/// Drops files on a widget as the window system would: enter, then drop, at its middle.
bool DropFiles(QWidget *target, const QStringList &paths)
{
    const std::unique_ptr<QMimeData> data(FileUrls(paths));
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

TEST_F(RichDocTest, AFileDroppedOnAWindowLoadsIntoItAndOnlyTheFirstOfSeveral)
{
    const QString one = TempPath(QStringLiteral("one.txt"));
    const QString two = TempPath(QStringLiteral("two.txt"));
    ASSERT_TRUE(WriteFile(one, "one"));
    ASSERT_TRUE(WriteFile(two, "two"));
    m_frame->ActivateChild(Pane(1));
    m_app->Options().SyncScroll = 1;
    EXPECT_TRUE(DropFiles(Edit(2).Viewport(), {one, two}));
    EXPECT_EQ(Edit(2).GetText(), "one");
    EXPECT_EQ(Edit(1).GetTextLength(), 0);
    EXPECT_EQ(m_frame->ActiveChild(), Pane(2));
    EXPECT_EQ(m_app->Options().SyncScroll, 0);
}

TEST_F(RichDocTest, FilesDroppedOnTheMainWindowLoadInTurnAndTheLastStays)
{
    QStringList paths;
    for (const char *name : {"a.txt", "b.txt", "c.txt"}) {
        paths.append(TempPath(QString::fromLatin1(name)));
        ASSERT_TRUE(WriteFile(paths.back(), name));
    }
    Pane(2)->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(DropFiles(m_frame, paths));
    // The missing window was made again first, and is the active one: it holds the last file.
    ASSERT_EQ(m_frame->Children().size(), 2u);
    ASSERT_EQ(m_frame->ActiveChild(), Pane(2));
    EXPECT_EQ(Edit(2).GetText(), "c.txt");
    EXPECT_EQ(Title(2), QDir::toNativeSeparators(paths.back()));
    EXPECT_EQ(Edit(1).GetTextLength(), 0);
    EXPECT_EQ(m_app->RecentFiles()->Size(), 3);
}

} // namespace
} // namespace kivo

namespace kivo {
namespace {

TEST_F(RichDocTest, AWordProcessorDocumentOpensWithItsEffectsAndADamagedOneLeavesTheText)
{
    // Copied under a name without an extension: the content decides, not the name.
    const QString odt = TempPath(QStringLiteral("sample"));
    ASSERT_TRUE(WriteFile(odt, ReadFile(QStringLiteral(KIVO_WORDFILE_DATA "/sample.odt"))));
    ASSERT_TRUE(Open(1, odt));
    ASSERT_TRUE(m_messages.empty());
    const std::string text = Edit(1).GetText();
    EXPECT_TRUE(text.starts_with(Sjis("吾輩は猫である。名前はまだ無い。\r太字と斜体と"))) << text;
    EXPECT_NE(text.find(Sjis("\r左上\r右上\r左下\r右下\r")), std::string::npos);
    EXPECT_TRUE(text.ends_with(Sjis("最後の段落。\r脚注の本文。")));
    const std::vector<TextRun> runs = Runs(*Edit(1).Document());
    const auto bold = std::find_if(runs.begin(), runs.end(), [](const TextRun &run) {
        return std::get<0>(run) == QStringLiteral("太字");
    });
    ASSERT_NE(bold, runs.end());
    EXPECT_TRUE(std::get<2>(*bold));
    // It is saved as RTF under a name of its own, never over the document.
    ASSERT_TRUE(Save(1, {}));
    EXPECT_EQ(m_requests.back().proposedName, TempPath(QStringLiteral("sample.rtf")));

    const QByteArray docx = ReadFile(QStringLiteral(KIVO_WORDFILE_DATA "/sample.docx"));
    const QString cut = TempPath(QStringLiteral("cut.docx"));
    ASSERT_TRUE(WriteFile(cut, docx.left(docx.size() / 2)));
    SetText(2, "keep me");
    Open(2, cut);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0],
              OpenFailure(cut, QStringLiteral("ZIP 形式のファイルが壊れているか途中で切れている"
                                              "ため読み込めません。")));
    EXPECT_EQ(Edit(2).GetText(), "keep me");
    EXPECT_EQ(Title(2), QStringLiteral("Untitled2"));
}

TEST_F(RichDocTest, APdfOpensAsItsTextAndABadOneLeavesTheTextWithTheReason)
{
    // Under a name without an extension: the content decides.
    const QString pdf = TempPath(QStringLiteral("regulation"));
    ASSERT_TRUE(WriteFile(pdf, ReadFile(QStringLiteral(KIVO_PDF_DATA "/regulation-old.pdf"))));
    QByteArray source = ReadFile(QStringLiteral(KIVO_PDF_DATA "/regulation-old.txt"));
    source.replace('\n', '\r');
    source.chop(1);
    ASSERT_TRUE(Open(1, pdf));
    ASSERT_TRUE(m_messages.empty());
    EXPECT_EQ(Edit(1).GetText(), Sjis(source.toStdString()));
    ASSERT_TRUE(Save(1, {}));
    EXPECT_EQ(m_requests.back().proposedName, TempPath(QStringLiteral("regulation.rtf")));
    // The option keeps the running heads and page numbers.
    m_app->Options().PdfHeads = 1;
    ASSERT_TRUE(Open(1, pdf));
    EXPECT_TRUE(Edit(1).GetText().starts_with(Sjis("文書管理規程\r第一章　総則\r")));

    const struct {
        const char *file;
        const char *why;
    } bad[] = {
        {"encrypted.pdf",
         "パスワードで保護された PDF です。パスワードが必要なため読み込めません。"},
        {"image-only.pdf", "テキストのないPDFです（画像だけのページ）。"},
    };
    for (const auto &row : bad) {
        m_messages.clear();
        SetText(2, "keep me");
        const QString path = QStringLiteral(KIVO_PDF_DATA "/") + QString::fromUtf8(row.file);
        Open(2, path);
        ASSERT_EQ(m_messages.size(), 1u) << row.file;
        EXPECT_EQ(m_messages[0], OpenFailure(path, QString::fromUtf8(row.why)));
        EXPECT_EQ(Edit(2).GetText(), "keep me");
        EXPECT_EQ(Title(2), QStringLiteral("Untitled2"));
    }
}

// The title ends in " *" while the window holds edits that were neither saved nor compared;
// new colours, a font or the levelling of rows are no edits, opening or closing a text ends them.
TEST_F(RichDocTest, TheTitleMarksUnsavedEditsUntilASaveOrAComparison)
{
    QTest::keyClicks(Edit(1).Widget(), QStringLiteral("typed"));
    EXPECT_EQ(Title(1), QStringLiteral("Untitled1 *"));
    EXPECT_EQ(Title(2), QStringLiteral("Untitled2"));
    m_app->Options().Color[ColorSame] = 0x123456;
    Doc()->UpdateAllViews(nullptr, static_cast<long>(UpdateHint::ColorsChanged));
    EXPECT_EQ(Title(1), QStringLiteral("Untitled1 *")) << "new colours keep the mark";

    const QString path = TempPath(QStringLiteral("saved.txt"));
    ASSERT_TRUE(Save(1, path));
    EXPECT_EQ(Title(1), QDir::toNativeSeparators(path)) << "saved";
    QTest::keyClicks(Edit(1).Widget(), QStringLiteral("more"));
    EXPECT_EQ(Title(1), QDir::toNativeSeparators(path) + QStringLiteral(" *"));
    // The next save proposes the file's own name, without the mark.
    ASSERT_TRUE(Save(1, path));
    EXPECT_EQ(m_requests.back().proposedName, TempPath(QStringLiteral("saved.rtf")));

    Edit(1).ReplaceSel(Sjis("。"));
    Edit(2).ReplaceSel(Sjis("typed。"));
    EXPECT_EQ(Title(2), QStringLiteral("Untitled2 *"));
    ASSERT_TRUE(Choose(ID_COMPARE_WHOLE));
    ASSERT_TRUE(RunUntil([this] { return !m_app->Driver().IsRunning(); }));
    EXPECT_EQ(Title(1), QDir::toNativeSeparators(path)) << "compared";
    EXPECT_EQ(Title(2), QStringLiteral("Untitled2"));
}

// Opening a file over edited text and comparing are one undo step each: undo takes back the
// edits made since, then brings back the text replaced, with its title (both windows for a
// comparison); undo again returns to what it replaced, so nothing is ever lost.
TEST_F(RichDocTest, UndoBringsBackWhatAnOpenOrAComparisonReplaced)
{
    const auto undo = [this](int pane) {
        m_frame->ActivateChild(Pane(pane));
        QTest::keyClick(Edit(pane).Widget(), Qt::Key_Z, Qt::ControlModifier);
    };
    QTest::keyClicks(Edit(1).Widget(), QStringLiteral("typed text"));
    const QString path = TempPath(QStringLiteral("file.txt"));
    ASSERT_TRUE(WriteFile(path, "from the file"));
    ASSERT_TRUE(Open(1, path));
    EXPECT_EQ(Edit(1).GetText(), "from the file");
    undo(1);
    EXPECT_EQ(Edit(1).GetText(), "typed text");
    EXPECT_EQ(Title(1), QStringLiteral("Untitled1 *"));
    undo(1);
    EXPECT_EQ(Edit(1).GetText(), "from the file");
    EXPECT_EQ(Title(1), QDir::toNativeSeparators(path));

    SetText(1, Sjis("左の文。\r同じ文。"));
    SetText(2, Sjis("右の文。\r同じ文。"));
    ASSERT_TRUE(Choose(ID_COMPARE_WHOLE));
    ASSERT_TRUE(RunUntil([this] { return !m_app->Driver().IsRunning(); }));
    const std::string left = Edit(1).GetText();
    const std::string right = Edit(2).GetText();
    QTest::keyClicks(Edit(2).Widget(), QStringLiteral("x"));
    undo(2);
    EXPECT_EQ(Edit(2).GetText(), right) << "the edit goes first";
    undo(2);
    EXPECT_EQ(Edit(1).GetText(), Sjis("左の文。\r同じ文。"));
    EXPECT_EQ(Edit(2).GetText(), Sjis("右の文。\r同じ文。"));
    m_frame->UpdateCmdUI();
    EXPECT_TRUE(m_frame->State(ID_EDIT_UNDO).enabled);
    ASSERT_TRUE(Choose(ID_EDIT_UNDO, 1));
    EXPECT_EQ(Edit(1).GetText(), left) << "the menu's undo returns to the result";
}

} // namespace
} // namespace kivo
