// The windows' contents kept between runs: a result with its colours and marks, typed text,
// titles and modified marks come back at the next start; a damaged session is set aside with a
// word; a Kivo that runs keeps its session to itself.

#include "CompareFixture.h"

#include "app/Session.h"
#include "resulttext/ResultMarks.h"

#include <QDir>
#include <QFile>
#include <QTextBlock>

namespace kivo {
namespace {

using test::CompareInWindowsTest;
using test::Sjis;

class SessionTest : public CompareInWindowsTest {
protected:
    /// Ends the application as the user would and starts it again without files. Killed, it
    /// ends without a word once the session has been written in idle steps.
    void Restart(bool killed = false)
    {
        if (killed) {
            const QString path = m_app->KeptSession()->Path();
            QFile::remove(path);
            m_app->KeptSession()->ScheduleWrite(0);
            ASSERT_TRUE(RunUntil([&path] { return QFile::exists(path); }));
            m_app->KeptSession()->JoinWriter();
        } else {
            m_app->ExitInstance();
        }
        StartApp({});
        m_frame->resize(1280, 800);
        m_frame->TileSideBySide();
    }

    QStringList SessionFiles(const QString &pattern = QStringLiteral("session-*.kivo")) const
    {
        return QDir(Session::DefaultFolder()).entryList({pattern}, QDir::Files);
    }

    /// Every character's colour, effects and result mark, in text order (paragraph breaks
    /// included), as one line each.
    static std::string Formats(RichEditCtrl &edit)
    {
        std::string listing;
        const auto add = [&listing](const QString &text, const QTextCharFormat &format) {
            const std::optional<RunMark> mark = MarkOf(format);
            listing += text.toStdString() + " " + format.foreground().color().name().toStdString() +
                       (format.fontWeight() > QFont::Normal ? " bold" : "") +
                       (format.fontStrikeOut() ? " struck" : "") +
                       (format.fontUnderline() ? " underlined" : "") + " mark " +
                       (mark ? std::to_string(int(mark->kind)) + "/" + std::to_string(mark->record)
                             : "-") +
                       (StandsFor(format) ? " stands" : "") + "\n";
        };
        for (QTextBlock block = edit.Document()->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it)
                add(it.fragment().text(), it.fragment().charFormat());
            if (block.next().isValid())
                add(QStringLiteral("<break>"), block.next().charFormat());
        }
        return listing;
    }
};

// A compared result, edited afterwards, comes back whole: the text, every format with its
// marks (so F5 reads the user's texts and F8 finds the differences), titles, modified marks.
TEST_F(SessionTest, TheWindowsComeBackAsTheyWereLeft)
{
    const std::string left = Sjis("吾輩は猫である。\r名前はまだない。\r\rどこで生まれたか。");
    const std::string right = Sjis("吾輩は猫である。\r名前はまだ無い。\r追加。どこで生まれたか。");
    const ResultList records = CompareAndCheck(left, right);
    m_frame->ActivateChild(Pane(2));
    Edit(2).SetSel(0, 0);
    QTest::keyClicks(Edit(2).Widget(), QStringLiteral("typed "));
    const std::string shown[] = {Edit(1).GetText(), Edit(2).GetText()};
    const std::string formats = Formats(Edit(1));
    ASSERT_EQ(Title(2), QStringLiteral("Untitled2 *"));

    Restart(true);
    EXPECT_EQ(Edit(1).GetText(), shown[0]);
    EXPECT_EQ(Edit(2).GetText(), shown[1]);
    EXPECT_EQ(Formats(Edit(1)), formats);
    EXPECT_EQ(Title(1), QStringLiteral("Untitled1"));
    EXPECT_EQ(Title(2), QStringLiteral("Untitled2 *"));
    EXPECT_EQ(m_app->Options().SyncScroll, 0);
    m_frame->UpdateCmdUI();
    EXPECT_TRUE(m_frame->State(res::ID_NEXT_DIFFERENCE).enabled) << "the marks came back";
    ASSERT_TRUE(Compare());
    EXPECT_EQ(Driver().LastResult()->records.size(), Records(left, Sjis("typed ") + right).size())
        << "F5 reads the user's texts";

    // Switched off, nothing is kept for the next start.
    m_app->Options().RestoreSession = 0;
    Restart();
    EXPECT_TRUE(SessionFiles().isEmpty());
    EXPECT_EQ(Edit(1).GetText(), "");
}

// A session that cannot be read is set aside and told of; the windows start empty.
TEST_F(SessionTest, ADamagedSessionIsSetAsideWithAWord)
{
    SetText(1, "kept");
    Restart();
    ASSERT_EQ(Edit(1).GetText(), "kept");
    m_app->ExitInstance();
    const QString path = QDir(Session::DefaultFolder()).filePath(SessionFiles().front());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const QByteArray bytes = file.readAll();
    file.resize(bytes.size() / 2); // cut short, as a full disk would leave it
    file.close();

    std::vector<QString> messages;
    const ScopedMessageBoxAnswerer answer([&messages](const MessageBoxRequest &request) {
        messages.push_back(request.text);
        return IDOK;
    });
    StartApp({});
    ASSERT_TRUE(RunUntil([&messages] { return !messages.empty(); }));
    EXPECT_TRUE(
        messages.front().contains(QDir::toNativeSeparators(path + QStringLiteral(".damaged"))))
        << messages.front().toStdString();
    EXPECT_EQ(Edit(1).GetText(), "");
    EXPECT_EQ(SessionFiles(QStringLiteral("*.damaged")).size(), 1);
}

// Two Kivos at once keep two sessions: the one a Kivo holds is never taken by another.
TEST_F(SessionTest, ARunningKivoKeepsItsSessionToItself)
{
    SetText(1, "first");
    m_app->ExitInstance(); // written; this Kivo still runs and holds it
    Session second;
    EXPECT_EQ(second.Claim(true), std::nullopt);
    EXPECT_NE(second.Path(), QDir(Session::DefaultFolder()).filePath(SessionFiles().front()));
    StartApp({}); // the first Kivo ends; the next start takes its session
    EXPECT_EQ(Edit(1).GetText(), "first");
}

// A start that names files sets the last windows aside into the history, and so does closing
// them; an entry opens into the active window with its title, and undo takes it back.
TEST_F(SessionTest, ReplacedWindowsGoIntoTheHistoryAndOpenFromThere)
{
    SetText(1, "left of the first run");
    m_app->ExitInstance();
    const QString file = TempPath(QStringLiteral("named.txt"));
    QFile named(file);
    ASSERT_TRUE(named.open(QIODevice::WriteOnly) && named.write("named") == 5);
    named.close();
    StartApp({file});
    EXPECT_EQ(Edit(1).GetText(), "named");

    SetText(2, "right of the second run");
    ASSERT_TRUE(Choose(res::ID_FILE_CLOSE, 2));
    ASSERT_TRUE(Choose(res::ID_FILE_NEW));
    std::vector<Session::HistoryEntry> history = m_app->KeptSession()->History();
    ASSERT_EQ(history.size(), 3u);
    EXPECT_EQ(history[0].title, QStringLiteral("Untitled2")) << "the closed windows first";
    EXPECT_EQ(history[1].title, QDir::toNativeSeparators(file));
    EXPECT_EQ(history[2].title, QStringLiteral("Untitled1"));

    m_frame->ActivateChild(Pane(1));
    QTest::keyClicks(Edit(1).Widget(), QStringLiteral("typed"));
    ASSERT_TRUE(m_app->OpenHistoryEntry(history[2]));
    EXPECT_EQ(Edit(1).GetText(), "left of the first run");
    EXPECT_EQ(Title(1), QStringLiteral("Untitled1"));
    ASSERT_TRUE(Choose(res::ID_EDIT_UNDO, 1));
    EXPECT_EQ(Edit(1).GetText(), "typed");
}

} // namespace
} // namespace kivo
