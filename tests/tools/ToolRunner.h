#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kivo::test {

/// What one run of the built kivo-compare gave.
struct ToolResult {
    int status = -1; ///< exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
};

/// A temporary folder for input files, removed with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    /// Writes bytes to a file of the folder and returns its path.
    std::string Write(std::string_view name, std::string_view bytes) const;
    const std::filesystem::path &Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

/// Runs the built kivo-compare with the arguments, stdin from /dev/null, and collects its
/// output. A non-zero addressSpaceKiB limits the program's address space (ulimit -v).
ToolResult RunTool(const std::vector<std::string> &args, long addressSpaceKiB = 0);

} // namespace kivo::test
