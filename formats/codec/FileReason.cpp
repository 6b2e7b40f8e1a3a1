#include "FileReason.h"

#include <cerrno>
#include <cstring>
#include <string>

namespace kivo {

FileReason ReasonOfErrno(int code)
{
    switch (code) {
    case ENOENT:
    case ENOTDIR: // a folder on the path is a file: the file is not there either
        return FileReason::NotFound;
    case EACCES:
    case EPERM:
        return FileReason::NoPermission;
    case EISDIR:
        return FileReason::Folder;
    case EROFS:
        return FileReason::ReadOnlyFileSystem;
    case ENOSPC:
    case EDQUOT:
        return FileReason::DiskFull;
    case EFBIG:
        return FileReason::TooLarge;
    case ENOMEM:
        return FileReason::OutOfMemory;
    default:
        return FileReason::Other;
    }
}

std::string ReasonInEnglish(FileReason reason, int code)
{
    switch (reason) {
    case FileReason::NotFound:
        return "not found";
    case FileReason::NoPermission:
        return "permission denied";
    case FileReason::Folder:
        return "a folder, not a file";
    case FileReason::ReadOnlyFileSystem:
        return "read-only file system";
    case FileReason::DiskFull:
        return "disk full";
    case FileReason::NulCharacter:
        return "not text (NUL character)";
    case FileReason::NotInAnyEncoding:
        return "not UTF-8, UTF-16 or code page 932 text";
    case FileReason::TooLarge:
        return "too large";
    case FileReason::OutOfMemory:
        return "not enough memory";
    case FileReason::DamagedRichText:
        return "damaged rich text";
    case FileReason::NamedPipe:
        return "a named pipe, not a regular file";
    case FileReason::Socket:
        return "a socket, not a regular file";
    case FileReason::Device:
        return "a device, not a regular file";
    case FileReason::DamagedArchive:
        return "damaged or truncated zip archive";
    case FileReason::ArchiveBomb:
        return "inflates too far (more than " + std::to_string(kMostInflatedBytes >> 20) +
               " MiB or " + std::to_string(kMostInflateRatio) + " times its packed size)";
    case FileReason::DocumentType:
        return "XML with a document type declaration, which is not read";
    case FileReason::MissingPart:
        return "a zip archive that is neither a .docx nor an .odt document";
    case FileReason::DamagedXml:
        return "a document whose XML is damaged";
    case FileReason::BrokenUtf8:
        return "UTF-8 text that is cut short or damaged";
    case FileReason::BrokenUtf16:
        return "UTF-16 text that is cut short or damaged";
    case FileReason::ExpandsTooFar:
        return "a document that expands to far more text than the file holds (more than " +
               std::to_string(kMostProducedRatio) + " times its size)";
    case FileReason::EncryptedArchive:
        return "an encrypted document, which needs a password";
    case FileReason::UnknownCompression:
        return "a zip archive packed by a compression method that is not read";
    case FileReason::EncryptedPdf:
        return "an encrypted PDF, which needs a password";
    case FileReason::PdfWithoutText:
        return "a PDF without text (pages of images only)";
    case FileReason::DamagedPdf:
        return "a damaged or truncated PDF";
    case FileReason::PdfTooComplex:
        return "a PDF whose pages take too long or hold too much to read";
    case FileReason::Stopped:
        return "stopped";
    case FileReason::Other:
        break;
    }
    return code != 0 ? std::strerror(code) : "unexpected error";
}

} // namespace kivo
