// Reads a PDF as opening it does and prints the figures: the time of reading it in the child
// process (as the program does) and in this process, the text's size and the peak memory of
// this process and of the child.
//
//     kivo_pdf_bench FILE.pdf [RUNS]

#include "PdfFile.h"
#include "PeakMemory.h"
#include "TextFile.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

/// The least time of runs reads of the file, and the last text.
template <typename ReadFn> double Best(int runs, ReadFn read, std::string &text)
{
    double best = 1e300;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        kivo::FileReason why = kivo::FileReason::Other;
        const auto result = read(why);
        best = std::min(best, Milliseconds(Clock::now() - start));
        if (!result) {
            std::fprintf(stderr, "not read: %s\n", kivo::ReasonInEnglish(why).c_str());
            std::exit(1);
        }
        text = *result;
    }
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: kivo_pdf_bench FILE.pdf [RUNS]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const auto bytes = kivo::ReadFileBounded(argv[1], kivo::ReadableFiles::RegularOnly);
    if (!bytes) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    std::string text;
    const kivo::pdf::ReadOptions options;
    const double apart = Best(
        runs, [&](kivo::FileReason &why) { return kivo::pdf::Read(*bytes, options, why); }, text);
    const double here = Best(
        runs, [&](kivo::FileReason &why) { return kivo::pdf::ReadHere(*bytes, options, why); },
        text);
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    std::printf("%s: %zu bytes, text %zu bytes, %zu paragraphs\n", argv[1], bytes->size(),
                text.size(),
                static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    std::printf("read in a child process %.1f ms, in this process %.1f ms (best of %d)\n", apart,
                here, runs);
    std::printf("peak memory: this process %.1f MB, child %.1f MB\n", kivo::bench::PeakMegabytes(),
                static_cast<double>(children.ru_maxrss) * 1024 / kivo::bench::kBytesPerMegabyte);
    return 0;
}
