// A whole comparison in the real windows, through the application's idle loop on the offscreen
// platform: two texts of n sentences (about 100 bytes each, one in a hundred changed) pasted
// into the windows, compared and fully rendered. Prints the total time, the longest idle call
// of each state and the peak memory.
//
// Then, on texts where every eleventh sentence is long on the left only, the re-levelling of
// every row after the windows are made narrower and wider again: the time until the rows are
// level, the longest turn of the event loop in between (the freeze a user would feel) and the
// rows whose padding changed. Last, synchronised scrolling on that result: the left window's
// scroll bar dragged to positions all over the text, and the time the right window takes to
// follow.
//
// After each whole comparison, the map of the differences beside the left window's scroll bar:
// the turns it takes to read both windows' rows, then the time to sort the result's marks into
// its pixel rows once, and the time of one repaint of
// the strip, which must not grow with the text. Then typing in the middle of the left window:
// for each key, the processor time of the key itself (the echo, the handlers of the edit) and of
// everything the event loop does in the half second after it (the idle calls that enable the
// commands and find the difference steps, the map's marks sorted again, the layout), and the
// longest idle call and the longest turn of the event loop in that time.
//
// Usage: kivo_windows_bench [SENTENCES...]   (default 10000 20000)
//        kivo_windows_bench --typing SENTENCES...   (the comparisons, their maps and typing only)
//        kivo_windows_bench --relevel SENTENCES...  (the re-levelling and scrolling only)
//        kivo_windows_bench --files LEFT RIGHT   (two text files, read in as opening them does)

#include "Cp932Codec.h"
#include "PeakMemory.h"
#include "RichEditCtrl.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/RichApp.h"
#include "resources/ResourceIds.h"
#include "views/DiffMap.h"
#include "views/RichDoc.h"
#include "views/RichView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <time.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>

namespace kivo {
namespace {

constexpr int kStates = 13;

qint64 ThreadCpuNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

/// The application with every idle call timed and charged to the state it began in.
class TimedApp : public CRichApp {
public:
    std::array<qint64, kStates> longest{};
    std::array<long, kStates> calls{};
    std::array<qint64, kStates> sum{};
    std::array<qint64, kStates> cpu{}; ///< processor time, which other programs do not inflate
    std::array<qint64, kStates> longestCpu{}; ///< the most processor time one call took
    qint64 longestCpuSinceReset = 0;          ///< the same, of any state, since it was reset

    bool OnIdle(long count) override
    {
        const int state = static_cast<int>(Driver().State());
        QElapsedTimer timer;
        timer.start();
        const qint64 cpuBefore = ThreadCpuNanoseconds();
        const bool more = CRichApp::OnIdle(count);
        longestCpuSinceReset = std::max(longestCpuSinceReset, ThreadCpuNanoseconds() - cpuBefore);
        if (state >= 0) {
            const qint64 callCpu = ThreadCpuNanoseconds() - cpuBefore;
            cpu[std::size_t(state)] += callCpu;
            longestCpu[std::size_t(state)] = std::max(longestCpu[std::size_t(state)], callCpu);
            longest[std::size_t(state)] =
                std::max(longest[std::size_t(state)], timer.nsecsElapsed());
            ++calls[std::size_t(state)];
            sum[std::size_t(state)] += timer.nsecsElapsed();
        }
        return more;
    }
};

std::string Cp932(const std::string &utf8)
{
    return *Cp932Codec::Shared().FromUtf8(utf8);
}

std::pair<std::string, std::string> Texts(int sentences)
{
    const std::string head = Cp932("これは比較の速さを測るための文で、段落の中ほどに");
    const std::string tail = Cp932("番目に置かれ、少し長めに書かれています。");
    std::string left, right;
    for (int i = 0; i < sentences; ++i) {
        const std::string number = std::to_string(i);
        left += head + number + tail;
        right += head + (i % 100 == 42 ? number + Cp932("ばん") : number) + tail;
    }
    return {left, right};
}

CRichView &ViewOf(CMainFrame &frame, int pane)
{
    for (MdiChildWnd *child : frame.Children()) {
        auto *frameOfPane = qobject_cast<CChildFrame *>(child);
        if (frameOfPane && frameOfPane->paneNumber == pane)
            return *static_cast<CRichView *>(child->ActiveView());
    }
    std::abort();
}

RichEditCtrl &Edit(CMainFrame &frame, int pane)
{
    return *ViewOf(frame, pane).Control();
}

DiffMap &MapOf(RichEditCtrl &edit)
{
    DiffMap *map = edit.Widget()->findChild<DiffMap *>();
    if (!map)
        std::abort();
    return *map;
}

double MillisecondsOf(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

/// Times the maps of the differences: their first sorting of the marks, their sorting again
/// after a character is typed in the left window, and repaints of the left strip at positions
/// all over the text.
void MapFigures(CRichView &leftView, RichEditCtrl &right)
{
    RichEditCtrl &left = *leftView.Control();
    constexpr int kRepaints = 200;
    DiffMap &map = MapOf(left);
    // The rows of both windows read a slice per turn, as the maps' timer reads them, then the
    // marks sorted.
    double longestRead = 0;
    int reads = 0;
    const auto readBoth = [&] {
        const bool leftRead = map.ReadRowsStep(DiffMap::kParagraphsReadPerTurn);
        const bool rightRead = MapOf(right).ReadRowsStep(DiffMap::kParagraphsReadPerTurn);
        return leftRead && rightRead;
    };
    for (bool read = false; !read; ++reads)
        longestRead = std::max(longestRead, MillisecondsOf([&] { read = readBoth(); }));
    // Then each window's rows placed in a turn of its own, and the marks sorted.
    const double placedLeft = MillisecondsOf([&] { map.Rows(); });
    const double placedRight = MillisecondsOf([&] { MapOf(right).Rows(); });
    const double first = MillisecondsOf([&] {
        map.UpdateMarks();
        MapOf(right).UpdateMarks();
    });
    left.SetSel(0, 0);
    left.ReplaceSelText(QStringLiteral("x"));
    // The runs of the result are read again after an edit for the difference commands too.
    const double runs = MillisecondsOf([&] { leftView.Runs(); });
    const double again = MillisecondsOf([&] {
        map.UpdateMarks();
        MapOf(right).UpdateMarks();
    });
    QScrollBar *bar = &left.VerticalScrollBar();
    QImage strip(map.size(), QImage::Format_RGB32);
    map.render(&strip); // the painter's first use sets up fonts and caches
    double longest = 0;
    double total = 0;
    for (int i = 0; i < kRepaints; ++i) {
        bar->setValue(int(qint64(bar->maximum()) * i / kRepaints));
        // The strip's own painting, without the text window's that the scrolling asked for.
        const double took = MillisecondsOf([&] { map.render(&strip); });
        longest = std::max(longest, took);
        total += took;
    }
    std::printf("  maps of the differences: rows read in %d turns of at most %.1f ms, placed in "
                "%.1f and %.1f ms, then the marks sorted in %.1f ms; after a typed character the "
                "runs read in %.1f ms, then the marks sorted in %.1f ms; %d repaints of %d px, "
                "%.3f ms each on average, longest %.3f ms\n",
                reads, longestRead, placedLeft, placedRight, first, runs, again, kRepaints,
                map.height(), total / kRepaints, longest);
    std::fflush(stdout);
}

/// Runs the event loop for the given time, waiting for events without using the processor;
/// returns the processor time of its longest turn.
qint64 RunEventLoopFor(int milliseconds)
{
    bool over = false;
    QTimer::singleShot(milliseconds, [&over] { over = true; });
    qint64 longest = 0;
    while (!over) {
        const qint64 before = ThreadCpuNanoseconds();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        longest = std::max(longest, ThreadCpuNanoseconds() - before);
    }
    return longest;
}

/// Types characters one at a time in the middle of the left window, as the user does, each
/// followed by half a second of the event loop, and prints what each key cost.
void TypingFigures(TimedApp &app, CRichView &leftView)
{
    constexpr int kKeys = 12;
    constexpr int kAfterMs = 500; // past the map's and the layout's pauses after an edit
    RichEditCtrl &left = *leftView.Control();
    left.FinishLayoutForTests();
    left.Widget()->setFocus();
    // In the middle of a sentence halfway down the text.
    const int middle = left.LineIndex(left.GetLineCount() / 2) + 3;
    left.SetSel(middle, middle);
    RunEventLoopFor(kAfterMs);
    double keySum = 0, keyMax = 0, allSum = 0, allMax = 0, idleMax = 0, turnMax = 0;
    for (int i = 0; i < kKeys; ++i) {
        app.longestCpuSinceReset = 0;
        const qint64 start = ThreadCpuNanoseconds();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(left.Widget(), &press);
        QApplication::sendEvent(left.Widget(), &release);
        const double key = double(ThreadCpuNanoseconds() - start) / 1e6;
        const double turn = double(RunEventLoopFor(kAfterMs)) / 1e6;
        const double all = double(ThreadCpuNanoseconds() - start) / 1e6;
        keySum += key;
        keyMax = std::max(keyMax, key);
        allSum += all;
        allMax = std::max(allMax, all);
        idleMax = std::max(idleMax, double(app.longestCpuSinceReset) / 1e6);
        turnMax = std::max(turnMax, turn);
    }
    std::printf("  typing: %d keys; processor time of the key %.1f ms on average (longest %.1f), "
                "of the key and the %d ms after it %.1f ms (longest %.1f); longest idle call "
                "after a key %.1f ms, longest turn of the event loop %.1f ms\n",
                kKeys, keySum / kKeys, keyMax, kAfterMs, allSum / kKeys, allMax, idleMax, turnMax);
    std::fflush(stdout);
}

/// Compares two texts in the windows: generated ones pasted in, or the bytes of two files read
/// in as opening them does.
void Run(const std::string &label, const std::string &left, const std::string &right, bool files)
{
    TimedApp app;
    if (!app.InitInstance())
        std::abort();
    CMainFrame &frame = *app.MainFrame();
    frame.showNormal();
    frame.resize(1280, 800);
    QCoreApplication::processEvents();
    for (const auto &[pane, text] : {std::pair{1, &left}, std::pair{2, &right}}) {
        if (files) {
            if (!Edit(frame, pane).StreamIn(StreamFormat::Text, *text))
                std::abort();
        } else {
            Edit(frame, pane).SetSel(0, -1);
            Edit(frame, pane).ReplaceSel(*text);
        }
    }
    frame.UpdateCmdUI();
    // The texts are on screen before the comparison starts, as they are for the user: painted,
    // and painted again once the scroll bars they brought have narrowed the windows.
    for (int round = 0; round < 2; ++round) {
        QCoreApplication::processEvents();
        for (int pane : {1, 2})
            Edit(frame, pane).Viewport()->grab();
    }

    QElapsedTimer total;
    total.start();
    const qint64 cpuStart = ThreadCpuNanoseconds();
    if (!frame.Execute(res::ID_COMPARE_WHOLE))
        std::abort();
    while (app.Driver().IsRunning())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    const double seconds = double(total.nsecsElapsed()) / 1e9;
    const double cpuSeconds = double(ThreadCpuNanoseconds() - cpuStart) / 1e9;

    std::printf("%s, %.2f MB a side: %.2f s in all (processor %.2f s), %d lines on the left\n",
                label.c_str(), double(left.size()) / 1e6, seconds, cpuSeconds,
                Edit(frame, 1).GetLineCount());
    std::printf("  state  idle calls  longest call  longest cpu  all calls  processor time\n");
    qint64 cpu = 0;
    for (int s = 0; s < kStates; ++s) {
        cpu += app.cpu[std::size_t(s)];
        if (app.calls[std::size_t(s)] > 0)
            std::printf("  %5d  %10ld  %9.2f ms  %8.2f ms  %7.0f ms  %11.0f ms\n", s,
                        app.calls[std::size_t(s)], double(app.longest[std::size_t(s)]) / 1e6,
                        double(app.longestCpu[std::size_t(s)]) / 1e6,
                        double(app.sum[std::size_t(s)]) / 1e6,
                        double(app.cpu[std::size_t(s)]) / 1e6);
    }
    std::printf("  processor time of the idle calls: %.0f ms\n", double(cpu) / 1e6);
    std::printf("  peak memory so far: %.0f MB\n", kivo::bench::PeakMegabytes());
    std::fflush(stdout);
    MapFigures(ViewOf(frame, 1), Edit(frame, 2));
    TypingFigures(app, ViewOf(frame, 1));
}

/// Resizes the main window so that each text window is about `width` pixels wide and runs the
/// event loop until the rows are level again.
void Relevel(CMainFrame &frame, int width)
{
    auto *document = qobject_cast<CRichDoc *>(frame.ActiveDocument());
    QElapsedTimer total;
    total.start();
    const qint64 cpuBefore = ThreadCpuNanoseconds();
    frame.resize(2 * width, 800);
    frame.TileSideBySide();
    // The turn that starts the levelling finishes the layout at the new width first; the
    // turns after it are the levelling steps.
    qint64 start = -1;
    qint64 longest = 0;
    int steps = 0;
    do {
        const bool levelling = document->Leveller() != nullptr;
        QElapsedTimer turn;
        turn.start();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        const qint64 took = turn.nsecsElapsed();
        if (levelling) {
            longest = std::max(longest, took);
            ++steps;
        } else if (start < 0 && document->Leveller()) {
            start = took;
        }
    } while (document->LevellingPending());
    std::printf("  re-level at %4d px: %5.0f ms in all (processor %5.0f ms); start (layout) %5.1f "
                "ms, then %4d steps, longest %4.1f ms; %d rows changed, %d lines on the left\n",
                width, double(total.nsecsElapsed()) / 1e6,
                double(ThreadCpuNanoseconds() - cpuBefore) / 1e6, double(start) / 1e6, steps,
                double(longest) / 1e6, document->LevelledRows(), Edit(frame, 1).GetLineCount());
    std::fflush(stdout);
}

/// Drags the left window's scroll bar to positions spread over the whole text, in a scattered
/// order, and prints how long each drag takes with the right window following.
void SyncScrolls(CMainFrame &frame)
{
    constexpr int kPositions = 500;
    constexpr int kScatter = 7919; // a prime: visits every position once, far from the last
    QScrollBar *bar = &Edit(frame, 1).VerticalScrollBar();
    const QScrollBar *other = (&Edit(frame, 2).VerticalScrollBar());
    qint64 longest = 0;
    int apart = 0;
    QElapsedTimer total;
    total.start();
    for (int i = 0; i < kPositions; ++i) {
        QElapsedTimer timer;
        timer.start();
        bar->setValue(int(qint64(bar->maximum()) * ((i * kScatter) % kPositions) / kPositions));
        longest = std::max(longest, timer.nsecsElapsed());
        apart += bar->value() != other->value() ? 1 : 0;
    }
    std::printf("  synchronised scrolling: %d drags, %.2f ms each on average, longest %.2f ms; "
                "%d not level\n",
                kPositions, double(total.nsecsElapsed()) / 1e6 / kPositions, double(longest) / 1e6,
                apart);
    std::fflush(stdout);
}

void RunRelevel(int sentences)
{
    CRichApp app;
    if (!app.InitInstance())
        std::abort();
    CMainFrame &frame = *app.MainFrame();
    frame.showNormal();
    frame.resize(2400, 800);
    frame.TileSideBySide();
    QCoreApplication::processEvents();
    const std::string body = Cp932("これは行をそろえ直す速さを測るための文で");
    const std::string longTail = Cp932("、左の窓でだけ長く続けて何行にも折り返させています");
    std::string left, right;
    for (int i = 0; i < sentences; ++i) {
        const std::string number = std::to_string(i) + Cp932("。");
        left += body + (i % 11 == 5 ? longTail + longTail : std::string()) + number;
        right += body + number;
    }
    Edit(frame, 1).SetSel(0, -1);
    Edit(frame, 1).ReplaceSel(left);
    Edit(frame, 2).SetSel(0, -1);
    Edit(frame, 2).ReplaceSel(right);
    frame.UpdateCmdUI();
    if (!frame.Execute(res::ID_COMPARE_WHOLE))
        std::abort();
    while (app.Driver().IsRunning())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    std::printf("%d rows, every eleventh longer on the left:\n", sentences);
    Relevel(frame, 600);
    Relevel(frame, 1200);
    Relevel(frame, 400);
    SyncScrolls(frame);
}

} // namespace
} // namespace kivo

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings and the session of the windows kept between runs live in a folder of this run:
    // a session restored from an earlier run would load its texts at start-up.
    QTemporaryDir config;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    qputenv("XDG_STATE_HOME", config.path().toUtf8());
    QApplication qt(argc, argv);
    const auto generated = [](int sentences) {
        const auto [left, right] = kivo::Texts(sentences);
        kivo::Run(std::to_string(sentences) + " sentences", left, right, false);
    };
    if (argc == 4 && std::string_view(argv[1]) == "--files") {
        const auto read = [](const char *path) {
            std::ifstream file(path, std::ios::binary);
            return std::string(std::istreambuf_iterator<char>(file), {});
        };
        kivo::Run(std::string(argv[2]) + " and " + argv[3], read(argv[2]), read(argv[3]), true);
        return 0;
    }
    if (argc > 2 && std::string_view(argv[1]) == "--relevel") {
        for (int i = 2; i < argc; ++i)
            kivo::RunRelevel(std::atoi(argv[i]));
        return 0;
    }
    if (argc > 2 && std::string_view(argv[1]) == "--typing") {
        for (int i = 2; i < argc; ++i)
            generated(std::atoi(argv[i]));
        return 0;
    }
    if (argc < 2) {
        generated(10000);
        generated(20000);
        kivo::RunRelevel(10000);
    }
    for (int i = 1; i < argc; ++i) {
        generated(std::atoi(argv[i]));
        kivo::RunRelevel(std::atoi(argv[i]));
    }
    return 0;
}
