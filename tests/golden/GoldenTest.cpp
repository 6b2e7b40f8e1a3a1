// Golden comparisons: each folder under tests/data/golden holds left, right, optional options (one
// command-line argument per line) and expected (the records kivo-compare prints). A mismatch
// writes actual beside expected; UPDATE_GOLDEN=1 makes actual the new expected.
#include "CompareTool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kivo {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> ReadArguments(const fs::path &path)
{
    std::vector<std::string> args;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            args.push_back(line);
    return args;
}

std::vector<fs::path> GoldenFolders()
{
    std::vector<fs::path> folders;
    for (const auto &entry : fs::directory_iterator(KIVO_GOLDEN_DIR))
        if (entry.is_directory())
            folders.push_back(entry.path());
    std::sort(folders.begin(), folders.end());
    return folders;
}

class Golden : public testing::TestWithParam<fs::path> {};

TEST_P(Golden, RecordsMatchExpected)
{
    const fs::path folder = GetParam();
    std::vector<std::string> args{(folder / "left").string(), (folder / "right").string()};
    for (std::string &arg : ReadArguments(folder / "options"))
        args.push_back(std::move(arg));
    const std::vector<std::string_view> views(args.begin(), args.end());

    std::string out;
    std::string error;
    ASSERT_EQ(cli::RunCompare(views, cli::Terminal{}, out, error), cli::kExitSuccess) << error;

    // Whatever the expected file says, every record must be well formed and in reading order.
    std::istringstream lines(out);
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count)
        EXPECT_EQ(line.rfind("{\"leftIndex\":", 0), 0u) << line;

    const fs::path expectedPath = folder / "expected";
    if (std::getenv("UPDATE_GOLDEN")) {
        std::ofstream(expectedPath, std::ios::binary) << out;
        return;
    }
    ASSERT_TRUE(fs::exists(expectedPath)) << "no expected records; run with UPDATE_GOLDEN=1";
    const std::string expected = ReadFile(expectedPath);
    if (out != expected) {
        std::ofstream(folder / "actual", std::ios::binary) << out;
        ADD_FAILURE() << "records differ from " << expectedPath << "; see actual beside it";
    } else {
        fs::remove(folder / "actual");
    }
    EXPECT_GT(count, 0);
}

INSTANTIATE_TEST_SUITE_P(Folders, Golden, testing::ValuesIn(GoldenFolders()), [](const auto &row) {
    std::string name = row.param.filename().string();
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
});

} // namespace
} // namespace kivo
