#pragma once

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

/// How a save makes its new file (see SaveFileAtomically).
enum class NewFile { Unnamed, Named };

/// Replaces the file at path with bytes so that the file is never seen half written: the bytes
/// go to a new file beside it, are flushed to the disk, and that file is renamed over the old
/// one. On failure the old file stays as it was, nothing of the new one is left behind, and
/// error receives the operating system's error.
///
/// A file that is replaced keeps its permissions; a new one gets the usual ones (0666 less the
/// umask). A symbolic link stays a link: the file it points to is replaced. A file the user may
/// not write is not replaced, although its folder would allow it (EACCES). A path that is not a
/// regular file, such as a device, is written in place, since replacing it would remove it.
///
/// With NewFile::Unnamed the new file is made without a name where the file system allows it,
/// and named only to take the old one's place, so that a process killed while writing leaves
/// nothing. Elsewhere, and with NewFile::Named, it is a hidden file beside the old one
/// (".NAME.kivo-PID-NUMBER"); one that a killed process left is removed by the next save of the
/// same file.
bool SaveFileAtomically(const QString &path, std::string_view bytes, FileError *error = nullptr,
                        NewFile newFile = NewFile::Unnamed);

/// The whole contents of a regular file; nullopt with the operating system's error when it
/// cannot be opened or read (a folder, a missing file), EFBIG when it holds more than
/// kMostFileBytes. A FIFO, a socket or a device is refused before it is opened, with code 0 and
/// the message that names the file and says what it is; nothing here ever waits for a writer.
std::optional<std::string> ReadFileBytes(const QString &path, FileError *error = nullptr);

} // namespace kivo
