#include "CompareInput.h"

#include "Cp932Codec.h"
#include "FileReason.h"
#include "MessageText.h"
#include "TextFile.h"

#include <cerrno>

#if KIVO_HAVE_WORDFILE
#include "WordFile.h"
#endif

namespace kivo::cli {

namespace {

/// "cannot open 'path': not found": what failed on which file and why, in the categories the
/// program's messages use.
std::string SystemFailure(std::string_view what, const std::string &path, int code)
{
    return std::string(what) + ' ' + Quoted(path) + ": " +
           ReasonInEnglish(ReasonOfErrno(code), code);
}

std::optional<std::string> ReadBytes(const std::string &path, std::string &error)
{
    // Pipes and devices are read like files, as other command-line tools read them.
    FileReadError failure;
    std::optional<std::string> bytes = ReadFileBounded(path, ReadableFiles::Any, &failure);
    if (bytes)
        return bytes;
    if (failure.code == EFBIG)
        error = TooLargeMessage(path);
    else
        error = SystemFailure(failure.opened ? "cannot read" : "cannot open", path, failure.code);
    return std::nullopt;
}

/// The text of a word-processor document (.docx, .odt) as UTF-8, line breaks within a paragraph
/// made paragraph breaks like the others.
std::optional<std::string> LoadWordFile(const std::string &path, std::string_view bytes,
                                        std::string &error)
{
#if KIVO_HAVE_WORDFILE
    FileReason why = FileReason::Other;
    const auto runs = wordfile::Read(bytes, why);
    if (!runs) {
        error = "cannot read " + Quoted(path) + ": " + ReasonInEnglish(why);
        return std::nullopt;
    }
    constexpr std::string_view kLineBreakUtf8 = "\u2028";
    std::string text = rtf::PlainText(*runs);
    for (auto at = text.find(kLineBreakUtf8); at != std::string::npos;
         at = text.find(kLineBreakUtf8, at + 1))
        text.replace(at, kLineBreakUtf8.size(), 1, '\n');
    return text;
#else
    static_cast<void>(bytes);
    error = Quoted(path) + " is a zip archive (a .docx or .odt document?); this kivo-compare was "
                           "built without Qt and reads text files only";
    return std::nullopt;
#endif
}

} // namespace

std::string TooLargeMessage(const std::string &path)
{
    return Quoted(path) + " is larger than " + std::to_string(kMostInputBytes >> 20) +
           " MiB, the most that can be compared";
}

std::optional<std::string> LoadTextFile(const std::string &path, Cp932Codec &codec,
                                        const pdf::ReadOptions &pdfOptions, std::string &error)
{
    const auto bytes = ReadBytes(path, error);
    if (!bytes)
        return std::nullopt;
    if (IsZipArchive(*bytes))
        return LoadWordFile(path, *bytes, error);
    if (pdf::HasSignature(*bytes)) {
        FileReason why = FileReason::Other;
        auto text = pdf::Read(*bytes, pdfOptions, why);
        if (!text)
            error = "cannot read " + Quoted(path) + ": " + ReasonInEnglish(why);
        return text;
    }
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
