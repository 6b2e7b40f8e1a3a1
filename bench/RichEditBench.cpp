// Rendering a large result into one rich-edit control: formatted records with a line-count query
// after each, as the comparison display does. Prints times; the cost per record must stay flat.

#include "Cp932Codec.h"
#include "RichEditCtrl.h"

#include <QApplication>
#include <QElapsedTimer>

#include <array>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using kivo::CharFormat;
using kivo::FormatScope;
using kivo::RichEditCtrl;

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

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const Records records = MakeRecords();
    for (const bool pumpEvents : {false, true}) {
        RichEditCtrl control;
        control.resize(600, 400);
        control.show();
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
