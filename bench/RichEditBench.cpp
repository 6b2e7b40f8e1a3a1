// Rendering a large result into one rich-edit control: formatted records with a line-count query
// after each, as the comparison display does. Prints times; the cost per record must stay flat.
// With --rtf MB [RUNS] it instead reads a generated rich-text file of about that many megabytes
// whose format changes every few bytes, under 250-byte font names, with RUNS runs to a paragraph
// (64 unless given), and prints the time and the peak memory of reading it into a control, then
// the time of its layout in a shown window.

#include "Cp932Codec.h"
#include "PeakMemory.h"
#include "RichEditCtrl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using kivo::CharFormat;
using kivo::FormatScope;
using kivo::RichEditCtrl;
using kivo::bench::kBytesPerMegabyte;
using kivo::bench::PeakMegabytes;

constexpr int kRecords = 20000;
constexpr int kHalf = kRecords / 2;
constexpr int kQueries = 20000;

std::string Sjis(const char *utf8)
{
    return kivo::Cp932Codec::Shared().FromUtf8(utf8).value();
}

struct Records {
    std::vector<std::string> texts;
    std::string separator = "\r";
};

/// Short sentences, every fourth one long enough to wrap over two or three lines.
Records MakeRecords()
{
    const std::string shortText = Sjis("今日は良い天気です。");
    const std::string longText = Sjis("吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当が"
                                      "つかぬ。何でも薄暗いじめじめした所で泣いていた。");
    Records records;
    for (int i = 0; i < kRecords; ++i)
        records.texts.push_back(i % 4 == 3 ? longText : shortText);
    return records;
}

/// Milliseconds after each quarter of the records, and those spent in the line-count queries.
struct Times {
    std::array<double, 4> quarters{};
    double queries = 0;
};

/// Renders the records as the display does. With pumpEvents, the event loop runs after every
/// record, as between idle steps (painting included).
Times Render(RichEditCtrl &control, const Records &records, bool pumpEvents)
{
    CharFormat status = kivo::DefaultCharFormat(0x0000FF);
    status.dwEffects = kivo::CFE_BOLD;
    const CharFormat original = kivo::DefaultCharFormat(0x000000);
    Times times;
    QElapsedTimer timer;
    QElapsedTimer query;
    qint64 queryNs = 0;
    long lines = 0;
    timer.start();
    for (int i = 0; i < kRecords; ++i) {
        control.SetCharFormat(status, FormatScope::Selection);
        control.ReplaceSel(records.texts[static_cast<std::size_t>(i)]);
        control.SetCharFormat(original, FormatScope::Selection);
        control.ReplaceSel(records.separator);
        query.start();
        lines += control.GetLineCount();
        queryNs += query.nsecsElapsed();
        if (pumpEvents)
            QApplication::processEvents();
        if ((i + 1) % (kRecords / 4) == 0)
            times.quarters[static_cast<std::size_t>(i / (kRecords / 4))] =
                static_cast<double>(timer.nsecsElapsed()) / 1e6;
    }
    times.queries = static_cast<double>(queryNs) / 1e6;
    std::printf("  %d display lines (checksum %ld)\n", control.GetLineCount(), lines);
    return times;
}

void Report(const char *title, const Times &times)
{
    const auto &q = times.quarters;
    std::printf("%s\n  first %d records: %.0f ms\n  all %d records:   %.0f ms\n"
                "  per quarter of %d: %.0f, %.0f, %.0f, %.0f ms\n"
                "  second half / first half: %.2f (1.0 = linear)\n"
                "  of which the %d line-count queries: %.1f ms\n",
                title, kHalf, q[1], kRecords, q[3], kRecords / 4, q[0], q[1] - q[0], q[2] - q[1],
                q[3] - q[2], (q[3] - q[1]) / q[1], kRecords, times.queries);
}

/// Random line queries and blank-line insertions in the middle of a large text, as realignment
/// does.
void QueryInTheMiddle(RichEditCtrl &control)
{
    std::mt19937 random(1);
    const int length = control.GetTextLength();
    const int lines = control.GetLineCount();
    QElapsedTimer timer;
    timer.start();
    long sum = 0;
    for (int i = 0; i < kQueries; ++i) {
        sum += control.LineFromChar(static_cast<int>(random() % static_cast<unsigned>(length)));
        sum += control.LineIndex(static_cast<int>(random() % static_cast<unsigned>(lines)));
    }
    const qint64 queries = timer.elapsed();
    timer.restart();
    for (int i = 0; i < 1000; ++i) {
        const int line = static_cast<int>(random() % static_cast<unsigned>(lines));
        control.SetSel(control.LineIndex(line), control.LineIndex(line));
        control.ReplaceSel("\r");
        sum += control.GetLineCount();
    }
    const qint64 inserts = timer.elapsed();
    std::printf("queries in a text of %d lines (checksum %ld)\n"
                "  %d LineFromChar + %d LineIndex: %lld ms\n"
                "  1000 blank lines inserted at random lines, each counted: %lld ms\n",
                lines, sum, kQueries, kQueries, static_cast<long long>(queries),
                static_cast<long long>(inserts));
}

constexpr std::size_t kFaceNameBytes = 250;
constexpr std::size_t kRunsPerParagraph = 64;

/// A rich-text file of about megabytes MB: Japanese text whose colour and effects change every
/// two to five characters, in four fonts with long names.
std::string MakeRichText(std::size_t megabytes, std::size_t runsPerParagraph)
{
    std::string rtf = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl";
    for (int font = 0; font < 4; ++font)
        rtf += "{\\f" + std::to_string(font) + "\\fcharset128 " +
               std::string(kFaceNameBytes, static_cast<char>('A' + font)) + ";}";
    rtf += "}{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;"
           "\\red0\\green128\\blue0;}\n";
    static const char *const kRuns[] = {"\\b \\'82\\'a0\\'82\\'a2",
                                        "\\cf1\\ul \\u26085?\\u26412?\\u35486?", "\\i\\cf2 abc",
                                        "\\strike\\cf3 \\'8e\\'9a\\'82\\'a4\\'82\\'a6"};
    std::mt19937 random(7);
    for (std::size_t run = 0; rtf.size() < megabytes * kBytesPerMegabyte; ++run) {
        rtf += "{\\f" + std::to_string(random() % 4) + ' ';
        rtf += kRuns[random() % 4];
        rtf += '}';
        if (run % runsPerParagraph == runsPerParagraph - 1)
            rtf += "\\par\n";
    }
    rtf += '}';
    return rtf;
}

int ReadRichText(std::size_t megabytes, std::size_t runsPerParagraph)
{
    const std::string rtf = MakeRichText(megabytes, runsPerParagraph);
    const double before = PeakMegabytes();
    RichEditCtrl control;
    control.Widget()->resize(600, 400);
    QElapsedTimer timer;
    timer.start();
    kivo::Cp932Codec::Error error;
    const bool read = control.StreamIn(kivo::StreamFormat::RichText, rtf, &error);
    const qint64 ms = timer.elapsed();
    std::printf("rich text of %.1f MB, format changes every few characters, %zu-byte font names\n"
                "  read: %s in %lld ms; %d characters\n"
                "  peak memory: %.0f MB before reading (the file included), %.0f MB after;"
                " %.1f x the file\n",
                static_cast<double>(rtf.size()) / kBytesPerMegabyte, kFaceNameBytes,
                read ? "yes" : error.message.c_str(), static_cast<long long>(ms),
                control.GetTextLength(), before, PeakMegabytes(),
                (PeakMegabytes() - before) / (static_cast<double>(rtf.size()) / kBytesPerMegabyte));
    timer.restart();
    control.Widget()->show();
    const int lines = control.GetLineCount(); // needs the layout of the whole text
    QApplication::processEvents();
    std::printf("  shown and laid out (%d display lines) in %lld ms; peak memory %.0f MB\n", lines,
                static_cast<long long>(timer.elapsed()), PeakMegabytes());
    return read ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "--rtf") == 0)
        return ReadRichText(static_cast<std::size_t>(std::max(1, std::atoi(argv[2]))),
                            static_cast<std::size_t>(argc == 4 ? std::max(1, std::atoi(argv[3]))
                                                               : kRunsPerParagraph));
    const Records records = MakeRecords();
    for (const bool pumpEvents : {false, true}) {
        RichEditCtrl control;
        control.Widget()->resize(600, 400);
        control.Widget()->show();
        control.HideSelection(true); // as during a comparison: the view stays where it is
        const Times times = Render(control, records, pumpEvents);
        Report(pumpEvents ? "rendering, event loop run after every record"
                          : "rendering, no event loop",
               times);
        if (!pumpEvents)
            QueryInTheMiddle(control);
    }
    return 0;
}
