#include "ZipArchive.h"

#include <zip.h>

#include <algorithm>
#include <array>

namespace kivo::wordfile {

namespace {

constexpr std::size_t kChunkBytes = 64 * 1024; // inflated at a time, so no part is held whole
// Below this many inflated bytes a part is never taken for a bomb whatever its ratio: a short
// run of repeated markup packs far better than a hundred to one and harms nobody.
constexpr std::uintmax_t kRatioFloorBytes = std::uintmax_t{1} << 20;

struct ZipCloser {
    void operator()(zip_t *zip) const { zip_discard(zip); }
};
struct FileCloser {
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};

} // namespace

struct ZipArchive::Handle {
    std::unique_ptr<zip_t, ZipCloser> zip;
};

ZipArchive::ZipArchive(std::unique_ptr<Handle> handle, std::size_t archiveBytes)
    : m_handle(std::move(handle)), m_archiveBytes(archiveBytes)
{}

ZipArchive::~ZipArchive() = default;

std::unique_ptr<ZipArchive> ZipArchive::Open(std::string_view bytes, FileReason &why)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    zip_error_fini(&error);
    if (!source) {
        why = FileReason::OutOfMemory;
        return nullptr;
    }
    zip_error_init(&error);
    // The consistency check compares every local header with the central directory, which
    // catches most archives cut short or patched by hand before any part is inflated.
    zip_t *zip = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    const int code = zip_error_code_zip(&error);
    zip_error_fini(&error);
    if (!zip) {
        zip_source_free(source);
        why = code == ZIP_ER_MEMORY ? FileReason::OutOfMemory : FileReason::DamagedArchive;
        return nullptr;
    }
    auto handle = std::make_unique<Handle>();
    handle->zip.reset(zip);
    return std::unique_ptr<ZipArchive>(new ZipArchive(std::move(handle), bytes.size()));
}

bool ZipArchive::Has(const char *name) const
{
    return zip_name_locate(m_handle->zip.get(), name, 0) >= 0;
}

bool ZipArchive::Read(const char *name, const ChunkSink &sink, FileReason &why)
{
    zip_t *zip = m_handle->zip.get();
    const zip_int64_t index = zip_name_locate(zip, name, 0);
    zip_stat_t stat;
    if (index < 0 || zip_stat_index(zip, static_cast<zip_uint64_t>(index), 0, &stat) != 0 ||
        !(stat.valid & ZIP_STAT_COMP_SIZE)) {
        why = FileReason::DamagedArchive;
        return false;
    }
    // The packed size is the archive's claim; it cannot exceed the archive itself.
    const std::uintmax_t packed =
        std::min<std::uintmax_t>(std::max<zip_uint64_t>(stat.comp_size, 1), m_archiveBytes);
    // An encrypted part or one packed by a method libzip does not read is told as such, not as
    // damage: the file may be whole.
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE) {
        why = FileReason::EncryptedArchive;
        return false;
    }
    if ((stat.valid & ZIP_STAT_COMP_METHOD) &&
        !zip_compression_method_supported(static_cast<zip_int32_t>(stat.comp_method), 0)) {
        why = FileReason::UnknownCompression;
        return false;
    }
    std::unique_ptr<zip_file_t, FileCloser> file(
        zip_fopen_index(zip, static_cast<zip_uint64_t>(index), 0));
    if (!file) {
        switch (zip_error_code_zip(zip_get_error(zip))) {
        case ZIP_ER_NOPASSWD:
        case ZIP_ER_WRONGPASSWD:
        case ZIP_ER_ENCRNOTSUPP:
            why = FileReason::EncryptedArchive;
            break;
        case ZIP_ER_COMPNOTSUPP:
            why = FileReason::UnknownCompression;
            break;
        case ZIP_ER_MEMORY:
            why = FileReason::OutOfMemory;
            break;
        default:
            why = FileReason::DamagedArchive;
            break;
        }
        return false;
    }
    std::array<char, kChunkBytes> buffer;
    std::uintmax_t partBytes = 0;
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), buffer.data(), buffer.size());
        if (got < 0) {
            why = FileReason::DamagedArchive; // bad deflate data or a checksum that fails
            return false;
        }
        if (got == 0)
            return true;
        const auto count = static_cast<std::size_t>(got);
        partBytes += count;
        m_inflated += count;
        if (m_inflated > kMostInflatedBytes ||
            (partBytes > kRatioFloorBytes && partBytes > packed * kMostInflateRatio)) {
            why = FileReason::ArchiveBomb;
            return false;
        }
        if (!sink(std::string_view(buffer.data(), count)))
            return false;
    }
}

std::optional<std::string> ZipArchive::ReadSmall(const char *name, std::size_t most)
{
    std::string text;
    FileReason why = FileReason::Other;
    const bool read = Read(
        name,
        [&](std::string_view chunk) {
            if (text.size() + chunk.size() > most)
                return false;
            text += chunk;
            return true;
        },
        why);
    if (!read)
        return std::nullopt;
    return text;
}

} // namespace kivo::wordfile
