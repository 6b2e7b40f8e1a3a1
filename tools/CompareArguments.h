#pragma once

#include "CompareOptions.h"
#include "ComparisonTable.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kivo::cli {

enum class OutputFormat { Records, Text, Html, Docx, TableHtml };

/// Whether a format is binary, never to be written to a terminal.
constexpr bool IsBinary(OutputFormat format)
{
    return format == OutputFormat::Docx;
}
enum class ColorMode { Auto, Always, Never };

/// The command line of kivo-compare.
struct CompareArguments {
    std::string leftPath;
    std::string rightPath;
    /// The delimiter set as typed (UTF-8, backslash-n for a line break); none: the default set.
    std::optional<std::string> delimiters;
    int cmpChar = 0;
    int cmpCase = 0;
    int cmpZen = 0;
    int cmpZenSp = 0;
    int cmpKana = 0;
    int cmpPunct = 0;
    int keepQuotes = 0;
    /// Pair deleted and added sentences with equal keys as moves ("movedTo" in the records).
    int moves = 0;
    SentenceLayout viewFormat = SentenceLayout::Aligned;
    /// Read a PDF's running heads, footers and page numbers with its text.
    int pdfHeads = 0;
    /// Keep every first-fit anchor instead of the most anchors.
    bool firstFitAnchors = false;
    OutputFormat format = OutputFormat::Records;
    /// Where the output goes (-o FILE); empty: standard output.
    std::string outputPath;
    /// The old/new comparison table of the docx and table-html formats.
    report::TableOptions table;
    ColorMode color = ColorMode::Auto;
    /// Columns of the text format; 0: the terminal's width, or 80 when stdout is no terminal.
    int width = 0;
    bool help = false;
};

/// Parses the arguments after the program name. Options may stand before, between or after the
/// two file names; "--" ends the options. On failure returns none and sets error to a one-line
/// message that names the option or argument.
std::optional<CompareArguments> ParseArguments(std::span<const std::string_view> args,
                                               std::string &error);

/// The --help text.
std::string_view UsageText();

} // namespace kivo::cli
