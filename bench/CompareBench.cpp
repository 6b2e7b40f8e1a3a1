// Times whole comparisons of mostly-same Japanese texts and prints time and peak memory per size,
// and the longest step of each engine state with the number of steps (a step must stay well
// under the 16 ms of an idle call, which runs steps for up to 8 ms and then finishes the last).
// Each size runs in a child process, so that its peak memory is its own.
#include "Comparison.h"
#include "PeakMemory.h"
#include "TextGenerator.h"

#include <algorithm>
#include <array>
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
    constexpr int kStates = kivo::StateNumber(kivo::EngineState::Finished) + 1;
    std::array<double, kStates> longest{};
    std::array<long, kStates> steps{};
    const auto start = std::chrono::steady_clock::now();
    comparison.Reset(texts.left, texts.right);
    comparison.Start();
    for (;;) {
        const int state = kivo::StateNumber(comparison.State());
        const auto before = std::chrono::steady_clock::now();
        if (!comparison.Step())
            break;
        const std::chrono::duration<double, std::milli> step =
            std::chrono::steady_clock::now() - before;
        longest[std::size_t(state)] = std::max(longest[std::size_t(state)], step.count());
        ++steps[std::size_t(state)];
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%7d sentences  %6.2f MB a side  %8.3f s  %7zu records  peak %6.1f MB\n", sentences,
                static_cast<double>(texts.left.size()) / 1e6, elapsed.count(),
                comparison.Results().size(), kivo::bench::PeakMegabytes());
    std::printf("         longest step (ms) / steps by state:");
    for (int state = 0; state < kStates; ++state) {
        if (steps[std::size_t(state)] > 0)
            std::printf("  %d: %.2f / %ld", state, longest[std::size_t(state)],
                        steps[std::size_t(state)]);
    }
    std::printf("\n");
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
