#include "platform/files/AtomicFile.h"

#include "TextFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>

namespace kivo {

namespace {

bool Fail(FileError *error, int code)
{
    if (error) {
        error->code = code;
        error->message = QString::fromLocal8Bit(std::strerror(code));
    }
    return false;
}

/// Why a file of this kind is refused.
FileReason NotRegularReason(FileKind kind)
{
    switch (kind) {
    case FileKind::Fifo:
        return FileReason::NamedPipe;
    case FileKind::Socket:
        return FileReason::Socket;
    case FileKind::Regular:
    case FileKind::Directory:
    case FileKind::Device:
        break;
    }
    return FileReason::Device;
}

} // namespace

bool SaveFileAtomically(const QString &path, std::string_view bytes, FileError *error,
                        NewFile newFile)
{
    AtomicWriter writer;
    if (!writer.Open(QFile::encodeName(path).toStdString(), newFile) || !writer.Write(bytes) ||
        !writer.Commit())
        return Fail(error, errno);
    return true;
}

std::optional<std::string> ReadFileBytes(const QString &path, FileError *error)
{
    FileReadError failure;
    std::optional<std::string> bytes = ReadFileBounded(QFile::encodeName(path).toStdString(),
                                                       ReadableFiles::RegularOnly, &failure);
    if (bytes || !error)
        return bytes;
    if (failure.code != 0) {
        Fail(error, failure.code);
        return std::nullopt;
    }
    *error = FileError{};
    error->reason = NotRegularReason(failure.kind);
    return std::nullopt;
}

} // namespace kivo
