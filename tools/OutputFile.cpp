#include "OutputFile.h"

#include "MessageText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

namespace kivo::cli {

namespace {

std::string Failure(std::string_view what, const std::string &path)
{
    return "cannot " + std::string(what) + " " + Quoted(path) + ": " + std::strerror(errno);
}

} // namespace

OutputFile::~OutputFile()
{
    if (m_fd >= 0)
        close(m_fd);
    if (!m_temporary.empty())
        unlink(m_temporary.c_str());
}

bool OutputFile::Open(const std::string &path, bool binary, std::string &error)
{
    m_path = path;
    // A symbolic link stays a link: the file it points to is replaced.
    struct stat link {};
    if (lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        std::error_code failed;
        const auto resolved = std::filesystem::weakly_canonical(path, failed);
        if (!failed)
            m_path = resolved.string();
    }
    struct stat status {};
    const bool exists = stat(path.c_str(), &status) == 0;
    if (exists && !S_ISREG(status.st_mode)) {
        m_fd = open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (m_fd < 0) {
            error = Failure("open", path);
            return false;
        }
        if (binary && isatty(m_fd)) {
            error = "will not write a binary format to the terminal " + Quoted(path);
            return false;
        }
        return true;
    }
    const std::filesystem::path target(m_path);
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    m_temporary =
        (folder / ("." + target.filename().string() + ".kivo-" + std::to_string(getpid()) + ".tmp"))
            .string();
    // A replaced file keeps its permissions; a new one gets the usual ones.
    const mode_t mode = exists ? (status.st_mode & 07777) : 0666;
    m_fd = open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (m_fd < 0) {
        m_temporary.clear();
        error = Failure("write", path);
        return false;
    }
    if (exists)
        fchmod(m_fd, mode);
    return true;
}

bool OutputFile::Write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = write(m_fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool OutputFile::Commit(std::string &error)
{
    if (m_temporary.empty()) {
        const int fd = std::exchange(m_fd, -1);
        if (close(fd) != 0) {
            error = Failure("write", m_path);
            return false;
        }
        return true;
    }
    if (fsync(m_fd) != 0) {
        error = Failure("write", m_path);
        return false;
    }
    const int fd = std::exchange(m_fd, -1);
    if (close(fd) != 0 || rename(m_temporary.c_str(), m_path.c_str()) != 0) {
        error = Failure("write", m_path);
        return false;
    }
    m_temporary.clear();
    return true;
}

} // namespace kivo::cli
