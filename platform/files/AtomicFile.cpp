#include "platform/files/AtomicFile.h"

#include "Descriptor.h"
#include "TextFile.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
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

bool Fail(FileError *error, int code)
{
    if (error) {
        error->code = code;
        error->message = QString::fromLocal8Bit(std::strerror(code));
    }
    return false;
}

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

/// Gives the new file its content and the mode of the file it replaces, and flushes it to
/// the disk. False with errno set on failure.
bool Fill(int fd, std::string_view bytes, bool replacing, mode_t mode)
{
    if (replacing && ::fchmod(fd, mode) != 0) // the old file's mode, whatever the umask
        return false;
    return WriteAll(fd, bytes) && ::fsync(fd) == 0;
}

/// Puts the file at tempPath in target's place; removes it and says why when that fails.
bool Replace(const std::string &tempPath, const std::string &target, FileError *error)
{
    if (::rename(tempPath.c_str(), target.c_str()) != 0) {
        const int code = errno;
        ::unlink(tempPath.c_str());
        return Fail(error, code);
    }
    // The rename itself reaches the disk with the folder; the file is saved either way.
    Descriptor folder(::open(Folder(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0)
        ::fsync(folder.Get());
    return true;
}

enum class Outcome { Saved, Failed, Unsupported };

/// Writes the new file without a name, so that a process killed meanwhile leaves nothing
/// behind, and names it only to rename it over target. Unsupported where the file system makes
/// no unnamed files or they cannot be named (no /proc).
Outcome SaveUnnamed(const std::string &target, std::string_view bytes, bool replacing, mode_t mode,
                    FileError *error)
{
    Descriptor fd(::open(Folder(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
    if (fd.Get() < 0)
        return Outcome::Unsupported; // the named way says why, should it fail too
    if (!Fill(fd.Get(), bytes, replacing, mode)) {
        Fail(error, errno);
        return Outcome::Failed;
    }
    const std::string self = kOwnDescriptors + std::to_string(fd.Get());
    std::string tempPath;
    const int linked = TryNamesBeside(target, tempPath, [&self](const std::string &name) {
        return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW);
    });
    if (linked != 0) {
        if (errno == ENOENT) // no /proc to name the file through
            return Outcome::Unsupported;
        Fail(error, errno);
        return Outcome::Failed;
    }
    if (!fd.Close()) {
        const int code = errno;
        ::unlink(tempPath.c_str());
        Fail(error, code);
        return Outcome::Failed;
    }
    return Replace(tempPath, target, error) ? Outcome::Saved : Outcome::Failed;
}

/// Writes the new file under a hidden name beside target and renames it over target. A
/// process killed meanwhile leaves that file; the next save of target removes it.
bool SaveNamed(const std::string &target, std::string_view bytes, bool replacing, mode_t mode,
               FileError *error)
{
    std::string tempPath;
    Descriptor fd(TryNamesBeside(target, tempPath, [mode](const std::string &name) {
        return ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    }));
    if (fd.Get() < 0)
        return Fail(error, errno);
    if (!Fill(fd.Get(), bytes, replacing, mode) || !fd.Close()) {
        const int code = errno;
        ::unlink(tempPath.c_str());
        return Fail(error, code);
    }
    return Replace(tempPath, target, error);
}

} // namespace

bool SaveFileAtomically(const QString &path, std::string_view bytes, FileError *error,
                        NewFile newFile)
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

    RemoveStaleTemporaries(target);
    if (newFile == NewFile::Unnamed) {
        const Outcome outcome = SaveUnnamed(target, bytes, replacing, mode, error);
        if (outcome != Outcome::Unsupported)
            return outcome == Outcome::Saved;
    }
    return SaveNamed(target, bytes, replacing, mode, error);
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
