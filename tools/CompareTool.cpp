#include "CompareTool.h"

#include "CompareArguments.h"
#include "CompareInput.h"
#include "Comparison.h"
#include "Cp932Codec.h"
#include "HtmlReport.h"
#include "MessageText.h"
#include "OutputFile.h"
#include "Progress.h"
#include "RecordsFormat.h"
#include "ResultRows.h"
#include "TextFormat.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <system_error>

namespace kivo::cli {

namespace {

constexpr int kDefaultWidth = 80; // text format width when stdout is no terminal

/// Refuses a regular file larger than kMostInputBytes before it is read; other files are
/// refused by the reader once they grow past it.
bool CheckInputSize(const std::string &path, std::string &error)
{
    std::error_code failed;
    if (!std::filesystem::is_regular_file(path, failed))
        return true;
    const std::uintmax_t size = std::filesystem::file_size(path, failed);
    if (failed || size <= kMostInputBytes)
        return true;
    error = TooLargeMessage(path);
    return false;
}

/// The options of the comparison from the command line; the rest keeps its defaults.
std::optional<RichOptions> MakeOptions(const CompareArguments &args, Cp932Codec &codec,
                                       std::string &error)
{
    RichOptions options;
    if (args.delimiters) {
        // Stored as typed: the comparison itself turns backslash-n into a line break.
        auto set = ToEngineText(*args.delimiters, "--delimiters", codec, error);
        if (!set)
            return std::nullopt;
        options.Sptr[0] = std::move(*set);
    }
    options.CmpChar = args.cmpChar;
    options.CmpCase = args.cmpCase;
    options.CmpZen = args.cmpZen;
    options.CmpZenSp = args.cmpZenSp;
    options.CmpKana = args.cmpKana;
    options.CmpPunct = args.cmpPunct;
    options.KeepQuotes = args.keepQuotes;
    options.ViewMove = args.moves;
    options.ViewFormat = args.viewFormat;
    return options;
}

std::optional<std::string> Format(const CompareArguments &args, const Terminal &terminal,
                                  const RichOptions &options, const Comparison &comparison,
                                  Cp932Codec &codec, std::string &error)
{
    const ResultList &results = comparison.Results();
    if (args.format == OutputFormat::Records)
        return FormatRecords(results, codec, error);
    if (args.format == OutputFormat::Html)
        return report::MakeHtmlReport(
            results, &comparison.Moves(), options, options, {args.leftPath, args.rightPath},
            report::ReportDate(std::chrono::system_clock::now()), codec, error);
    if (args.format == OutputFormat::Docx || args.format == OutputFormat::TableHtml)
        return report::MakeComparisonTable(
            results, {comparison.ParagraphEnds(Side::Left), comparison.ParagraphEnds(Side::Right)},
            &comparison.Moves(), options, options, args.table,
            args.format == OutputFormat::Docx ? report::TableFormat::Docx
                                              : report::TableFormat::Html,
            codec, error);
    const auto rows = report::BuildRows(results, options.ViewFormat, codec, error);
    if (!rows)
        return std::nullopt;
    TextLayout layout;
    layout.width = args.width > 0                                      ? args.width
                   : terminal.stdoutIsTerminal && terminal.columns > 0 ? terminal.columns
                                                                       : kDefaultWidth;
    layout.color = args.color == ColorMode::Always ||
                   (args.color == ColorMode::Auto && terminal.stdoutIsTerminal);
    return FormatText(*rows, options, layout);
}

/// Output gathered before it is handed to the sink: large enough that writes are few.
constexpr std::size_t kOutputChunkBytes = std::size_t{1} << 16;

/// Runs the comparison and writes each record as soon as it is final, erasing it, so that
/// neither the records of a large comparison nor their output pile up in memory.
int StreamRecords(Comparison &comparison, const OutputSink &write, Cp932Codec &codec,
                  std::string &error)
{
    std::string chunk;
    const auto flush = [&](bool all) {
        if (chunk.size() < kOutputChunkBytes && !all)
            return true;
        if (!write(chunk)) {
            error = std::string("cannot write the output: ") + std::strerror(errno);
            return false;
        }
        chunk.clear();
        return true;
    };
    for (bool more = true; more;) {
        more = comparison.Step();
        const bool written = comparison.DrainFinished([&](const ResultPair &record) {
            return AppendRecord(chunk, record, codec, error,
                                comparison.Moves().PartnerOf(record)) &&
                   flush(false);
        });
        if (!written)
            return kExitFailure;
    }
    return flush(true) ? kExitSuccess : kExitFailure;
}

/// What the comparison did instead of the exact answer, one line each; empty when it was exact.
std::string Notes(const Comparison &comparison)
{
    std::string notes;
    if (comparison.AnchorsNotMaximal())
        notes += "note: too many repeated sentences to find the most pairs of equal sentences; "
                 "only equal sentences at about the same place in both texts were paired\n";
    if (comparison.PairsMatchedByEdits() > 0)
        notes += "note: " + std::to_string(comparison.PairsMatchedByEdits()) +
                 " long sentence pair(s) differ in too many places to find the longest common "
                 "runs first; the rest of each was matched by a shortest edit script with a "
                 "cost limit\n";
    return notes;
}

int Compare(const CompareArguments &args, const Terminal &terminal, const OutputSink &write,
            std::string &error)
{
    if (!CheckInputSize(args.leftPath, error) || !CheckInputSize(args.rightPath, error))
        return kExitFailure;
    Cp932Codec &codec = Cp932Codec::Shared();
    std::string inputNotes; // files read only in part, told once the comparison is written
    pdf::ReadOptions pdfOptions;
    pdfOptions.keepRunningHeads = args.pdfHeads != 0;
    const auto leftUtf8 = LoadTextFile(args.leftPath, codec, pdfOptions, error, &inputNotes);
    if (!leftUtf8)
        return kExitFailure;
    const auto rightUtf8 = LoadTextFile(args.rightPath, codec, pdfOptions, error, &inputNotes);
    if (!rightUtf8)
        return kExitFailure;

    const auto options = MakeOptions(args, codec, error);
    if (!options)
        return kExitFailure;
    auto left = ToEngineText(*leftUtf8, args.leftPath, codec, error);
    if (!left)
        return kExitFailure;
    auto right = ToEngineText(*rightUtf8, args.rightPath, codec, error);
    if (!right)
        return kExitFailure;

    ProgressModel progress;
    Comparison comparison(*options, progress);
    EngineTuning tuning;
    tuning.firstFitAnchors = args.firstFitAnchors;
    comparison.SetTuning(tuning);
    comparison.Reset(std::move(*left), std::move(*right));
    comparison.Start();
    if (args.format == OutputFormat::Records) {
        const int status = StreamRecords(comparison, write, codec, error);
        if (status == kExitSuccess)
            error = inputNotes + Notes(comparison);
        return status;
    }

    // The side-by-side views lay out whole rows, so they need the finished list.
    while (comparison.Step()) {
    }
    auto formatted = Format(args, terminal, *options, comparison, codec, error);
    comparison.FreeResultList();
    if (!formatted)
        return kExitFailure;
    if (!write(*formatted)) {
        error = std::string("cannot write the output: ") + std::strerror(errno);
        return kExitFailure;
    }
    error = inputNotes + Notes(comparison);
    return kExitSuccess;
}

} // namespace

int RunCompare(std::span<const std::string_view> argList, const Terminal &terminal,
               const OutputSink &write, std::string &error)
{
    const auto args = ParseArguments(argList, error);
    if (!args)
        return kExitFailure;
    if (args->help) {
        if (!write(UsageText())) {
            error = std::string("cannot write the output: ") + std::strerror(errno);
            return kExitFailure;
        }
        return kExitSuccess;
    }
    try {
        if (args->outputPath.empty()) {
            if (IsBinary(args->format) && terminal.stdoutIsTerminal) {
                error = "will not write a .docx to the terminal: name a file with -o FILE or "
                        "redirect standard output";
                return kExitFailure;
            }
            return Compare(*args, terminal, write, error);
        }
        // Opened first, so that a name that cannot be written fails before the comparison.
        OutputFile file;
        if (!file.Open(args->outputPath, IsBinary(args->format), error))
            return kExitFailure;
        const Terminal toFile{}; // the text format's width and colours as for a pipe
        const int status = Compare(
            *args, toFile, [&file](std::string_view bytes) { return file.Write(bytes); }, error);
        if (status != kExitSuccess)
            return status;
        std::string notes = std::move(error);
        if (!file.Commit(error))
            return kExitFailure;
        error = std::move(notes);
        return kExitSuccess;
    } catch (const std::bad_alloc &) {
        // Reading, comparing or formatting ran out of memory: report it instead of aborting.
        error = "not enough memory to compare " + Quoted(args->leftPath) + " with " +
                Quoted(args->rightPath);
        return kExitFailure;
    }
}

int RunCompare(std::span<const std::string_view> argList, const Terminal &terminal,
               std::string &out, std::string &error)
{
    out.clear();
    const int status = RunCompare(
        argList, terminal,
        [&out](std::string_view bytes) {
            out += bytes;
            return true;
        },
        error);
    if (status != kExitSuccess)
        std::string().swap(out);
    return status;
}

} // namespace kivo::cli
