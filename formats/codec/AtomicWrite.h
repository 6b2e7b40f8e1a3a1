#pragma once

#include "Descriptor.h"

#include <sys/types.h>

#include <string>
#include <string_view>

namespace kivo {

/// How an atomic save makes its new file (see AtomicWriter).
enum class NewFile { Unnamed, Named };

/// Replaces the file at a path so that it is never seen half written: the bytes go to a new file
/// beside it, are flushed to the disk, and that file is renamed over the old one on Commit. On
/// failure, and when the writer goes without a commit, the old file stays as it was and nothing
/// of the new one is left behind.
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
class AtomicWriter {
public:
    AtomicWriter() = default;
    ~AtomicWriter();
    AtomicWriter(const AtomicWriter &) = delete;
    AtomicWriter &operator=(const AtomicWriter &) = delete;

    /// Gets ready to write path; false with errno set.
    bool Open(const std::string &path, NewFile newFile = NewFile::Unnamed);
    /// Appends bytes; false with errno set.
    bool Write(std::string_view bytes);
    /// Flushes the bytes to the disk and puts the new file in place; false with errno set.
    bool Commit();

    /// Whether the path is no regular file and is written in place (known once Open has
    /// looked at it, whether it succeeded or not).
    bool InPlace() const { return m_inPlace; }
    /// The descriptor written to; negative before Open and after Commit.
    int Fd() const { return m_fd.Get(); }

private:
    std::string m_target;
    /// The new file's name; empty while it has none (unnamed) or when writing in place.
    std::string m_tempPath;
    Descriptor m_fd{-1};
    bool m_inPlace = false;
    bool m_unnamed = false;
};

} // namespace kivo
