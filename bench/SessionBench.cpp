// The windows' contents kept between runs, on big texts: both windows filled with about MB
// megabytes of Japanese paragraphs each, then the session written in idle steps after an
// edit (the longest turn of the event loop meanwhile, the time until the file is on disk),
// written at once as at exit, and read back by the next start. Prints one line a size.
//
// Usage: kivo_session_bench [MB...]   (default 1 27)

#include "PeakMemory.h"
#include "RichEditCtrl.h"
#include "TextGenerator.h"
#include "app/MainFrame.h"
#include "app/RichApp.h"
#include "app/Session.h"
#include "views/RichDoc.h"
#include "views/RichView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace kivo {
namespace {

void Fill(CRichApp &app, double megabytes)
{
    const auto bytes = static_cast<std::size_t>(megabytes * bench::kBytesPerMegabyte);
    const CRichDoc *document = app.MainFrame() ? qobject_cast<const CRichDoc *>(
                                                     app.MainFrame()->ActiveDocument())
                                               : nullptr;
    std::uint32_t seed = 1;
    for (CRichView *view : document->RichViews()) {
        RichEditCtrl &edit = *view->Control();
        edit.SetSel(0, -1);
        edit.ReplaceSel(bench::MakeParagraphs(bytes, seed++));
    }
}

void Run(double megabytes)
{
    QTemporaryDir dir;
    qputenv("XDG_STATE_HOME", dir.filePath(QStringLiteral("state")).toLocal8Bit());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    auto app = std::make_unique<CRichApp>();
    if (!app->InitInstance())
        std::exit(1);
    Fill(*app, megabytes);
    Session &session = *app->KeptSession();
    const QString path = session.Path();
    QFile::remove(path);

    // After an edit: written in idle steps, each turn of the event loop timed.
    QElapsedTimer total;
    total.start();
    session.ScheduleWrite(0);
    qint64 longest = 0;
    long turns = 0;
    while (!QFile::exists(path)) {
        QElapsedTimer turn;
        turn.start();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        longest = std::max(longest, turn.nsecsElapsed());
        ++turns;
    }
    session.JoinWriter();
    const qint64 writingStep = session.LongestStepNs();
    const double idleMs = double(total.nsecsElapsed()) / 1e6;
    const double fileMb = double(QFileInfo(path).size()) / bench::kBytesPerMegabyte;

    QElapsedTimer atOnce;
    atOnce.start();
    session.WriteNow();
    const double exitMs = double(atOnce.nsecsElapsed()) / 1e6;

    app.reset();
    QElapsedTimer restore;
    restore.start();
    app = std::make_unique<CRichApp>();
    if (!app->InitInstance())
        std::exit(1);
    const double restoreMs = double(restore.nsecsElapsed()) / 1e6;
    std::printf("%5.1f MB a window: file %.1f MB; idle writing %.0f ms in %ld turns, longest "
                "writing step %.1f ms (longest turn of the event loop meanwhile %.1f ms); at "
                "exit %.0f ms; restore at start %.0f ms; peak %.0f MB\n",
                megabytes, fileMb, idleMs, turns, double(writingStep) / 1e6,
                double(longest) / 1e6, exitMs, restoreMs, bench::PeakMegabytes());
    std::fflush(stdout);
}

} // namespace
} // namespace kivo

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    if (argc < 2) {
        kivo::Run(1);
        kivo::Run(27);
    }
    for (int i = 1; i < argc; ++i)
        kivo::Run(std::atof(argv[i]));
    return 0;
}
