// Big documents in one rich-edit control shown in a window of 640 x 800 pixels, as the user meets
// them. Prints one line of figures a case:
//   --open-text MB  a plain text file of about MB megabytes opened into the window: the time of
//                   reading it (and of reading it into a window never shown: the part that is
//                   not layout), of the first paint, of Ctrl+End until the end of the text is on
//                   screen, of typing a letter there, of Ctrl+Home and of typing a letter at the
//                   start; the background work left after them, the longest turn of the event
//                   loop meanwhile and the peak memory.
//   --runs N        one paragraph whose colour changes N times, written run by run in one layout
//                   batch as the comparison display writes: the time of writing it (and of
//                   closing the batch), of its first paint, and the peak memory. The paragraph is
//                   laid out in one of the two, depending on whether the layout is deferred.

#include "PeakMemory.h"
#include "RichEditCtrl.h"
#include "TextGenerator.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace {

using kivo::RichEditCtrl;
using kivo::bench::kBytesPerMegabyte;
using kivo::bench::PeakMegabytes;

constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 800;
constexpr std::uint32_t kSeed = 1;
constexpr qint64 kGiveUpMs = 120000; // a step not done by then is reported as not done
constexpr qint64 kQuietMs = 50;      // the event loop is idle once it delivered nothing this long
constexpr double kNsPerMs = 1e6;
constexpr kivo::ColorRef kRunColors[] = {0x0000FF, 0xFF0000}; // red and blue, 0x00BBGGRR
constexpr std::string_view kRunText = "\x82\xa0\x82\xa2";     // あい in code page 932

double Ms(qint64 nanoseconds)
{
    return static_cast<double>(nanoseconds) / kNsPerMs;
}

/// Runs the event loop turn by turn and keeps the longest turn. A turn counts as work when the
/// application delivered an event in it (a posted event, a timer, a paint).
class EventLoop : public QObject {
public:
    EventLoop() { qApp->installEventFilter(this); }
    ~EventLoop() override { qApp->removeEventFilter(this); }
    EventLoop(const EventLoop &) = delete;
    EventLoop &operator=(const EventLoop &) = delete;

    /// Runs turns until done() holds after one; false when it still does not after kGiveUpMs.
    bool RunUntil(const std::function<bool()> &done)
    {
        QElapsedTimer timer;
        timer.start();
        while (!done()) {
            if (timer.elapsed() > kGiveUpMs)
                return false;
            Turn();
        }
        return true;
    }
    /// Runs turns until none delivered anything for kQuietMs, so that work the control left for
    /// later (lazy layout, repaints) is done. Returns the milliseconds until the last busy turn.
    double Settle()
    {
        QElapsedTimer timer;
        timer.start();
        constexpr qint64 kQuietNs = kQuietMs * static_cast<qint64>(kNsPerMs);
        qint64 lastBusy = 0;
        while (timer.nsecsElapsed() - lastBusy < kQuietNs && timer.elapsed() < kGiveUpMs) {
            if (Turn())
                lastBusy = timer.nsecsElapsed();
        }
        return Ms(lastBusy);
    }
    double LongestTurnMs() const { return Ms(m_longestNs); }

protected:
    bool eventFilter(QObject *, QEvent *) override
    {
        ++m_delivered;
        return false;
    }

private:
    /// One turn; true when it delivered an event.
    bool Turn()
    {
        const long before = m_delivered;
        QElapsedTimer timer;
        timer.start();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        m_longestNs = std::max(m_longestNs, timer.nsecsElapsed());
        return m_delivered != before;
    }

    long m_delivered = 0;
    qint64 m_longestNs = 0;
};

/// A control in a shown window of the size of a text view, with nothing left to do.
void ShowControl(RichEditCtrl &control, EventLoop &loop)
{
    control.Widget()->resize(kWindowWidth, kWindowHeight);
    control.Widget()->show();
    control.Widget()->activateWindow();
    control.Widget()->setFocus();
    loop.Settle();
}

/// Paints the visible part of the control, laying it out as far as that needs.
void Paint(RichEditCtrl &control)
{
    control.Viewport()->grab();
}

bool CaretOnScreen(const RichEditCtrl &control)
{
    return control.Viewport()->rect().contains(control.CaretRect());
}

/// Presses a key as the user does, through the event loop, until done() holds, then paints.
/// Milliseconds from the press to the end of the paint, or -1 when done() never held.
double Press(RichEditCtrl &control, EventLoop &loop, QKeyEvent *press,
             const std::function<bool()> &done)
{
    QElapsedTimer timer;
    timer.start();
    QCoreApplication::postEvent(control.Widget(), press);
    if (!loop.RunUntil(done))
        return -1;
    Paint(control);
    return Ms(timer.nsecsElapsed());
}

/// Ctrl+End or Ctrl+Home, done when the caret is at that end of the text and on screen.
double PressCtrl(RichEditCtrl &control, EventLoop &loop, Qt::Key key)
{
    return Press(
        control, loop, new QKeyEvent(QEvent::KeyPress, key, Qt::ControlModifier), [&control, key] {
            const QTextCursor caret = control.TextCursor();
            return (key == Qt::Key_End ? caret.atEnd() : caret.atStart()) && CaretOnScreen(control);
        });
}

/// Types one letter at the caret, done when the text has it.
double TypeLetter(RichEditCtrl &control, EventLoop &loop)
{
    const int length = control.GetTextLength();
    return Press(control, loop,
                 new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a")),
                 [&control, length] { return control.GetTextLength() == length + 1; });
}

/// What reading a file into a control gave: whether it was read (else why not) and how long it
/// took.
struct Reading {
    bool read = false;
    std::string error;
    double ms = 0;
};

/// Reads a file into the control in one turn of the event loop, as the open command does.
Reading ReadInOneTurn(RichEditCtrl &control, EventLoop &loop, std::string_view file)
{
    std::optional<Reading> reading;
    QMetaObject::invokeMethod(
        &control,
        [&] {
            QElapsedTimer timer;
            timer.start();
            kivo::Cp932Codec::Error error;
            const bool read = control.StreamIn(kivo::StreamFormat::Text, file, &error);
            reading = Reading{read, error.message, Ms(timer.nsecsElapsed())};
        },
        Qt::QueuedConnection);
    loop.RunUntil([&reading] { return reading.has_value(); });
    return reading.value_or(Reading{false, "not read in time", 0});
}

/// Milliseconds of reading a file into a control never shown: the part that is not layout.
double ReadHidden(std::string_view file)
{
    RichEditCtrl hidden;
    QElapsedTimer timer;
    timer.start();
    hidden.StreamIn(kivo::StreamFormat::Text, file);
    return Ms(timer.nsecsElapsed());
}

int OpenText(std::size_t megabytes)
{
    const std::string file = kivo::bench::MakeParagraphs(megabytes * kBytesPerMegabyte, kSeed);
    EventLoop loop;
    RichEditCtrl control;
    ShowControl(control, loop);
    const double before = PeakMegabytes();

    const Reading reading = ReadInOneTurn(control, loop, file);
    QElapsedTimer timer;
    timer.start();
    Paint(control);
    const double firstPaint = Ms(timer.nsecsElapsed());
    // Straight to the end, as a user who opened the file to read its last lines.
    const double toEnd = PressCtrl(control, loop, Qt::Key_End);
    const double typeAtEnd = TypeLetter(control, loop);
    const double busy = loop.Settle();
    const double toStart = PressCtrl(control, loop, Qt::Key_Home);
    const double typeAtStart = TypeLetter(control, loop);
    loop.Settle();
    const double peak = PeakMegabytes();

    std::printf("open text %.1f MB, %d paragraphs, %d characters: read %s %.0f ms (%.0f ms not "
                "shown) | first paint %.0f ms | Ctrl+End %.0f ms | type at end %.0f ms | then "
                "busy %.0f ms | Ctrl+Home %.0f ms | type at start %.0f ms | longest turn %.0f ms | "
                "peak memory %.0f MB (%.0f MB with the file before reading)\n",
                static_cast<double>(file.size()) / kBytesPerMegabyte,
                control.Document()->blockCount(), control.GetTextLength(),
                reading.read ? "in" : reading.error.c_str(), reading.ms, ReadHidden(file),
                firstPaint, toEnd, typeAtEnd, busy, toStart, typeAtStart, loop.LongestTurnMs(),
                peak, before);
    return reading.read && std::min({toEnd, typeAtEnd, toStart, typeAtStart}) >= 0 ? 0 : 1;
}

int FormatRuns(int runs)
{
    EventLoop loop;
    RichEditCtrl control;
    ShowControl(control, loop);
    control.HideSelection(true); // as during a comparison: the view stays where it is
    const double before = PeakMegabytes();

    QElapsedTimer timer;
    timer.start();
    control.BeginLayoutBatch();
    for (int run = 0; run < runs; ++run) {
        control.SetCharFormat(kivo::DefaultCharFormat(kRunColors[run % std::size(kRunColors)]),
                              kivo::FormatScope::Selection);
        control.ReplaceSel(kRunText);
    }
    const qint64 closing = timer.nsecsElapsed();
    control.EndLayoutBatch(); // the document lays the paragraph out here unless it defers that
    const double insert = Ms(timer.nsecsElapsed());
    const double batchClose = insert - Ms(closing);
    timer.restart();
    Paint(control);
    const double firstPaint = Ms(timer.nsecsElapsed());
    const double busy = loop.Settle();

    std::printf("one paragraph of %d runs, %d characters: written in %.0f ms (closing the batch "
                "%.0f ms) | first paint %.0f ms "
                "| then busy %.0f ms | longest turn %.0f ms | peak memory %.0f MB (%.0f MB "
                "before)\n",
                runs, control.GetTextLength(), insert, batchClose, firstPaint, busy,
                loop.LongestTurnMs(), PeakMegabytes(), before);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc == 3 ? std::atoi(argv[2]) : 0;
    if (count > 0 && std::strcmp(argv[1], "--open-text") == 0)
        return OpenText(static_cast<std::size_t>(count));
    if (count > 0 && std::strcmp(argv[1], "--runs") == 0)
        return FormatRuns(count);
    std::fprintf(stderr, "usage: %s --open-text MB | --runs N\n", argv[0]);
    return 2;
}
