#include "platform/files/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>

namespace kivo {
namespace {

using namespace Qt::StringLiterals;

class AtomicFile : public testing::Test {
protected:
    QString PathOf(const QString &name) const { return m_folder.filePath(name); }

    std::string Contents(const QString &name) const
    {
        return ReadFileBytes(PathOf(name)).value_or("<unreadable>");
    }

    /// Names in the folder, so that a test sees any file left behind.
    QStringList Entries() const
    {
        return QDir(m_folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                               QDir::NoDotAndDotDot);
    }

    void Write(const QString &name, std::string_view bytes) const
    {
        ASSERT_TRUE(SaveFileAtomically(PathOf(name), bytes));
    }

    QTemporaryDir m_folder;
};

/// Runs save where the user is not root (who may write anything): in a child process that has
/// given up root when the tests run as root. Returns the save's error number, 0 for success.
int SaveUnprivileged(const QString &path, std::string_view bytes)
{
    if (::geteuid() != 0) {
        FileError error;
        return SaveFileAtomically(path, bytes, &error) ? 0 : error.code;
    }
    constexpr uid_t kNobody = 65534;
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(255);
        FileError error;
        ::_exit(SaveFileAtomically(path, bytes, &error) ? 0 : (error.code & 0x7F));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(AtomicFile, CreatesAndReplacesLeavingNothingElse)
{
    Write(u"a.rtf"_s, "first");
    EXPECT_EQ(Contents(u"a.rtf"_s), "first");
    Write(u"a.rtf"_s, "second, longer");
    Write(u"a.rtf"_s, "3");
    EXPECT_EQ(Contents(u"a.rtf"_s), "3");
    Write(u"empty.rtf"_s, "");
    EXPECT_EQ(Contents(u"empty.rtf"_s), "");
    EXPECT_EQ(Entries(), (QStringList{u"a.rtf"_s, u"empty.rtf"_s}));
}

TEST_F(AtomicFile, KeepsPermissionsAndLinks)
{
    Write(u"kept.rtf"_s, "old");
    const QByteArray kept = QFile::encodeName(PathOf(u"kept.rtf"_s));
    ASSERT_EQ(::chmod(kept.constData(), 0604), 0);
    ASSERT_TRUE(QFile::link(PathOf(u"kept.rtf"_s), PathOf(u"link.rtf"_s)));

    Write(u"link.rtf"_s, "new");
    struct stat info {};
    ASSERT_EQ(::lstat(QFile::encodeName(PathOf(u"link.rtf"_s)).constData(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode)) << "the link stays a link";
    ASSERT_EQ(::stat(kept.constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0604u);
    EXPECT_EQ(Contents(u"kept.rtf"_s), "new");
    EXPECT_EQ(Entries().size(), 2);
}

TEST_F(AtomicFile, ReadOnlyFolderKeepsTheOldFileAndSaysWhy)
{
    Write(u"old.rtf"_s, "the old text");
    const QByteArray folder = QFile::encodeName(m_folder.path());
    ASSERT_EQ(::chmod(folder.constData(), 0555), 0);
    const int code = SaveUnprivileged(PathOf(u"old.rtf"_s), "new text");
    ::chmod(folder.constData(), 0700);
    EXPECT_EQ(code, EACCES) << std::strerror(code);
    EXPECT_EQ(Contents(u"old.rtf"_s), "the old text");
    EXPECT_EQ(Entries(), QStringList{u"old.rtf"_s});
}

TEST_F(AtomicFile, ReadOnlyFileIsNotReplaced)
{
    Write(u"locked.rtf"_s, "locked");
    const QByteArray locked = QFile::encodeName(PathOf(u"locked.rtf"_s));
    ASSERT_EQ(::chmod(locked.constData(), 0444), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(m_folder.path()).constData(), 0777), 0);
    EXPECT_EQ(SaveUnprivileged(PathOf(u"locked.rtf"_s), "new"), EACCES);
    EXPECT_EQ(Contents(u"locked.rtf"_s), "locked");
    EXPECT_EQ(Entries(), QStringList{u"locked.rtf"_s});
}

TEST_F(AtomicFile, AWriteThatFailsHalfWayLeavesTheOldFileAndNoPart)
{
    // A file size limit stops the write after a few bytes, as a full disk would.
    Write(u"old.rtf"_s, "the old text");
    const QString path = PathOf(u"old.rtf"_s);
    const pid_t child = ::fork();
    if (child == 0) {
        constexpr rlim_t kLimit = 4;
        const rlimit limit{kLimit, kLimit};
        ::signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead of ending the process
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            ::_exit(255);
        FileError error;
        ::_exit(SaveFileAtomically(path, "a much longer new text", &error) ? 0 : error.code);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), EFBIG);
    EXPECT_EQ(Contents(u"old.rtf"_s), "the old text");
    EXPECT_EQ(Entries(), QStringList{u"old.rtf"_s});
}

/// Whether the process has a file of the folder open: a save of it is writing its new file.
bool WritesInto(pid_t process, const QString &folder)
{
    const QString fds = u"/proc/%1/fd"_s.arg(process);
    for (const QString &fd : QDir(fds).entryList(QDir::System | QDir::NoDotAndDotDot)) {
        if (QFile::symLinkTarget(fds + u'/' + fd).startsWith(folder + u'/'))
            return true;
    }
    return false;
}

/// Kills a child process while it writes a save of 4 MiB over path, again and again. After each
/// kill the file is the old one or the new one. Returns the names found beside it afterwards.
QStringList KillSavesMidway(const QString &path, NewFile newFile,
                            const std::function<QStringList()> &entries)
{
    constexpr int kRounds = 4;
    constexpr int kMostLooks = 1000000;
    constexpr std::size_t kBytes = std::size_t{4} << 20; // long enough to be caught writing
    const std::string bytes(kBytes, 'n');
    const QString folder = QFileInfo(path).absolutePath();
    QStringList left;
    for (int round = 0; round < kRounds; ++round) {
        const pid_t child = ::fork();
        if (child == 0) {
            for (;;)
                SaveFileAtomically(path, bytes, nullptr, newFile);
        }
        int looks = 0;
        while (!WritesInto(child, folder) && ++looks < kMostLooks) {
        }
        EXPECT_LT(looks, kMostLooks) << "the save never began";
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const std::string contents = ReadFileBytes(path).value_or("<unreadable>");
        EXPECT_TRUE(contents == "the old text" || contents == bytes) << "round " << round;
        for (const QString &name : entries()) {
            if (name != QFileInfo(path).fileName() && !left.contains(name))
                left.append(name);
        }
    }
    return left;
}

TEST_F(AtomicFile, ASaveKilledMidwayLeavesOnlyTheOldOrTheNewFile)
{
    Write(u"big.rtf"_s, "the old text");
    const auto entries = [this] { return Entries(); };
    // An unnamed new file has a name only in the instant between linking and renaming it; a
    // kill just then leaves it, rarely, and the next save removes it.
    KillSavesMidway(PathOf(u"big.rtf"_s), NewFile::Unnamed, entries);
    Write(u"big.rtf"_s, "the old text");
    EXPECT_EQ(Entries(), QStringList{u"big.rtf"_s});

    // Named new files are left by a killed save; the next save removes them, and only them.
    Write(u"big.rtf"_s, "the old text");
    const QStringList left = KillSavesMidway(PathOf(u"big.rtf"_s), NewFile::Named, entries);
    EXPECT_FALSE(left.isEmpty()) << "no save was killed while writing";
    const QStringList kept{u".big.rtf.kivo-1-5"_s,          // its maker (init) is alive
                           u".other.rtf.kivo-99999999-1"_s, // another file's
                           u".big.rtf.kivo-x"_s};           // no new file's name
    for (const QString &name : kept)
        Write(name, "kept");
    Write(u".big.rtf.kivo-123456"_s, "left by an older version");
    Write(u"big.rtf"_s, "saved");
    QStringList expected = kept;
    expected.append(u"big.rtf"_s);
    expected.sort();
    EXPECT_EQ(Entries(), expected);
}

TEST_F(AtomicFile, FullDiskGivesTheSystemsMessage)
{
    if (!QFile::exists(u"/dev/full"_s))
        GTEST_SKIP() << "no /dev/full";
    FileError error;
    EXPECT_FALSE(SaveFileAtomically(u"/dev/full"_s, "text", &error));
    EXPECT_EQ(error.code, ENOSPC);
    EXPECT_EQ(error.message, QString::fromLocal8Bit(std::strerror(ENOSPC)));
    struct stat info {};
    ASSERT_EQ(::stat("/dev/full", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode)) << "the device is still a device";
}

TEST_F(AtomicFile, MissingFoldersAndFilesSayWhy)
{
    FileError error;
    EXPECT_FALSE(SaveFileAtomically(PathOf(u"no/such/folder.rtf"_s), "x", &error));
    EXPECT_EQ(error.code, ENOENT);
    EXPECT_FALSE(ReadFileBytes(PathOf(u"missing.txt"_s), &error));
    EXPECT_EQ(error.message, QString::fromLocal8Bit(std::strerror(ENOENT)));
    EXPECT_FALSE(ReadFileBytes(m_folder.path(), &error));
    EXPECT_EQ(error.code, EISDIR);
}

} // namespace
} // namespace kivo
