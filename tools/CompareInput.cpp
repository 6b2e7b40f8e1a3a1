#include "CompareInput.h"

#include "Cp932Codec.h"
#include "MessageText.h"
#include "Utf8.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace kivo::cli {

namespace {

struct FileCloser {
    void operator()(std::FILE *f) const { std::fclose(f); }
};

std::optional<std::string> ReadBytes(const std::string &path, std::string &error)
{
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        error = "cannot open " + Quoted(path) + ": " + std::strerror(errno);
        return std::nullopt;
    }
    std::string bytes;
    char buffer[1 << 16];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        bytes.append(buffer, n);
        if (n < sizeof buffer)
            break;
    }
    if (std::ferror(file.get())) {
        error = "cannot read " + Quoted(path) + ": " + std::strerror(errno);
        return std::nullopt;
    }
    return bytes;
}

} // namespace

std::optional<std::string> LoadTextFile(const std::string &path, Cp932Codec &codec,
                                        std::string &error)
{
    auto bytes = ReadBytes(path, error);
    if (!bytes)
        return std::nullopt;
    if (IsValidUtf8(*bytes)) {
        if (const std::size_t nul = bytes->find('\0'); nul != std::string::npos) {
            error = Quoted(path) + " is not text: NUL byte at byte " + std::to_string(nul);
            return std::nullopt;
        }
        if (bytes->starts_with(utf8::kByteOrderMark))
            bytes->erase(0, utf8::kByteOrderMark.size());
        return bytes;
    }
    Cp932Codec::Error cpError;
    auto text = codec.ExternalToUtf8(*bytes, &cpError);
    if (!text) {
        error = Quoted(path) + " is neither UTF-8 nor code page 932 text: " + cpError.message;
        return std::nullopt;
    }
    return text;
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
