#pragma once

#include "AtomicWrite.h"

#include <string>
#include <string_view>

namespace kivo::cli {

/// The file named with -o, replaced atomically (AtomicWriter): a failed or cut-short run leaves
/// the old file as it was; anything that is not a regular file (a device, a FIFO) is written in
/// place.
class OutputFile {
public:
    /// Opens path for writing. binary: the output must not reach a terminal, which is refused.
    /// False with a one-line message in error.
    bool Open(const std::string &path, bool binary, std::string &error);
    /// Appends bytes; false with errno set when they cannot be written.
    bool Write(std::string_view bytes);
    /// Makes the output the file: flushes it to the disk and puts it in place. False with a
    /// one-line message in error; the old file is then unchanged.
    bool Commit(std::string &error);

private:
    std::string m_path;
    AtomicWriter m_writer;
};

} // namespace kivo::cli
