#include "TextFile.h"

#include "Descriptor.h"
#include "Utf8.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace kivo {

namespace {

/// Bytes read at a time.
constexpr std::size_t kReadChunk = std::size_t{1} << 16;

FileKind KindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return FileKind::Regular;
    if (S_ISDIR(mode))
        return FileKind::Directory;
    if (S_ISFIFO(mode))
        return FileKind::Fifo;
    if (S_ISSOCK(mode))
        return FileKind::Socket;
    return FileKind::Device;
}

std::nullopt_t FailRead(FileReadError *error, int code, bool opened,
                        FileKind kind = FileKind::Regular)
{
    if (error)
        *error = {code, kind, opened};
    return std::nullopt;
}

/// Refuses what is not a regular file: a folder as EISDIR, the rest by its kind.
std::nullopt_t FailKind(FileReadError *error, FileKind kind, bool opened)
{
    return FailRead(error, kind == FileKind::Directory ? EISDIR : 0, opened, kind);
}

constexpr std::string_view kUtf16LEMark = "\xFF\xFE";
constexpr std::string_view kUtf16BEMark = "\xFE\xFF";
constexpr char32_t kHighSurrogateFirst = 0xD800;
constexpr char32_t kLowSurrogateFirst = 0xDC00;
constexpr char32_t kSurrogateEnd = 0xE000;

std::nullopt_t Fail(Cp932Codec::Error *error, std::size_t offset, std::string message,
                    FileReason reason = FileReason::NotInAnyEncoding)
{
    if (error) {
        error->offset = offset;
        error->message = std::move(message);
        error->reason = reason;
    }
    return std::nullopt;
}

std::nullopt_t FailNul(Cp932Codec::Error *error, std::size_t offset)
{
    return Fail(error, offset, "not text: NUL character at byte " + std::to_string(offset),
                FileReason::NulCharacter);
}

/// UTF-16 text whose first two bytes are its byte-order mark; offsets count from the mark.
std::optional<DecodedText> DecodeUtf16(std::string_view bytes, bool bigEndian,
                                       Cp932Codec::Error *error)
{
    constexpr std::size_t kMarkLength = 2;
    DecodedText text{{}, bigEndian ? TextEncoding::Utf16BE : TextEncoding::Utf16LE};
    if (bytes.size() % 2 != 0)
        return Fail(error, bytes.size() - 1, "UTF-16 text cut short: it has an odd number of bytes",
                    FileReason::BrokenUtf16);
    text.utf8.reserve(bytes.size() + bytes.size() / 2);
    const auto unit = [&](std::size_t at) {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        return bigEndian ? char32_t(first << 8 | second) : char32_t(second << 8 | first);
    };
    for (std::size_t at = kMarkLength; at < bytes.size(); at += 2) {
        char32_t c = unit(at);
        if (c == 0)
            return FailNul(error, at);
        if (c >= kHighSurrogateFirst && c < kSurrogateEnd) {
            const char32_t low = at + 2 < bytes.size() ? unit(at + 2) : 0;
            if (c >= kLowSurrogateFirst || low < kLowSurrogateFirst || low >= kSurrogateEnd)
                return Fail(error, at,
                            "UTF-16 text with an unpaired surrogate at byte " + std::to_string(at),
                            FileReason::BrokenUtf16);
            c = 0x10000 + ((c - kHighSurrogateFirst) << 10) + (low - kLowSurrogateFirst);
            at += 2;
        }
        utf8::Append(text.utf8, c);
    }
    return text;
}

} // namespace

std::optional<std::string> ReadFileBounded(const std::string &path, ReadableFiles which,
                                           FileReadError *error)
{
    const bool regularOnly = which == ReadableFiles::RegularOnly;
    struct stat info {};
    if (regularOnly) {
        // Decided on the name before opening: opening a device may have effects of its own.
        if (::stat(path.c_str(), &info) != 0)
            return FailRead(error, errno, false);
        if (const FileKind kind = KindOf(info.st_mode); kind != FileKind::Regular)
            return FailKind(error, kind, false);
    }
    // Without a writer a FIFO would hold the open up: where only regular files are read, it
    // must not, should one have taken the file's place since the look above.
    const int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | (regularOnly ? O_NONBLOCK : 0);
    const Descriptor fd(::open(path.c_str(), flags));
    if (fd.Get() < 0)
        return FailRead(error, errno, false);
    if (::fstat(fd.Get(), &info) != 0)
        return FailRead(error, errno, true);
    const FileKind kind = KindOf(info.st_mode);
    if (kind == FileKind::Directory || (regularOnly && kind != FileKind::Regular))
        return FailKind(error, kind, true);
    std::string bytes;
    if (kind == FileKind::Regular) {
        if (static_cast<std::uintmax_t>(info.st_size) > kMostFileBytes)
            return FailRead(error, EFBIG, true);
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    }
    char buffer[kReadChunk];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n == 0)
            return bytes;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return FailRead(error, errno, true);
        }
        if (bytes.size() + static_cast<std::size_t>(n) > kMostFileBytes)
            return FailRead(error, EFBIG, true);
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

std::optional<DecodedText> DecodeTextFile(std::string_view bytes, Cp932Codec &codec,
                                          Cp932Codec::Error *error)
{
    if (bytes.starts_with(kUtf16LEMark))
        return DecodeUtf16(bytes, false, error);
    if (bytes.starts_with(kUtf16BEMark))
        return DecodeUtf16(bytes, true, error);
    if (IsValidUtf8(bytes)) {
        if (const std::size_t nul = bytes.find('\0'); nul != std::string_view::npos)
            return FailNul(error, nul);
        if (bytes.starts_with(utf8::kByteOrderMark))
            bytes.remove_prefix(utf8::kByteOrderMark.size());
        return DecodedText{std::string(bytes), TextEncoding::Utf8};
    }
    Cp932Codec::Error cpError;
    auto text = codec.ExternalToUtf8(bytes, &cpError);
    if (!text) {
        if (cpError.offset < bytes.size() && bytes[cpError.offset] == '\0')
            return FailNul(error, cpError.offset);
        // The user is told of the encoding that read further: a UTF-8 text cut inside its last
        // character is UTF-8 up to the cut, though code page 932 may fail far earlier on it.
        const std::size_t utf8Break = utf8::FirstInvalid(bytes);
        if (utf8Break != std::string_view::npos && utf8Break > cpError.offset) {
            if (const std::size_t nul = bytes.find('\0'); nul < utf8Break)
                return FailNul(error, nul);
            return Fail(error, utf8Break,
                        "UTF-8 text that breaks at byte " + std::to_string(utf8Break) +
                            " (cut short or damaged)",
                        FileReason::BrokenUtf8);
        }
        return Fail(error, cpError.offset,
                    "neither UTF-8 nor code page 932 text: " + cpError.message);
    }
    return DecodedText{std::move(*text), TextEncoding::Cp932};
}

bool IsZipArchive(std::string_view bytes)
{
    constexpr std::string_view kLocalHeader = "PK\x03\x04";
    constexpr std::string_view kEmptyArchive = "PK\x05\x06";
    return bytes.starts_with(kLocalHeader) || bytes.starts_with(kEmptyArchive);
}

} // namespace kivo
