#pragma once

#include <string>
#include <string_view>

namespace kivo::cli {

/// The file named with -o. A regular file (or a name not yet taken) is written as a new hidden
/// file beside it and renamed over it once the output is complete, so that a failed or cut-short
/// run leaves the old file as it was; anything else (a device, a FIFO) is written in place.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    /// Opens path for writing. binary: the output must not reach a terminal, which is refused.
    /// False with a one-line message in error.
    bool Open(const std::string &path, bool binary, std::string &error);
    /// Appends bytes; false with errno set when they cannot be written.
    bool Write(std::string_view bytes);
    /// Makes the output the file: flushes it to the disk and renames it into place. False with a
    /// one-line message in error; the old file is then unchanged.
    bool Commit(std::string &error);

private:
    std::string m_path;
    std::string m_temporary; // empty when writing in place
    int m_fd = -1;
};

} // namespace kivo::cli
