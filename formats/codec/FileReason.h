#pragma once

#include <cstdint>
#include <string>

namespace kivo {

/// The largest file read, in bytes. A compared text is held several times over (sentences, keys,
/// records), so a larger one would need more memory than a desktop has.
inline constexpr std::uintmax_t kMostFileBytes = std::uintmax_t{256} << 20;

/// The most XML a word-processor document (a zip archive) may inflate to, all parts together,
/// and the largest ratio of inflated to packed bytes of a part: beyond either the archive is
/// taken for a bomb meant to exhaust memory, not for a document.
inline constexpr std::uintmax_t kMostInflatedBytes = kMostFileBytes;
inline constexpr std::uintmax_t kMostInflateRatio = 100;

/// What a reader may produce (text and formatting together) from a file of fileBytes: a document
/// is mostly its own text, so a small file whose elements stand for long runs of text (repeated
/// spaces, tabs, breaks, nested groups) is refused instead of filling the memory. At most
/// kMostProducedRatio times the file, never less than kLeastProducedLimit, never more than
/// kMostFileBytes.
inline constexpr std::uintmax_t kMostProducedRatio = 32;
inline constexpr std::uintmax_t kLeastProducedLimit = std::uintmax_t{4} << 20;
constexpr std::uintmax_t MostProducedBytes(std::uintmax_t fileBytes)
{
    const std::uintmax_t scaled =
        fileBytes > kMostFileBytes ? kMostFileBytes : fileBytes * kMostProducedRatio;
    const std::uintmax_t limit = scaled < kLeastProducedLimit ? kLeastProducedLimit : scaled;
    return limit < kMostFileBytes ? limit : kMostFileBytes;
}

/// Why a file could not be read or written, in the categories the user is told about. Both the
/// program's messages and the command-line tool's name one of these.
enum class FileReason {
    Other,              ///< an error of the system without a category of its own
    NotFound,           ///< the file, or a folder on its path, does not exist
    NoPermission,       ///< the user may not read or write it
    Folder,             ///< the path names a folder
    ReadOnlyFileSystem, ///< the file system cannot be written
    DiskFull,           ///< no space left, or the user's quota is used up
    NulCharacter,       ///< not a text file: it holds a NUL character
    NotInAnyEncoding,   ///< not valid in any of the encodings read (told as code page 932)
    TooLarge,           ///< larger than the most a file may hold to be read
    OutOfMemory,        ///< not enough memory to hold it
    DamagedRichText,    ///< rich text that cannot be read
    NamedPipe,          ///< not a regular file but a FIFO, which is never read
    Socket,             ///< not a regular file but a socket
    Device,             ///< not a regular file but a device, which may never end
    DamagedArchive,     ///< a zip archive that is cut short or damaged
    ArchiveBomb,        ///< a zip archive that inflates too far or by too large a ratio
    DocumentType,       ///< XML with a document type declaration (entities), never read
    MissingPart,        ///< a zip archive without the body of a word-processor document
    DamagedXml,         ///< a word-processor document whose XML is not well formed
    BrokenUtf8,         ///< UTF-8 text up to a byte that breaks it (a cut, a damaged spot)
    BrokenUtf16,        ///< UTF-16 text (it has the byte-order mark) with a broken unit
    ExpandsTooFar,      ///< a document that stands for far more text than it holds
    EncryptedArchive,   ///< a zip archive whose parts are encrypted
    UnknownCompression, ///< a zip archive whose parts are packed by a method not read
    EncryptedPdf,       ///< a PDF that needs a password to be read
    PdfWithoutText,     ///< a PDF whose pages hold no text, only images (a scan)
    DamagedPdf,         ///< a PDF that is cut short or damaged beyond repair
    PdfTooComplex,      ///< a PDF whose pages take too long or hold too much to read
    Stopped,            ///< the user stopped the reading (Esc); nothing to report
};

/// The category of an errno value; Other for 0 and for a value without a category of its own.
FileReason ReasonOfErrno(int code);

/// The reason in a few English words, for messages read in a terminal ("not found",
/// "permission denied"); Other gives the system's own words for code.
std::string ReasonInEnglish(FileReason reason, int code = 0);

} // namespace kivo
