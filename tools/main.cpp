// kivo-compare: compares two text files sentence by sentence with the comparison engine and
// prints the result as JSON Lines records, a terminal view or an HTML page.

#include "CompareTool.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

kivo::cli::Terminal QueryTerminal()
{
    kivo::cli::Terminal terminal;
    terminal.stdoutIsTerminal = isatty(STDOUT_FILENO) == 1;
    winsize size{};
    if (terminal.stdoutIsTerminal && ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0)
        terminal.columns = size.ws_col;
    return terminal;
}

} // namespace

int main(int argc, char **argv)
{
    const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::string error;
    const int status = kivo::cli::RunCompare(
        args, QueryTerminal(),
        [](std::string_view bytes) {
            return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
        },
        error);
    if (status == kivo::cli::kExitSuccess && std::fflush(stdout) != 0) {
        std::fprintf(stderr, "kivo-compare: cannot write the output: %s\n", std::strerror(errno));
        return kivo::cli::kExitFailure;
    }
    if (status != kivo::cli::kExitSuccess) {
        std::fprintf(stderr, "kivo-compare: %s\n", error.c_str());
        return status;
    }
    // Notes on what was not done exactly: one line each.
    for (std::size_t start = 0; start < error.size();) {
        const std::size_t end = error.find('\n', start);
        const std::size_t stop = end == std::string::npos ? error.size() : end;
        std::fprintf(stderr, "kivo-compare: %.*s\n", static_cast<int>(stop - start),
                     error.data() + start);
        start = stop + 1;
    }
    return status;
}
