#include "platform/AtomicFile.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>

namespace kivo {

namespace {

/// Attempts at a free name for the new file before giving up.
constexpr int kNameAttempts = 100;
/// Bytes read at a time.
constexpr std::size_t kReadChunk = 1 << 16;

bool Fail(FileError *error, int code)
{
    if (error) {
        error->code = code;
        error->message = QString::fromLocal8Bit(std::strerror(code));
    }
    return false;
}

/// Closes a descriptor once, unless released.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int Get() const { return m_fd; }
    /// Closes it now; false with errno set when closing reports an error of a delayed write.
    bool Close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

/// Writes a file that is no regular file (a device, a pipe) in place.
bool WriteInPlace(const std::string &target, std::string_view bytes, FileError *error)
{
    Descriptor fd(::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (fd.Get() < 0 || !WriteAll(fd.Get(), bytes))
        return Fail(error, errno);
    if (::fsync(fd.Get()) != 0 && errno != EINVAL && errno != EROFS)
        return Fail(error, errno); // devices that cannot be flushed say EINVAL
    if (!fd.Close())
        return Fail(error, errno);
    return true;
}

std::string Folder(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

/// Creates the new file beside target under a name no other file has, with mode (less the
/// umask); its path goes to tempPath. -1 with errno set on failure.
int CreateBeside(const std::string &target, mode_t mode, std::string &tempPath)
{
    const std::size_t slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        tempPath = folder + "." + name + ".kivo-" + std::to_string(random() % 1000000000u);
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

bool SaveFileAtomically(const QString &path, std::string_view bytes, FileError *error)
{
    std::string target = QFile::encodeName(path).toStdString();
    if (target.empty())
        return Fail(error, ENOENT);
    struct stat info {};
    if (::lstat(target.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (!::realpath(target.c_str(), resolved))
            return Fail(error, errno);
        target = resolved;
    }
    mode_t mode = 0666;
    bool replacing = false;
    if (::stat(target.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode))
            return WriteInPlace(target, bytes, error);
        if (::access(target.c_str(), W_OK) != 0)
            return Fail(error, errno);
        mode = info.st_mode & 07777;
        replacing = true;
    } else if (errno != ENOENT) {
        return Fail(error, errno);
    }

    std::string tempPath;
    Descriptor fd(CreateBeside(target, mode, tempPath));
    if (fd.Get() < 0)
        return Fail(error, errno);
    const auto abandon = [&](int code) {
        ::unlink(tempPath.c_str());
        return Fail(error, code);
    };
    if (replacing && ::fchmod(fd.Get(), mode) != 0) // the old file's mode, whatever the umask
        return abandon(errno);
    if (!WriteAll(fd.Get(), bytes) || ::fsync(fd.Get()) != 0 || !fd.Close())
        return abandon(errno);
    if (::rename(tempPath.c_str(), target.c_str()) != 0)
        return abandon(errno);
    // The rename itself reaches the disk with the folder; the file is saved either way.
    Descriptor folder(::open(Folder(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0)
        ::fsync(folder.Get());
    return true;
}

std::optional<std::string> ReadFileBytes(const QString &path, FileError *error)
{
    Descriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        Fail(error, errno);
        return std::nullopt;
    }
    std::string bytes;
    char buffer[kReadChunk];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n == 0)
            return bytes;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Fail(error, errno); // EISDIR for a folder
            return std::nullopt;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

} // namespace kivo
