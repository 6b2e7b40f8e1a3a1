#pragma once

#include "FileReason.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kivo::wordfile {

/// A zip archive held in memory, read part by part under the limits of kMostInflatedBytes (all
/// parts read together) and kMostInflateRatio (each part), which are checked on the bytes as they
/// inflate, not on the sizes the archive claims.
class ZipArchive {
public:
    /// Receives a part's bytes in pieces, in order; returns false to stop reading.
    using ChunkSink = std::function<bool(std::string_view chunk)>;

    /// Opens the archive in bytes, which must outlive it. Null with why DamagedArchive when
    /// the bytes are not a whole zip archive (cut short, central directory missing or damaged).
    static std::unique_ptr<ZipArchive> Open(std::string_view bytes, FileReason &why);

    ~ZipArchive();
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    /// Whether the archive holds a part of this name (exact, case matters).
    bool Has(const char *name) const;

    /// Inflates the named part into sink. False with why: DamagedArchive for a part that is
    /// missing, damaged or fails its checksum, ArchiveBomb past either limit; false without a
    /// reason of its own (why untouched) when sink stopped.
    bool Read(const char *name, const ChunkSink &sink, FileReason &why);

    /// The whole named part when it is at most most bytes long; nullopt otherwise.
    std::optional<std::string> ReadSmall(const char *name, std::size_t most);

private:
    struct Handle;
    explicit ZipArchive(std::unique_ptr<Handle> handle, std::size_t archiveBytes);

    std::unique_ptr<Handle> m_handle;
    std::size_t m_archiveBytes;
    std::uintmax_t m_inflated = 0; // bytes inflated so far, all parts together
};

} // namespace kivo::wordfile
