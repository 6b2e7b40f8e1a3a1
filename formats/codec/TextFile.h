#pragma once

#include "Cp932Codec.h"
#include "FileReason.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kivo {

/// The encodings a plain-text file is read in.
enum class TextEncoding { Utf8, Utf16LE, Utf16BE, Cp932 };

/// A plain-text file's text: UTF-8 without a byte-order mark, line breaks as in the file.
struct DecodedText {
    std::string utf8;
    TextEncoding encoding = TextEncoding::Utf8;
};

/// Reads the bytes of a plain-text file. Valid UTF-8, with or without a byte-order mark, is
/// UTF-8; bytes that begin with a UTF-16 byte-order mark (FF FE little-endian, FE FF big-endian)
/// are UTF-16; anything else must be code page 932 text, whose user-defined codes keep their
/// standard characters U+E000-U+E757 (ExternalToUtf8). The byte-order mark is dropped; a U+FEFF
/// after it is a character of the text.
///
/// Fails, with error->offset the byte offset in bytes, error->message a clause that completes
/// "FILE is ..." and error->reason NulCharacter or NotInAnyEncoding, when a NUL character is in
/// the text (the text windows cannot hold one), when UTF-16 has an odd number of bytes or an
/// unpaired surrogate, or when the bytes are neither UTF-8 nor code page 932 text.
std::optional<DecodedText> DecodeTextFile(std::string_view bytes, Cp932Codec &codec,
                                          Cp932Codec::Error *error = nullptr);

/// Whether bytes begin as a zip archive does (a local file header, or the end record of an
/// archive without entries): a word-processor document, never text.
bool IsZipArchive(std::string_view bytes);

/// What a path names, as far as reading it goes.
enum class FileKind { Regular, Directory, Fifo, Socket, Device };

/// Which files ReadFileBounded reads.
enum class ReadableFiles {
    /// Regular files only. Anything else is refused by its kind before it is opened, and the
    /// open never waits (a FIFO without a writer, a terminal line).
    RegularOnly,
    /// Pipes and devices too, as a command-line tool reads them: a FIFO waits for its writer.
    Any,
};

/// Why ReadFileBounded failed.
struct FileReadError {
    /// The operating system's error number; EFBIG for a file that holds more than
    /// kMostFileBytes, EISDIR for a folder; 0 when the file was refused for its kind.
    int code = 0;
    /// The kind of file that was refused (code 0).
    FileKind kind = FileKind::Regular;
    /// Whether the file had been opened when reading failed.
    bool opened = false;
};

/// The whole contents of the file at path (a file-system name, as the C library takes it).
/// Reading stops once more than kMostFileBytes have come, so a file that never ends (/dev/zero)
/// or one that keeps growing fails with EFBIG rather than filling the memory; a regular file
/// known to be larger is refused before it is read. Fails with error (when given) saying why.
std::optional<std::string> ReadFileBounded(const std::string &path, ReadableFiles which,
                                           FileReadError *error = nullptr);

} // namespace kivo
