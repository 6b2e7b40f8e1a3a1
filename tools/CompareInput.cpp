#include "CompareInput.h"

#include "Cp932Codec.h"
#include "FileReason.h"
#include "MessageText.h"
#include "TextFile.h"

#include <cerrno>

#include "RtfReader.h"
#include "WordFile.h"

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

/// The runs' text as UTF-8, line breaks within a paragraph made paragraph breaks like the others.
std::string TextOfRuns(const rtf::Runs &runs)
{
    constexpr std::string_view kLineBreakUtf8 = "\u2028";
    std::string text = rtf::PlainText(runs);
    for (auto at = text.find(kLineBreakUtf8); at != std::string::npos;
         at = text.find(kLineBreakUtf8, at + 1))
        text.replace(at, kLineBreakUtf8.size(), 1, '\n');
    return text;
}

/// The text of a word-processor document (.docx, .odt) as UTF-8.
std::optional<std::string> LoadWordFile(const std::string &path, std::string_view bytes,
                                        std::string &error)
{
    FileReason why = FileReason::Other;
    const auto runs = wordfile::Read(bytes, why);
    if (!runs) {
        error = "cannot read " + Quoted(path) + ": " + ReasonInEnglish(why);
        return std::nullopt;
    }
    return TextOfRuns(*runs);
}

/// The text of a rich-text (RTF) document as UTF-8, as the application reads it; notes receives
/// a line when the document is cut short.
std::optional<std::string> LoadRichText(const std::string &path, std::string_view bytes,
                                        Cp932Codec &codec, std::string &error, std::string &notes)
{
    rtf::Runs runs;
    rtf::ReadNotes noticed;
    rtf::Read(
        bytes, codec, [&runs](const rtf::TextRun &run) { runs.push_back(run); }, &noticed);
    if (noticed.tooMuch) {
        error = "cannot read " + Quoted(path) + ": " + ReasonInEnglish(FileReason::ExpandsTooFar);
        return std::nullopt;
    }
    if (noticed.endsEarly)
        notes += "note: " + Quoted(path) +
                 " ends early (a rich-text file cut short); only the part read is compared\n";
    return TextOfRuns(runs);
}

} // namespace

std::string TooLargeMessage(const std::string &path)
{
    return Quoted(path) + " is larger than " + std::to_string(kMostInputBytes >> 20) +
           " MiB, the most that can be compared";
}

std::optional<std::string> LoadTextFile(const std::string &path, Cp932Codec &codec,
                                        const pdf::ReadOptions &pdfOptions, std::string &error,
                                        std::string *notes)
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
    if (rtf::HasSignature(*bytes)) {
        std::string ignored;
        return LoadRichText(path, *bytes, codec, error, notes ? *notes : ignored);
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
