// Times the engine's hard cases against git's character word diff on the same files, and
// prints one table row a case: total time, the longest single Step (wall and processor time, from
// a second run that times every step), peak memory, and the Same sentence pairs beside those of first-fit
// anchoring (~: too costly to find the most, first-fit kept; E n: n long pairs finished by the
// edit script). Each case's record digest goes to standard error.
// Each case runs in a child process, so that its peak memory is its own.
//
//   kivo_engine_bench [--check] [--large] [case ... | longlines]
//     --check  also run the direct searches (every threshold at its maximum) and compare records
//     --large  include the 200 MB case
//     --no-git skip git diff (its columns show 0)
//     --steps  list every step longer than 16 ms of processor time (on standard error)
//     longlines the one-sentence cases: a 5 MB and a 21 MB line with 10 characters changed, a
//              3.5 MB and a 350 KB line changed every 5th character, 20k-80k-character sentences
//              edited every ~500; "x in" is the peak memory per byte of both inputs
// The engine gets each text as the application hands it over (moved in, not copied), so the
// peak is the engine's own.
#include "Comparison.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using kivo::EngineState;

constexpr std::uint32_t kSeed = 2026;
// Longest step the user interface tolerates, in ms.
constexpr double kLongStepMs = 16;
bool g_listLongSteps = false;
bool g_runGit = true;
constexpr std::string_view kFullStop = "\x81\x42"; // 。

struct Case {
    std::string name;
    std::string left;
    std::string right;
};

/// Random code page 932 characters: hiragana, katakana and kanji.
class Chars {
public:
    explicit Chars(std::uint32_t seed) : m_rng(seed) {}

    std::string Hiragana() { return Two(0x82, 0x9F, 0xF1); }
    std::string Katakana() { return Two(0x83, 0x40, 0x93); }
    std::string Kanji()
    {
        return Two(static_cast<unsigned char>(Below(0x98 - 0x89) + 0x89), 0x40, 0x7E);
    }
    std::string Any()
    {
        switch (Below(3)) {
        case 0:
            return Hiragana();
        case 1:
            return Katakana();
        default:
            return Kanji();
        }
    }
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    std::mt19937 &Rng() { return m_rng; }

private:
    std::string Two(unsigned char lead, unsigned char first, unsigned char last)
    {
        std::string c(2, '\0');
        c[0] = static_cast<char>(lead);
        c[1] = static_cast<char>(first + Below(last - first + 1));
        return c;
    }
    std::mt19937 m_rng;
};

/// A sentence of words from a vocabulary: kanji compounds, kana particles, katakana words.
class Vocabulary {
public:
    explicit Vocabulary(Chars &chars) : m_chars(chars)
    {
        for (int n = 0; n < 3000; ++n)
            m_words.push_back(chars.Kanji() + chars.Kanji());
        for (int n = 0; n < 60; ++n)
            m_words.push_back(chars.Hiragana() + (n % 2 ? chars.Hiragana() : ""));
        for (int n = 0; n < 500; ++n)
            m_words.push_back(chars.Katakana() + chars.Katakana() + chars.Katakana());
    }

    std::string Word()
    {
        // Particles are frequent, as in real text.
        if (m_chars.Below(3) == 0)
            return m_words[static_cast<std::size_t>(3000 + m_chars.Below(60))];
        return m_words[static_cast<std::size_t>(m_chars.Below(static_cast<int>(m_words.size())))];
    }

    std::string Sentence(int minBytes, int maxBytes)
    {
        const int bytes = minBytes + m_chars.Below(maxBytes - minBytes + 1);
        std::string s;
        while (static_cast<int>(s.size()) < bytes)
            s += Word();
        return s + std::string(kFullStop);
    }

    std::string Edited(std::string s)
    {
        for (int n = 1 + m_chars.Below(3); n > 0; --n) {
            const auto at =
                static_cast<std::size_t>(m_chars.Below(static_cast<int>(s.size()) / 2)) * 2;
            s.insert(at, Word());
        }
        return s;
    }

private:
    Chars &m_chars;
    std::vector<std::string> m_words;
};

/// How one side of a generated document is edited into the other.
struct Edits {
    int changeEvery = 0;  // every so many sentences one is changed (0: none)
    double addShare = 0;  // share of sentences added after a sentence
    double dropShare = 0; // share of sentences dropped
    int moved = 0;        // sentences moved at least a third of the document away
    int copied = 0;       // sentences copied as far ahead
    int merged = 0;       // neighbours joined into one sentence
};

/// A document of sentences from the vocabulary, a share of them short sentences that recur
/// (headings, "see below", "the same applies"), and its edited copy.
Case Document(std::string name, int sentences, int minBytes, int maxBytes, double repeatedShare,
              const Edits &edits, std::uint32_t seed)
{
    Chars chars(seed);
    Vocabulary words(chars);
    std::vector<std::string> recurring;
    for (int n = 0; n < 24; ++n)
        recurring.push_back(words.Sentence(6, 16));
    std::vector<std::string> left;
    for (int n = 0; n < sentences; ++n) {
        const bool recurs = chars.Below(1000) < static_cast<int>(repeatedShare * 1000);
        left.push_back(recurs ? recurring[static_cast<std::size_t>(chars.Below(24))]
                              : words.Sentence(minBytes, maxBytes));
    }
    std::vector<std::string> right;
    for (std::size_t n = 0; n < left.size(); ++n) {
        if (chars.Below(10000) < static_cast<int>(edits.dropShare * 10000))
            continue;
        const bool change = edits.changeEvery > 0 && n % static_cast<std::size_t>(edits.changeEvery) ==
                                                         static_cast<std::size_t>(edits.changeEvery) - 1;
        right.push_back(change ? words.Edited(left[n]) : left[n]);
        if (chars.Below(10000) < static_cast<int>(edits.addShare * 10000))
            right.push_back(chars.Below(4) == 0 ? recurring[static_cast<std::size_t>(chars.Below(24))]
                                                : words.Sentence(minBytes, maxBytes));
    }
    const auto far = [&](std::size_t from) {
        const std::size_t size = right.size();
        return (from + size / 3 + static_cast<std::size_t>(chars.Below(static_cast<int>(size / 2) + 1))) %
               (size + 1);
    };
    for (int n = 0; n < edits.moved && right.size() > 3; ++n) {
        const auto from = static_cast<std::size_t>(chars.Below(static_cast<int>(right.size())));
        std::string moved = right[from];
        right.erase(right.begin() + static_cast<std::ptrdiff_t>(from));
        right.insert(right.begin() + static_cast<std::ptrdiff_t>(std::min(far(from), right.size())),
                     std::move(moved));
    }
    for (int n = 0; n < edits.copied && !right.empty(); ++n) {
        const auto from = static_cast<std::size_t>(chars.Below(static_cast<int>(right.size())));
        const std::string copy = right[from];
        right.insert(right.begin() + static_cast<std::ptrdiff_t>(std::min(far(from), right.size())), copy);
    }
    for (int n = 0; n < edits.merged && right.size() > 2; ++n) {
        const auto at = static_cast<std::size_t>(chars.Below(static_cast<int>(right.size()) - 1));
        right[at].resize(right[at].size() - kFullStop.size()); // no full stop: one sentence
        right[at] += right[at + 1];
        right.erase(right.begin() + static_cast<std::ptrdiff_t>(at) + 1);
    }
    Case c{std::move(name), "", ""};
    for (const std::string &sentence : left)
        c.left += sentence;
    for (const std::string &sentence : right)
        c.right += sentence;
    return c;
}

Case ShortSentences(bool moved)
{
    Edits edits;
    edits.changeEvery = 100;
    edits.moved = moved ? 1000 : 0;
    return Document(moved ? "100k short sentences, 1 % moved far" : "100k short sentences, 1 % changed",
                    100000, 20, 40, 0, edits, kSeed + 7 + (moved ? 1 : 0));
}

Case ManualPage()
{
    // Long technical text with recurring short sentences, edited: changed, moved, copied,
    // merged and split sentences, some added and dropped.
    Edits edits;
    edits.changeEvery = 8;
    edits.addShare = 0.02;
    edits.dropShare = 0.03;
    edits.moved = 12;
    edits.copied = 8;
    edits.merged = 10;
    return Document("manual-like 2.7k sentences, moved+copied", 2690, 60, 260, 0.12, edits,
                    kSeed + 9);
}

Case LanguagePack()
{
    // Two releases of a collection of short interface texts: many recurring, a third more in the
    // newer one, some moved.
    Edits edits;
    edits.changeEvery = 6;
    edits.addShare = 0.33;
    edits.dropShare = 0.04;
    edits.moved = 40;
    edits.copied = 20;
    return Document("language-pack-like 2.1k / 2.8k sentences", 2140, 60, 400, 0.25, edits,
                    kSeed + 10);
}

Case TenDocuments()
{
    // Every 10th sentence edited, a few moved or copied far ahead.
    Edits edits;
    edits.changeEvery = 10;
    edits.moved = 6;
    edits.copied = 4;
    return Document("10k sentences, every 10th edited, moved", 9986, 40, 200, 0.05, edits,
                    kSeed + 11);
}

Case ShuffledCopies()
{
    // 50,000 copies of three sentences in random order: the most anchors would cost too much.
    Chars chars(kSeed + 12);
    const std::string three[] = {"\x82\xa0\x82\xa2\x81\x42", "\x82\xa4\x82\xa6\x81\x42",
                                 "\x82\xa8\x82\xa9\x81\x42"}; // あい。 うえ。 おか。
    Case c{"50k shuffled copies of 3 sentences", "", ""};
    for (int n = 0; n < 50000; ++n) {
        c.left += three[chars.Below(3)];
        c.right += three[chars.Below(3)];
    }
    return c;
}

Case EveryFifthChanged(int repeats)
{
    // あいうえお against あいうえか, repeated: one line that differs every fifth character.
    Case c{std::to_string(repeats * 10 / 1000) + " KB line, every 5th char changed", "", ""};
    for (int n = 0; n < repeats; ++n) {
        c.left += "\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8";
        c.right += "\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa9";
    }
    return c;
}

Case RealPair()
{
    Chars chars(kSeed);
    Vocabulary words(chars);
    Case c{"real pair ~500 KB, 2.5k sentences", "", ""};
    for (int n = 0; n < 2500; ++n) {
        const std::string s = words.Sentence(100, 300);
        switch (chars.Below(30)) {
        case 0:
            c.left += s; // deleted
            break;
        case 1:
            c.left += s;
            c.right += s + words.Sentence(100, 300); // added
            break;
        default:
            c.left += s;
            c.right += chars.Below(3) == 0 ? words.Edited(s) : s;
        }
    }
    return c;
}

Case LongSentence(int characters)
{
    Chars chars(kSeed + static_cast<std::uint32_t>(characters));
    Case c{std::to_string(characters) + "-char sentence, edit every ~500", "", ""};
    for (int n = 0; n < characters; ++n)
        c.left += chars.Any();
    c.right = c.left;
    for (std::size_t at = 2 * static_cast<std::size_t>(250 + chars.Below(500)); at < c.right.size();
         at += 2 * static_cast<std::size_t>(250 + chars.Below(500))) {
        const std::string other = chars.Any();
        c.right.replace(at, 2, other);
    }
    return c;
}

Case Repetitive()
{
    Case c{"'ー' x 8000 against it plus one", "", ""};
    for (int n = 0; n < 8000; ++n)
        c.left += "\x81\x5B";
    c.right = c.left + "\x83\x41";
    return c;
}

/// One line of random kana and kanji, without a full stop: one sentence of megabytes, and a copy
/// with 10 characters changed.
Case MegabyteLine(std::string name, std::size_t bytes, std::uint32_t seed)
{
    Chars chars(seed);
    Case c{std::move(name), "", ""};
    c.left.reserve(bytes);
    while (c.left.size() < bytes)
        c.left += chars.Any();
    c.right = c.left;
    for (int n = 1; n <= 10; ++n)
        c.right.replace(c.right.size() / 11 * static_cast<std::size_t>(n) / 2 * 2, 2, chars.Any());
    return c;
}

Case FiveMegabyteLine()
{
    return MegabyteLine("5 MB line, 10 characters changed", 5u << 20, kSeed + 5);
}

Case OneLineFile()
{
    // Memory per input byte of one long sentence: 21 MB of input in all.
    return MegabyteLine("21 MB one-line input, 10 chars changed", 21u << 19, kSeed + 13);
}

Case WideGap()
{
    Chars chars(kSeed + 3);
    Vocabulary words(chars);
    Case c{"gap 3000 x 3000 different sentences", "", ""};
    const std::string shared = words.Sentence(100, 200);
    c.left = c.right = shared;
    for (int n = 0; n < 3000; ++n) {
        c.left += words.Sentence(100, 300);
        c.right += words.Sentence(100, 300);
    }
    c.left += shared;
    c.right += shared;
    return c;
}

Case TiedGap()
{
    Chars chars(kSeed + 4);
    Case c{"gap 800 x 800, every pair tied", "", ""};
    // The same words on each side in another order: every pair scores alike.
    for (int n = 0; n < 800; ++n) {
        c.left += "\x82\xa0\x82\xa2\x82\xa4" + std::string(kFullStop);  // あいう。
        c.right += "\x82\xa9\x82\xab\x82\xad" + std::string(kFullStop); // かきく。
    }
    return c;
}

Case Large()
{
    Chars chars(kSeed + 6);
    Vocabulary words(chars);
    Case c{"200 MB against 200 MB", "", ""};
    c.left.reserve(200u << 20);
    c.right.reserve(200u << 20);
    while (c.left.size() < (200u << 20)) {
        const std::string s = words.Sentence(100, 300);
        c.left += s;
        c.right += chars.Below(20) == 0 ? words.Edited(s) : s;
    }
    return c;
}

double PeakMegabytes(const rusage &usage)
{
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

/// A hash of every record, to compare results without keeping two lists.
std::uint64_t Digest(const kivo::ResultList &results)
{
    std::uint64_t h = 1469598103934665603ULL;
    const auto mix = [&](std::string_view bytes) {
        for (const char ch : bytes)
            h = (h ^ static_cast<unsigned char>(ch)) * 1099511628211ULL;
        h = (h ^ 0xFF) * 1099511628211ULL;
    };
    for (const kivo::ResultPair &r : results) {
        mix(std::to_string(r.leftIndex) + ',' + std::to_string(r.rightIndex) + ',' +
            std::to_string(static_cast<int>(r.status)) + ',' + std::to_string(r.sentenceEnd));
        mix(r.leftText);
        mix(r.rightText);
    }
    return h;
}

double ThreadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct EngineRun {
    double seconds = 0;
    double cpuSeconds = 0; // processor time of the same
    double longestStepMs = 0;
    double longestStepCpuMs = 0; // the same in this thread's processor time, which another
                                 // program on the machine does not stretch
    long long steps = 0;
    int longestState = 0; // the state the longest step ran in
    std::uint64_t digest = 0;
    long long same = 0;      // Same sentence pairs
    bool notMaximal = false; // anchoring kept the first-fit anchors instead of the most
    int pairsByEdits = 0;    // changed pairs finished by the edit script
};

/// Runs the engine on the case. With timeSteps every step is timed, which costs two clock
/// readings a step (a system call for the thread's processor time): the totals then include
/// them.
EngineRun RunEngine(Case c, const kivo::EngineThresholds &thresholds, bool firstFit = false,
                    bool timeSteps = false)
{
    kivo::CompareOptions options;
    kivo::ProgressModel progress;
    kivo::Comparison comparison(options, progress);
    kivo::EngineTuning tuning;
    tuning.thresholds = thresholds;
    tuning.firstFitAnchors = firstFit;
    comparison.SetTuning(tuning);
    EngineRun run;
    const auto start = Clock::now();
    const double cpuStart = ThreadCpuMs();
    // Handed over as the application hands over the texts it read: the engine's memory only.
    comparison.Reset(std::move(c.left), std::move(c.right));
    comparison.Start();
    while (!timeSteps && comparison.State() != EngineState::Finished) {
        comparison.Step();
        ++run.steps;
    }
    while (timeSteps && comparison.State() != EngineState::Finished) {
        const auto state = static_cast<int>(comparison.State());
        const double cpuBefore = ThreadCpuMs();
        const auto before = Clock::now();
        comparison.Step();
        const std::chrono::duration<double, std::milli> step = Clock::now() - before;
        const double cpu = ThreadCpuMs() - cpuBefore;
        run.longestStepCpuMs = std::max(run.longestStepCpuMs, cpu);
        if (g_listLongSteps && cpu > kLongStepMs)
            std::fprintf(stderr, "  step %lld in state %d: %.1f ms\n", run.steps, state, cpu);
        if (step.count() > run.longestStepMs) {
            run.longestStepMs = step.count();
            run.longestState = state;
        }
        ++run.steps;
    }
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.cpuSeconds = (ThreadCpuMs() - cpuStart) / 1000;
    run.digest = Digest(comparison.Results());
    for (const kivo::ResultPair &r : comparison.Results())
        run.same += r.status == kivo::TextStatus::Same && r.sentenceEnd == 1;
    run.notMaximal = comparison.AnchorsNotMaximal();
    run.pairsByEdits = comparison.PairsMatchedByEdits();
    return run;
}

void Write(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

/// Runs fn in a child process; returns the child's peak memory in MB, or -1 when it failed.
double InChild(const std::function<void()> &fn)
{
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        fn();
        std::fflush(stdout);
        std::_Exit(0);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status))
        return -1;
    return PeakMegabytes(usage);
}

std::string Read(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void RunCase(Case c, bool check, bool firstFit, const std::string &folder)
{
    const std::string left = folder + "/left";
    const std::string right = folder + "/right";
    Write(left, c.left);
    Write(right, c.right);
    const double inputMb = static_cast<double>(c.left.size() + c.right.size()) / (1 << 20);
    // Freed before the children start, so that neither counts the parent's copy as its own.
    std::string().swap(c.left);
    std::string().swap(c.right);

    // The engine in a child, its figures through a pipe-free file.
    const std::string figures = folder + "/figures";
    const auto read = [&] { return Case{c.name, Read(left), Read(right)}; };
    const double kivoPeak = InChild([&] {
        // Totals from a run without step timing; the longest step from a timed one.
        EngineRun run = RunEngine(read(), {});
        const EngineRun timed = RunEngine(read(), {}, false, true);
        run.longestStepMs = timed.longestStepMs;
        run.longestStepCpuMs = timed.longestStepCpuMs;
        run.longestState = timed.longestState;
        std::string verdict = "-";
        if (check) {
            constexpr auto kMost = std::numeric_limits<std::int64_t>::max();
            verdict = RunEngine(read(), {kMost, kMost}).digest == run.digest ? "same" : "DIFFERENT";
        }
        // Same sentence pairs: with the most anchors (when exact, as many as possible), and as
        // first-fit anchoring makes them.
        const long long firstFitSame = firstFit ? RunEngine(read(), {}, true).same : -1;
        std::string same = std::to_string(run.same) + (run.notMaximal ? "~" : "") + " / " +
                           (firstFit ? std::to_string(firstFitSame) : std::string("-"));
        if (run.pairsByEdits > 0)
            same += " E" + std::to_string(run.pairsByEdits);
        std::fprintf(stderr, "digest %s %016llx\n", c.name.c_str(),
                     static_cast<unsigned long long>(run.digest));
        std::FILE *out = std::fopen(figures.c_str(), "w");
        std::fprintf(out, "%.3f %.3f %.2f %.2f %d %lld %s\n%s\n", run.seconds, run.cpuSeconds,
                     run.longestStepMs, run.longestStepCpuMs, run.longestState, run.steps,
                     verdict.c_str(), same.c_str());
        std::fclose(out);
    });
    double seconds = 0, cpuSeconds = 0, longest = 0, longestCpu = 0;
    int state = 0;
    long long steps = 0;
    char verdict[16] = "?";
    char same[64] = "?";
    if (std::FILE *in = std::fopen(figures.c_str(), "r")) {
        if (std::fscanf(in, "%lf %lf %lf %lf %d %lld %15s ", &seconds, &cpuSeconds, &longest,
                        &longestCpu, &state, &steps, verdict) != 7 ||
            !std::fgets(same, sizeof same, in))
            verdict[0] = '?';
        same[std::strcspn(same, "\n")] = '\0';
        std::fclose(in);
    }

    const auto gitStart = Clock::now();
    const double gitPeak = !g_runGit ? 0 : InChild([&] {
        if (!std::freopen("/dev/null", "w", stdout))
            std::_Exit(1);
        execlp("git", "git", "diff", "--no-index", "--word-diff=porcelain", "--word-diff-regex=.",
               left.c_str(), right.c_str(), static_cast<char *>(nullptr));
        std::_Exit(1);
    });
    const double gitSeconds =
        g_runGit ? std::chrono::duration<double>(Clock::now() - gitStart).count() : 0;
    std::printf("| %-40s | %8.1f | %8.3f | %8.3f | %8.2f | %8.2f | %5d | %8lld | %8.0f | %5.1f | "
                "%8.3f | %8.0f | %-9s | %-19s |\n",
                c.name.c_str(), inputMb, seconds, cpuSeconds, longest, longestCpu, state, steps,
                kivoPeak, kivoPeak / inputMb, gitSeconds, gitPeak, verdict, same);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    bool check = false;
    bool large = false;
    std::vector<std::string> only;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--check")
            check = true;
        else if (arg == "--large")
            large = true;
        else if (arg == "--steps")
            g_listLongSteps = true;
        else if (arg == "--no-git")
            g_runGit = false;
        else if (arg == "longlines") // the long-sentence cases, against git's word diff
            only.insert(only.end(), {"5mb", "every5th5mb", "every5th", "long20k", "long40k",
                                     "long80k", "21mb"});
        else
            only.emplace_back(arg);
    }
    // Cases whose Same pairs are also counted under first-fit anchoring.
    const std::vector<std::string> kAnchoringCases = {"short", "shortmoved", "manual",
                                                      "langpack", "tendocs", "shuffled", "real"};
    char folderTemplate[] = "/tmp/kivo-bench-XXXXXX";
    const char *folder = mkdtemp(folderTemplate);
    if (!folder) {
        std::perror("kivo_engine_bench: mkdtemp");
        return 1;
    }

    const std::vector<std::pair<std::string, std::function<Case()>>> cases = {
        {"short", [] { return ShortSentences(false); }},
        {"shortmoved", [] { return ShortSentences(true); }},
        {"manual", ManualPage},
        {"langpack", LanguagePack},
        {"tendocs", TenDocuments},
        {"shuffled", ShuffledCopies},
        {"every5th", [] { return EveryFifthChanged(35000); }},
        {"every5th5mb", [] { return EveryFifthChanged(350000); }},
        {"real", RealPair},
        {"long20k", [] { return LongSentence(20000); }},
        {"long40k", [] { return LongSentence(40000); }},
        {"long80k", [] { return LongSentence(80000); }},
        {"repetitive", Repetitive},
        {"5mb", FiveMegabyteLine},
        {"21mb", OneLineFile},
        {"gap", WideGap},
        {"ties", TiedGap},
        {"large", Large},
    };
    std::printf("| %-40s | %8s | %8s | %8s | %8s | %8s | %5s | %8s | %8s | %5s | %8s | %8s | "
                "%-9s | %-19s |\n",
                "case", "input MB", "kivo s", "kivo cpu", "step ms", "step cpu", "state", "steps",
                "peak MB", "x in", "git s", "git MB", "direct", "same / first-fit");
    std::printf("|%s|\n", std::string(192, '-').c_str());
    for (const auto &[key, make] : cases) {
        const bool wanted = only.empty() ? (key != "large" || large)
                                         : std::find(only.begin(), only.end(), key) != only.end();
        if (wanted)
            RunCase(make(), check && key != "5mb" && key != "21mb" && key != "large",
                    std::find(kAnchoringCases.begin(), kAnchoringCases.end(), key) !=
                        kAnchoringCases.end(),
                    folder);
    }
    std::system(("rm -rf " + std::string(folder)).c_str());
    return 0;
}
