#include "AtomicWrite.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>
#include <utility>

namespace kivo {

namespace {

/// Attempts at a free name for the new file before giving up.
constexpr int kNameAttempts = 100;
/// How many random numbers a new file's name is drawn from.
constexpr unsigned kRandomNames = 1000000000u;
/// What marks a hidden name as a new file of a save: ".NAME.kivo-PID-NUMBER".
constexpr char kTemporaryMark[] = ".kivo-";
/// Where the process's open files have names, through which an unnamed file gets one.
constexpr char kOwnDescriptors[] = "/proc/self/fd/";
/// Digits of the longest number in such a name (process ids stay below 2^22 on Linux).
constexpr std::size_t kMostNumberDigits = 9;

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

std::string Folder(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

/// The folder part of target with its slash ("" for a bare name) and the name part.
std::pair<std::string, std::string> SplitPath(const std::string &target)
{
    const std::size_t slash = target.rfind('/');
    if (slash == std::string::npos)
        return {std::string(), target};
    return {target.substr(0, slash + 1), target.substr(slash + 1)};
}

/// How the hidden names of the new files of target begin: ".NAME.kivo-"; the process id and a
/// random number follow, so that a later save can tell a name its maker left behind.
std::string TemporaryPrefix(const std::string &name)
{
    return "." + name + kTemporaryMark;
}

/// Whether a hidden name beside target is a new file that no save will ever use again: its maker
/// has ended, or it is this process, whose saves run one at a time and clean up after
/// themselves. A name with one number only is left from before process ids were part of it.
bool IsStaleTemporary(std::string_view rest)
{
    const auto isNumber = [](std::string_view text) {
        return !text.empty() && text.size() <= kMostNumberDigits &&
               text.find_first_not_of("0123456789") == std::string_view::npos;
    };
    const std::size_t dash = rest.find('-');
    const std::string_view pidText = rest.substr(0, dash);
    if (!isNumber(pidText))
        return false;
    if (dash == std::string_view::npos)
        return true;
    if (!isNumber(rest.substr(dash + 1)))
        return false;
    const auto pid = static_cast<pid_t>(std::stol(std::string(pidText)));
    return pid == ::getpid() || (::kill(pid, 0) != 0 && errno == ESRCH);
}

/// Removes the new files that saves of target killed half-way left behind.
void RemoveStaleTemporaries(const std::string &target)
{
    const auto [folder, name] = SplitPath(target);
    const std::string prefix = TemporaryPrefix(name);
    DIR *dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        const std::string_view entryName(entry->d_name);
        if (entryName.starts_with(prefix) && IsStaleTemporary(entryName.substr(prefix.size())))
            ::unlink((folder + std::string(entryName)).c_str());
    }
    ::closedir(dir);
}

/// Tries hidden names beside target until make(name) succeeds or fails otherwise than with
/// EEXIST; the name goes to tempPath. make returns a non-negative number on success and -1 with
/// errno set on failure; that result is returned.
template <typename Make>
int TryNamesBeside(const std::string &target, std::string &tempPath, Make make)
{
    const auto [folder, name] = SplitPath(target);
    const std::string stem = folder + TemporaryPrefix(name) + std::to_string(::getpid()) + "-";
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        tempPath = stem + std::to_string(random() % kRandomNames);
        const int result = make(tempPath);
        if (result >= 0 || errno != EEXIST)
            return result;
    }
    return -1;
}

/// Puts the file at tempPath in target's place; removes it when that fails (errno set).
bool Replace(const std::string &tempPath, const std::string &target)
{
    if (::rename(tempPath.c_str(), target.c_str()) != 0) {
        const int code = errno;
        ::unlink(tempPath.c_str());
        errno = code;
        return false;
    }
    // The rename itself reaches the disk with the folder; the file is saved either way.
    Descriptor folder(::open(Folder(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0)
        ::fsync(folder.Get());
    return true;
}

} // namespace

AtomicWriter::~AtomicWriter()
{
    if (!m_tempPath.empty())
        ::unlink(m_tempPath.c_str());
}

bool AtomicWriter::Open(const std::string &path, NewFile newFile)
{
    m_target = path;
    if (m_target.empty()) {
        errno = ENOENT;
        return false;
    }
    struct stat info {};
    if (::lstat(m_target.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (!::realpath(m_target.c_str(), resolved))
            return false;
        m_target = resolved;
    }
    mode_t mode = 0666;
    bool replacing = false;
    if (::stat(m_target.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) {
            m_inPlace = true;
            m_fd.Reset(::open(m_target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY));
            return m_fd.Get() >= 0;
        }
        if (::access(m_target.c_str(), W_OK) != 0)
            return false;
        mode = info.st_mode & 07777;
        replacing = true;
    } else if (errno != ENOENT) {
        return false;
    }

    RemoveStaleTemporaries(m_target);
    // An unnamed file is named through /proc; without it, or where the file system makes no
    // unnamed files, the new file has a hidden name from the start.
    if (newFile == NewFile::Unnamed && ::access(kOwnDescriptors, F_OK) == 0) {
        m_fd.Reset(::open(Folder(m_target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
        m_unnamed = m_fd.Get() >= 0;
    }
    if (!m_unnamed) {
        m_fd.Reset(TryNamesBeside(m_target, m_tempPath, [mode](const std::string &name) {
            return ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        }));
        if (m_fd.Get() < 0) {
            m_tempPath.clear();
            return false;
        }
    }
    // The old file's mode, whatever the umask.
    return !replacing || ::fchmod(m_fd.Get(), mode) == 0;
}

bool AtomicWriter::Write(std::string_view bytes)
{
    return WriteAll(m_fd.Get(), bytes);
}

bool AtomicWriter::Commit()
{
    if (m_inPlace) {
        if (::fsync(m_fd.Get()) != 0 && errno != EINVAL && errno != EROFS)
            return false; // devices that cannot be flushed say EINVAL
        return m_fd.Close();
    }
    if (::fsync(m_fd.Get()) != 0)
        return false;
    if (m_unnamed) {
        const std::string self = kOwnDescriptors + std::to_string(m_fd.Get());
        const int linked = TryNamesBeside(m_target, m_tempPath, [&self](const std::string &name) {
            return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW);
        });
        if (linked != 0) {
            m_tempPath.clear();
            return false;
        }
    }
    if (!m_fd.Close())
        return false;
    const std::string tempPath = std::exchange(m_tempPath, std::string());
    return Replace(tempPath, m_target);
}

} // namespace kivo
