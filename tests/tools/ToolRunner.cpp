#include "ToolRunner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char **environ;

namespace kivo::test {

namespace {

std::string ReadFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "kivo-tools-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    m_path = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempFolder::Write(std::string_view name, std::string_view bytes) const
{
    const std::filesystem::path path = m_path / name;
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    return path.string();
}

ToolResult RunTool(const std::vector<std::string> &args, long addressSpaceKiB)
{
    const TempFolder folder;
    const std::string outPath = (folder.Path() / "stdout").string();
    const std::string errPath = (folder.Path() / "stderr").string();

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);

    std::vector<char *> argv;
    std::string program = KIVO_COMPARE_PATH;
    std::vector<std::string> copies(args);
    if (addressSpaceKiB > 0) {
        // The shell sets the limit and then becomes the program.
        copies.insert(copies.begin(),
                      {"-c",
                       "ulimit -v " + std::to_string(addressSpaceKiB) + " && exec \"$0\" \"$@\"",
                       program});
        program = "/bin/sh";
    }
    argv.push_back(program.data());
    for (std::string &arg : copies)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    ToolResult result;
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + program);
    int waitStatus = 0;
    waitpid(pid, &waitStatus, 0);
    if (WIFEXITED(waitStatus))
        result.status = WEXITSTATUS(waitStatus);
    result.out = ReadFile(outPath);
    result.err = ReadFile(errPath);
    return result;
}

} // namespace kivo::test
