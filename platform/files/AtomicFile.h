#pragma once

#include "AtomicWrite.h"
#include "FileReason.h"

#include <QString>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kivo {

/// Why a file could not be read or written: an error of the operating system, with its number
/// and its own message ("Permission denied", "No space left on device"), or, with code 0, a fault
/// in the file's contents named by reason.
struct FileError {
    int code = 0;
    QString message;
    FileReason reason = FileReason::Other; ///< used when code is 0
    std::size_t offset = 0;                ///< where the contents fail (NUL, encoding)

    /// The reason the user is told: the category of code, else reason.
    FileReason Reason() const { return code != 0 ? ReasonOfErrno(code) : reason; }
};

/// Replaces the file at path with bytes so that the file is never seen half written (see
/// AtomicWriter: a new file beside it, flushed, renamed over it); on failure the old file stays
/// as it was, nothing of the new one is left behind, and error receives the operating system's
/// error.
bool SaveFileAtomically(const QString &path, std::string_view bytes, FileError *error = nullptr,
                        NewFile newFile = NewFile::Unnamed);

/// The whole contents of a regular file; nullopt with the operating system's error when it
/// cannot be opened or read (a folder, a missing file), EFBIG when it holds more than
/// kMostFileBytes. A FIFO, a socket or a device is refused before it is opened, with code 0 and
/// the message that names the file and says what it is; nothing here ever waits for a writer.
std::optional<std::string> ReadFileBytes(const QString &path, FileError *error = nullptr);

} // namespace kivo
