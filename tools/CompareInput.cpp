#include "CompareInput.h"

#include "Cp932Codec.h"
#include "FileReason.h"
#include "MessageText.h"
#include "TextFile.h"

#include <cerrno>
#include <cstdio>
#include <memory>

namespace kivo::cli {

namespace {

/// "cannot open 'path': not found": what failed on which file and why, in the categories the
/// program's messages use.
std::string SystemFailure(std::string_view what, const std::string &path, int code)
{
    return std::string(what) + ' ' + Quoted(path) + ": " +
           ReasonInEnglish(ReasonOfErrno(code), code);
}

struct FileCloser {
    void operator()(std::FILE *f) const { std::fclose(f); }
};

std::optional<std::string> ReadBytes(const std::string &path, std::string &error)
{
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        error = SystemFailure("cannot open", path, errno);
        return std::nullopt;
    }
    std::string bytes;
    char buffer[1 << 16];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        bytes.append(buffer, n);
        if (bytes.size() > kMostInputBytes) {
            error = TooLargeMessage(path);
            return std::nullopt;
        }
        if (n < sizeof buffer)
            break;
    }
    if (std::ferror(file.get())) {
        error = SystemFailure("cannot read", path, errno);
        return std::nullopt;
    }
    return bytes;
}

} // namespace

std::string TooLargeMessage(const std::string &path)
{
    return Quoted(path) + " is larger than " + std::to_string(kMostInputBytes >> 20) +
           " MiB, the most that can be compared";
}

std::optional<std::string> LoadTextFile(const std::string &path, Cp932Codec &codec,
                                        std::string &error)
{
    const auto bytes = ReadBytes(path, error);
    if (!bytes)
        return std::nullopt;
    Cp932Codec::Error decodeError;
    auto text = DecodeTextFile(*bytes, codec, &decodeError);
    if (!text) {
        error = Quoted(path) + " is " + decodeError.message;
        return std::nullopt;
    }
    return std::move(text->utf8);
}

std::optional<std::string> ToEngineText(std::string_view utf8, std::string_view what,
                                        Cp932Codec &codec, std::string &error)
{
    Cp932Codec::Error cpError;
    auto text = codec.FromUtf8(ToWindowLineBreaks(utf8), &cpError);
    if (!text) {
        error = std::string(what) + ": " + cpError.message;
        return std::nullopt;
    }
    return text;
}

} // namespace kivo::cli
