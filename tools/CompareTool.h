#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace kivo::cli {

/// Exit statuses of kivo-compare.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 2; ///< bad arguments, unreadable or non-text files

/// What the program's surroundings tell it about standard output.
struct Terminal {
    bool stdoutIsTerminal = false;
    int columns = 0; ///< the terminal's width; 0 when unknown
};

/// Where kivo-compare's output goes, a piece at a time; false when it cannot be written (errno
/// then says why).
using OutputSink = std::function<bool(std::string_view)>;

/// Runs kivo-compare on the arguments after the program name: reads the two files, compares
/// them with the engine and hands the output to write as it is made (records as soon as each is
/// final; the other formats once the comparison is done). On failure error holds one line
/// (without the program name); output already written stays written. On success error holds
/// the notes on what was not done exactly, one line each ending in a line break, or nothing.
/// Returns the exit status.
int RunCompare(std::span<const std::string_view> args, const Terminal &terminal,
               const OutputSink &write, std::string &error);

/// Runs kivo-compare on the arguments after the program name: reads the two files, compares
/// them with the engine and formats the result. On success the whole output is in out and error
/// holds the notes, if any; on failure out is empty and error holds one line (without the
/// program name). Returns the exit status.
int RunCompare(std::span<const std::string_view> args, const Terminal &terminal, std::string &out,
               std::string &error);

} // namespace kivo::cli
