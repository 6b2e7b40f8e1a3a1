// Files named on the command line, printing, and a settings store that cannot be written.

#include "TestText.h"
#include "WindowsFixture.h"
#include "app/RichBar.h"
#include "platform/dialogs/MessageBox.h"
#include "platform/dialogs/Printing.h"
#include "platform/files/Profile.h"
#include "platform/framework/CommandActions.h"
#include "resources/ResourceIds.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <functional>
#include <thread>

namespace kivo {
namespace {

using namespace res;
using test::Sjis;

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

using Line = CommandLine;

TEST(CommandLine, NamesUpToTwoFilesAndTheCompareSwitch)
{
    const auto parse = [](std::initializer_list<const char *> words) {
        QStringList arguments;
        for (const char *word : words)
            arguments.append(QString::fromUtf8(word));
        return ParseCommandLine(arguments);
    };
    Line line = parse({});
    EXPECT_TRUE(line.left.isEmpty() && line.right.isEmpty() && line.error.isEmpty());
    line = parse({"a.txt"});
    EXPECT_EQ(line.left, QStringLiteral("a.txt"));
    EXPECT_TRUE(line.right.isEmpty());
    line = parse({"a.txt", "--compare", "b.rtf"});
    EXPECT_EQ(line.right, QStringLiteral("b.rtf"));
    EXPECT_TRUE(line.compare);
    line = parse({"--", "--compare", "-"});
    EXPECT_EQ(line.left, QStringLiteral("--compare"));
    EXPECT_EQ(line.right, QStringLiteral("-"));
    EXPECT_FALSE(line.compare);
    EXPECT_TRUE(parse({"--help"}).help);
    EXPECT_FALSE(parse({"--compare", "a"}).error.isEmpty());
    EXPECT_FALSE(parse({"a", "b", "c"}).error.isEmpty());
    EXPECT_FALSE(parse({"--frobnicate"}).error.isEmpty());
}

class StartupFilesTest : public test::WindowsFixture {
protected:
    void SetUp() override
    {
        WindowsFixture::SetUp();
        m_messageBoxes =
            std::make_unique<ScopedMessageBoxAnswerer>([this](const MessageBoxRequest &request) {
                m_messages.push_back(request.text);
                return IDOK;
            });
        m_left = TempPath(QStringLiteral("left.txt"));
        m_right = TempPath(QStringLiteral("right.txt"));
        ASSERT_TRUE(WriteFile(m_left, QStringLiteral("同じ文。左だけの文。").toUtf8()));
        ASSERT_TRUE(WriteFile(m_right, QStringLiteral("同じ文。右だけの文。").toUtf8()));
    }

    QString m_left;
    QString m_right;
    std::vector<QString> m_messages;
    std::unique_ptr<ScopedMessageBoxAnswerer> m_messageBoxes;
};

TEST_F(StartupFilesTest, OneFileLoadsIntoTheLeftWindow)
{
    StartApp({m_left});
    ASSERT_EQ(m_frame->Children().size(), 2u);
    EXPECT_EQ(Edit(1).Document()->toPlainText(), QStringLiteral("同じ文。左だけの文。"));
    EXPECT_EQ(Title(1), QDir::toNativeSeparators(m_left));
    EXPECT_EQ(Edit(2).GetTextLength(), 0);
    EXPECT_EQ(Title(2), QStringLiteral("Untitled2"));
    EXPECT_EQ(m_frame->ActiveChild(), Pane(1));
    EXPECT_EQ(m_app->Options().SyncScroll, 0);
}

TEST_F(StartupFilesTest, TwoFilesLoadSideBySideAndCompareOnRequest)
{
    StartApp({m_left, m_right});
    EXPECT_EQ(Title(1), QDir::toNativeSeparators(m_left));
    EXPECT_EQ(Title(2), QDir::toNativeSeparators(m_right));
    EXPECT_EQ(Edit(2).Document()->toPlainText(), QStringLiteral("同じ文。右だけの文。"));
    EXPECT_EQ(m_frame->ActiveChild(), Pane(1));
    EXPECT_LT(Pane(1)->x(), Pane(2)->x());
    EXPECT_FALSE(m_app->Driver().IsRunning());

    StartApp({QStringLiteral("--compare"), m_left, m_right});
    EXPECT_TRUE(m_app->Driver().IsRunning());
    ASSERT_TRUE(RunUntil([this] { return !m_app->Driver().IsRunning(); }));
    // The result is in both windows, a row for each sentence with a blank line after it.
    EXPECT_EQ(Edit(1).GetText(), Sjis("同じ文。\r\r左だけの文。\r\r"));
    EXPECT_EQ(Edit(2).GetText(), Sjis("同じ文。\r\r右だけの文。\r\r"));
    EXPECT_TRUE(m_messages.empty());
    // The commands show their state as soon as the comparison ends, before any input.
    for (const int id : {ID_FILE_SAVE, ID_COMPARE_WHOLE, ID_SYNC_SCROLL}) {
        const QList<QAction *> actions = m_frame->Commands().ActionsFor(id);
        ASSERT_FALSE(actions.isEmpty()) << id;
        EXPECT_TRUE(actions.front()->isEnabled()) << id;
    }
    EXPECT_TRUE(m_frame->Commands().ActionsFor(ID_SYNC_SCROLL).front()->isChecked());
    EXPECT_TRUE(m_frame->ToolBar()->DelimiterBox()->isEnabled());
}

TEST_F(StartupFilesTest, FilesThatCannotBeLoadedAreToldOverTheMainWindowInTheirOrder)
{
    const QString report = TempPath(QStringLiteral("report.txt"));
    qputenv("KIVO_SMOKE_REPORT", QFile::encodeName(report));
    const QString gone = TempPath(QStringLiteral("gone.txt"));
    const QString binary = TempPath(QStringLiteral("binary.txt"));
    ASSERT_TRUE(WriteFile(binary, QByteArray("\x7F"
                                             "ELF\0",
                                             5)));
    // Each message notes whether the main window was up and the report was not yet written.
    std::vector<bool> overTheWindow;
    m_messageBoxes.reset();
    m_messageBoxes =
        std::make_unique<ScopedMessageBoxAnswerer>([&](const MessageBoxRequest &request) {
            m_messages.push_back(request.text);
            overTheWindow.push_back(m_app->MainFrame()->isVisible() && !QFile::exists(report));
            return IDOK;
        });
    m_app.reset();
    m_app = std::make_unique<CRichApp>(QStringList{QStringLiteral("--compare"), binary, gone});
    ASSERT_TRUE(m_app->InitInstance());
    m_frame = m_app->MainFrame();
    EXPECT_TRUE(m_messages.empty()) << "no message before the main window is up";
    ASSERT_TRUE(RunUntil([&] { return QFile::exists(report); }));
    qunsetenv("KIVO_SMOKE_REPORT");

    ASSERT_EQ(m_messages.size(), 2u);
    EXPECT_EQ(m_messages[0], QDir::toNativeSeparators(binary) +
                                 QStringLiteral(" を開けませんでした。\nテキスト ファイルではありま"
                                                "せん（5 バイト目に NUL 文字があります）。\n"
                                                "ウィンドウの内容は変更されていません。"));
    EXPECT_TRUE(m_messages[1].startsWith(QDir::toNativeSeparators(gone) +
                                         QStringLiteral(" を開けませんでした。\nファイルまたは")))
        << m_messages[1].toStdString();
    EXPECT_EQ(overTheWindow, std::vector<bool>(2, true));
    // The windows stay empty with their titles; nothing is compared.
    EXPECT_EQ(Title(1), QStringLiteral("Untitled1"));
    EXPECT_EQ(Title(2), QStringLiteral("Untitled2"));
    EXPECT_EQ(Edit(1).GetTextLength() + Edit(2).GetTextLength(), 0);
    EXPECT_EQ(m_frame->ActiveChild(), Pane(1));
    EXPECT_FALSE(m_app->Driver().IsRunning());
}

TEST_F(StartupFilesTest, APrintToPdfHoldsTheComparedTextInsideHalfInchMargins)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    StartApp({QStringLiteral("--compare"), m_left, m_right});
    ASSERT_TRUE(RunUntil([this] { return !m_app->Driver().IsRunning(); }));
    const QString pdf = TempPath(QStringLiteral("left.pdf"));
    QPrinter &printer = m_app->Printing().Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    m_frame->ActivateChild(Pane(1));
    ASSERT_TRUE(Choose(ID_FILE_PRINT_DIRECT));
    EXPECT_EQ(View(1)->PrintMargins(), QMarginsF(720, 720, 720, 720));
    const QMarginsF margins = printer.pageLayout().margins(QPageLayout::Inch);
    EXPECT_DOUBLE_EQ(margins.left(), 0.5);
    EXPECT_DOUBLE_EQ(margins.top(), 0.5);

    QProcess process;
    process.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(process.waitForFinished(20000));
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QStringLiteral("同じ文。"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("左だけの文。"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("右だけの文。")));

    // The colours of the result are printed too: the page holds pixels in strong colours.
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    process.start(pdftoppm, {QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-png"),
                             QStringLiteral("-singlefile"), pdf, TempPath(QStringLiteral("page"))});
    ASSERT_TRUE(process.waitForFinished(20000));
    const QImage page(TempPath(QStringLiteral("page.png")));
    ASSERT_FALSE(page.isNull());
    int coloured = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            const int high = std::max({c.red(), c.green(), c.blue()});
            const int low = std::min({c.red(), c.green(), c.blue()});
            coloured += high - low > 100 ? 1 : 0;
        }
    }
    EXPECT_GT(coloured, 10);
}

TEST_F(StartupFilesTest, PrintDialogAndPreviewPagesAreTheUsersChoice)
{
    SetText(1, "text to print");
    int dialogs = 0;
    {
        // A cancelled print dialog prints nothing.
        const ScopedPrintDialogAnswerer cancel([&dialogs](QDialog &) {
            ++dialogs;
            return static_cast<int>(QDialog::Rejected);
        });
        ASSERT_TRUE(Choose(ID_FILE_PRINT, 1));
        ASSERT_TRUE(Choose(ID_FILE_PRINT_SETUP));
    }
    EXPECT_EQ(dialogs, 2);
    {
        // The preview shows one page at first; the user switches to two facing pages.
        const ScopedPrintDialogAnswerer facing([](QDialog &dialog) {
            auto *pages = dialog.findChild<QPrintPreviewWidget *>();
            EXPECT_NE(pages, nullptr);
            if (pages) {
                EXPECT_EQ(pages->viewMode(), QPrintPreviewWidget::SinglePageView);
                pages->updatePreview();
                EXPECT_GE(pages->pageCount(), 1);
                pages->setViewMode(QPrintPreviewWidget::FacingPagesView);
            }
            return static_cast<int>(QDialog::Rejected);
        });
        ASSERT_TRUE(Choose(ID_FILE_PRINT_PREVIEW, 1));
    }
    EXPECT_EQ(m_app->Printing().PreviewPages(), 2);
    m_app->ExitInstance();
    Profile profile(QStringLiteral("Velmora"), QStringLiteral("Kivo"));
    EXPECT_EQ(profile.GetProfileInt("Settings", "PreviewPages", 0), 2);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(StartupFilesTest, ASettingsStoreThatCannotBeWrittenIsReported)
{
    // A folder below a regular file can never be made.
    const QString blocker = TempPath(QStringLiteral("blocker"));
    ASSERT_TRUE(WriteFile(blocker, "x"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, blocker);
    StartApp({});
    m_app->ExitInstance();
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_TRUE(m_messages[0].startsWith(QStringLiteral("設定を保存できませんでした。")))
        << m_messages[0].toStdString();
    EXPECT_TRUE(m_messages[0].contains(QStringLiteral("blocker/Velmora/Kivo.conf")))
        << m_messages[0].toStdString();
}

TEST_F(StartupFilesTest, AFifoOnTheCommandLineIsRefusedAndStartUpGoesOn)
{
    // Without a writer, opening it to read would wait for ever.
    const QString fifo = TempPath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    StartApp({fifo});
    ASSERT_EQ(m_frame->Children().size(), 2u);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_TRUE(m_messages[0].startsWith(QDir::toNativeSeparators(fifo)) &&
                m_messages[0].contains(QStringLiteral("名前付きパイプです。")))
        << m_messages[0].toStdString();
    EXPECT_EQ(Title(1), QStringLiteral("Untitled1"));
}

TEST_F(StartupFilesTest, ADamagedSettingsStoreIsWrittenAnewWithoutComplaint)
{
    m_app.reset();
    const QString store = TempPath(QStringLiteral("Velmora/Kivo.conf"));
    QDir().mkpath(QFileInfo(store).path());
    // A section that never ends, a line that is no setting, bytes that are no text, and a
    // value far out of its range.
    const QByteArray garbage(
        "[Options\n=\n\x01\x02\xFF\xFE garbage\n[Options]\nViewFormat=-99999\n");
    ASSERT_TRUE(WriteFile(store, garbage));
    StartApp({});
    EXPECT_EQ(m_app->Options().ViewFormat, SentenceLayout::Aligned);
    m_app->ExitInstance();
    EXPECT_TRUE(m_messages.empty()) << m_messages[0].toStdString();
    const QSettings written(store, QSettings::IniFormat);
    EXPECT_EQ(written.status(), QSettings::NoError);
    EXPECT_EQ(written.value(QStringLiteral("Options/ViewFormat")).toInt(), 0);
    EXPECT_EQ(written.value(QStringLiteral("Options/Sptr1")).toString(), QStringLiteral("。｡"));
}

TEST_F(StartupFilesTest, TerminateSignalEndsAnOpenMessageBoxAndTheProgramAtOnce)
{
    m_app.reset();
    // A file that cannot be loaded makes start-up show a message box; the signal comes while
    // it is open, and nobody answers it.
    const ScopedMessageBoxAnswerer nobody(nullptr);
    CRichApp app({TempPath(QStringLiteral("missing.txt"))});
    app.CloseOnTerminateSignal();
    bool boxWasOpen = false;
    int turns = 0;
    constexpr int kMostTurns = 100000;
    std::function<void()> signalOnceTheBoxIsOpen = [&] {
        boxWasOpen = QApplication::activeModalWidget() != nullptr;
        if (boxWasOpen || ++turns > kMostTurns)
            std::raise(SIGTERM);
        else
            QTimer::singleShot(0, signalOnceTheBoxIsOpen);
    };
    QTimer::singleShot(0, signalOnceTheBoxIsOpen);
    EXPECT_EQ(app.Run(), 0);
    EXPECT_TRUE(boxWasOpen);
    EXPECT_TRUE(app.Terminating());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    // The settings were saved on the way out.
    EXPECT_TRUE(QFile::exists(TempPath(QStringLiteral("Velmora/Kivo.conf"))));
}

TEST_F(StartupFilesTest, TerminateSignalDuringALongStepWaitsForTheSettingsToBeWritten)
{
    m_app.reset();
    CRichApp app(QStringList{});
    app.CloseOnTerminateSignal();
    // The signal comes while a step that does not return to the event loop runs for longer than
    // the grace period (a large file read at start-up): the process is not ended before the
    // settings are written.
    QTimer::singleShot(0, [] {
        std::raise(SIGTERM);
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    });
    EXPECT_EQ(app.Run(), 0);
    EXPECT_TRUE(app.Terminating());
    EXPECT_TRUE(QFile::exists(TempPath(QStringLiteral("Velmora/Kivo.conf"))));
    EXPECT_FALSE(QFile::exists(TempPath(QStringLiteral("Velmora/Kivo.conf.lock"))));
}

} // namespace
} // namespace kivo
