// Times whole comparisons of mostly-same Japanese texts and prints time and peak memory per size.
// Each size runs in a child process, so that its peak memory is its own.
#include "Comparison.h"
#include "PeakMemory.h"
#include "TextGenerator.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kSizes[] = {1000, 10000, 20000, 100000};
constexpr std::uint32_t kSeed = 2026;

void RunOne(int sentences)
{
    const kivo::bench::TextPair texts = kivo::bench::MakeMostlySamePair(sentences, kSeed);
    kivo::CompareOptions options;
    kivo::ProgressModel progress;
    kivo::Comparison comparison(options, progress);
    const auto start = std::chrono::steady_clock::now();
    comparison.RunToCompletion(texts.left, texts.right);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%7d sentences  %6.2f MB a side  %8.3f s  %7zu records  peak %6.1f MB\n", sentences,
                static_cast<double>(texts.left.size()) / 1e6, elapsed.count(),
                comparison.Results().size(), kivo::bench::PeakMegabytes());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    for (int sentences : kSizes) {
        if (argc > 1 && sentences > std::atoi(argv[1]))
            break; // an optional largest size, for quick runs
        const pid_t child = fork();
        if (child == 0) {
            RunOne(sentences);
            std::_Exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "kivo_compare_bench: the run of %d sentences failed\n", sentences);
            return 1;
        }
    }
    return 0;
}
