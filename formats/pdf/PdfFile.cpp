#include "PdfFile.h"

#include "PdfPages.h"
#include "PdfWire.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <new>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kivo::pdf {

namespace {

constexpr std::string_view kSignature = "%PDF-";
/// What the child may map beyond what it inherits: poppler holds a page's objects and fonts.
constexpr rlim_t kChildMemory = rlim_t{2} << 30;
/// The most the child may send: the text and the lines' positions.
constexpr std::size_t kMostWireBytes = 2 * kMostFileBytes;
constexpr std::size_t kReadChunk = 1 << 16;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

std::optional<std::string> Finish(const std::vector<Page> &pages, const ReadOptions &options,
                                  FileReason &why)
{
    std::string text = JoinPages(pages, options.keepRunningHeads);
    if (text.find_first_not_of(" \n") == std::string::npos) {
        why = FileReason::PdfWithoutText;
        return std::nullopt;
    }
    return text;
}

/// The virtual memory the process maps now, in bytes; 0 when it cannot be told.
rlim_t MappedBytes()
{
    std::FILE *statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return 0;
    unsigned long pages = 0;
    const bool read = std::fscanf(statm, "%lu", &pages) == 1;
    std::fclose(statm);
    return read ? static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) : 0;
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

/// The child: reads the pages and sends each down fd as it is done, then the outcome.
[[noreturn]] void RunChild(std::string_view bytes, int fd, pid_t parent)
{
    // Ctrl+C and termination end the child at once, whatever the parent does with them; its
    // error output, which poppler may still write to, goes nowhere.
    // A child whose parent is gone has no one to read for: it ends with the parent.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent)
        ::_exit(0);
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGPIPE, SIG_DFL);
    const int null = ::open("/dev/null", O_WRONLY);
    if (null >= 0)
        ::dup2(null, STDERR_FILENO);
    if (!kSanitized) {
        const rlimit memory{MappedBytes() + kChildMemory, MappedBytes() + kChildMemory};
        ::setrlimit(RLIMIT_AS, &memory);
    }
    const rlimit cpu{kMostSecondsPerFile, kMostSecondsPerFile + 1};
    ::setrlimit(RLIMIT_CPU, &cpu);

    FileReason why = FileReason::Other;
    bool read = false;
    try {
        read = ReadPages(
            bytes, [fd](Page &&page) { return WriteAll(fd, wire::PageRecord(page)); }, why);
    } catch (const std::bad_alloc &) {
        why = FileReason::OutOfMemory;
    } catch (...) {
        why = FileReason::DamagedPdf;
    }
    WriteAll(fd, wire::EndRecord(read, why));
    ::_exit(0);
}

/// Why a child that sent no outcome ended.
FileReason ReasonOfEnd(int status, bool killed)
{
    if (killed || (WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU))
        return FileReason::PdfTooComplex;
    return FileReason::DamagedPdf;
}

} // namespace

bool HasSignature(std::string_view bytes)
{
    return bytes.starts_with(kSignature);
}

std::optional<std::string> ReadHere(std::string_view bytes, const ReadOptions &options,
                                    FileReason &why)
{
    try {
        std::vector<Page> pages;
        if (!ReadPages(
                bytes,
                [&](Page &&page) {
                    pages.push_back(std::move(page));
                    return true;
                },
                why))
            return std::nullopt;
        return Finish(pages, options, why);
    } catch (const std::bad_alloc &) {
        why = FileReason::OutOfMemory;
        return std::nullopt;
    }
}

std::optional<std::string> Read(std::string_view bytes, const ReadOptions &options, FileReason &why)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        why = ReasonOfErrno(errno);
        return std::nullopt;
    }
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child < 0) {
        why = ReasonOfErrno(errno);
        ::close(ends[0]);
        ::close(ends[1]);
        return std::nullopt;
    }
    if (child == 0) {
        ::close(ends[0]);
        RunChild(bytes, ends[1], parent);
    }
    ::close(ends[1]);

    using Clock = std::chrono::steady_clock;
    const auto fileDeadline = Clock::now() + std::chrono::seconds(kMostSecondsPerFile);
    const auto step = std::chrono::seconds(options.secondsPerPage);
    auto stepDeadline = Clock::now() + step;
    std::string received;
    bool killed = false;
    bool stopped = false;
    bool overflow = false;
    try {
        std::string chunk(kReadChunk, '\0');
        for (;;) {
            const auto now = Clock::now();
            const auto deadline = std::min(fileDeadline, stepDeadline);
            if (now >= deadline) {
                killed = true;
                break;
            }
            if (options.stopRequested && options.stopRequested()) {
                stopped = true;
                break;
            }
            pollfd wait{ends[0], POLLIN, 0};
            const auto left = std::min<long long>(
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count() + 1,
                kStopPollMilliseconds);
            const int ready = ::poll(&wait, 1, static_cast<int>(left));
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready == 0)
                continue; // the deadlines and the stop request are checked above
            const ssize_t n = ::read(ends[0], chunk.data(), chunk.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            if (received.size() + static_cast<std::size_t>(n) > kMostWireBytes) {
                overflow = true;
                break;
            }
            received.append(chunk.data(), static_cast<std::size_t>(n));
            stepDeadline = Clock::now() + step;
        }
    } catch (const std::bad_alloc &) {
        overflow = true;
    }
    if (killed || stopped || overflow)
        ::kill(child, SIGKILL);
    ::close(ends[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (stopped || overflow) {
        why = stopped ? FileReason::Stopped : FileReason::PdfTooComplex;
        return std::nullopt;
    }
    try {
        std::vector<Page> pages;
        const std::optional<wire::Outcome> outcome = wire::Parse(received, pages);
        if (!outcome || killed) {
            why = ReasonOfEnd(status, killed);
            return std::nullopt;
        }
        if (!outcome->read) {
            why = outcome->why;
            return std::nullopt;
        }
        received = {};
        return Finish(pages, options, why);
    } catch (const std::bad_alloc &) {
        why = FileReason::OutOfMemory;
        return std::nullopt;
    }
}

} // namespace kivo::pdf
