#include "CompareArguments.h"

#include "MessageText.h"

#include <charconv>
#include <vector>

namespace kivo::cli {

namespace {

constexpr int kMinimumWidth = 20; // two columns of 8 plus the middle gutter still make sense
constexpr int kMaximumWidth = 10000;

constexpr std::string_view kUsage =
    R"(Usage: kivo-compare LEFT RIGHT [options]

Compares two Japanese texts sentence by sentence. Each file is read as UTF-8 when it is valid
UTF-8 (with or without a byte-order mark), and as code page 932 (Shift-JIS) otherwise; a file
that begins with %PDF- is read as a PDF document for its text.

Options:
  --delimiters TEXT   characters that end a sentence (default 。｡); \n stands for a line break
  --cmp-char          compare letters and digits one character at a time, not as words
  --cmp-case          ignore letter case
  --cmp-zen           ignore the difference between full-width and half-width forms
  --cmp-zensp         ignore the difference between full-width and half-width spaces
  --cmp-kana          ignore the difference between hiragana and katakana
  --cmp-punct         ignore the difference between 、，､ and between 。．｡
  --keep-quotes       a delimiter inside brackets such as 「」 does not end a sentence
  --moves             show a deleted sentence equal to an added one as moved: each record
                      of a moved sentence gets "movedTo", the index of its other end
  --pdf-heads         read a PDF's running heads, footers and page numbers too (by default
                      they are left out)
  --view-format 0|1   0: one sentence pair per row (default); 1: keep the texts' own lines
  --format FORMAT     records (default): JSON Lines, one result record per line;
                      text: side by side for a terminal; html: one self-contained page;
                      docx: the old/new comparison table (新旧対照表) as a word-processor
                      document, written with -o or to a standard output that is no
                      terminal; table-html: the same table as one self-contained page
  -o, --output FILE   write the output to FILE (replaced whole once it is complete)
                      instead of standard output; a terminal is refused for docx
  --table-title TEXT  the table's title (default 新旧対照表; empty for none)
  --table-headings NEW,OLD
                      the column heads, the new text's first (default 改正後,改正前)
  --table-old-left    the old text in the left column (by default the new text is there)
  --table-remarks     a third column 備考: (新設), (削除) or (変更) for each row
  --table-omit-same   each run of unchanged rows becomes one row reading （略）
  --table-colours     Kivo's colours of the statuses instead of black underlines
  --color[=WHEN]      colour the text format: always, never or auto (default: when stdout
                      is a terminal); --color alone means always
  --width N           columns of the text format (default: the terminal's, or 80)
  --first-fit-anchors pair each sentence with the first equal sentence after the previous
                      pair, however far ahead, as older versions did; by default the pairs of
                      equal sentences are as many as any alignment can have
  --help              show this help

Where a comparison is too costly to do exactly, a note on standard error says what was done
instead. Exit status: 0 when the comparison ran, 2 on bad arguments or unreadable files.
)";

/// A value option: "--name VALUE" or "--name=VALUE".
struct ValueOption {
    std::string_view name;
    std::optional<std::string_view> value; // set when given as --name=VALUE
};

std::optional<int> ParseInt(std::string_view text)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

class Parser {
public:
    Parser(std::span<const std::string_view> args, std::string &error)
        : m_args(args), m_error(error)
    {}

    std::optional<CompareArguments> Run()
    {
        std::vector<std::string_view> files;
        bool optionsEnded = false;
        for (m_pos = 0; m_pos < m_args.size(); ++m_pos) {
            const std::string_view arg = m_args[m_pos];
            if (optionsEnded || arg == "-" || !arg.starts_with("-")) {
                files.push_back(arg);
                continue;
            }
            if (arg == "--") {
                optionsEnded = true;
                continue;
            }
            if (!Option(arg))
                return std::nullopt;
        }
        if (m_result.help)
            return m_result;
        if (files.size() != 2) {
            m_error = files.size() < 2 ? "expected two files, LEFT and RIGHT (see --help)"
                                       : "too many files: " + Quoted(files[2]) +
                                             "; expected LEFT and RIGHT (see --help)";
            return std::nullopt;
        }
        m_result.leftPath = files[0];
        m_result.rightPath = files[1];
        const bool table =
            m_result.format == OutputFormat::Docx || m_result.format == OutputFormat::TableHtml;
        if (!m_tableOption.empty() && !table) {
            m_error =
                "option " + Quoted(m_tableOption) + " needs --format docx or --format table-html";
            return std::nullopt;
        }
        return m_result;
    }

private:
    bool Option(std::string_view arg)
    {
        const std::size_t eq = arg.find('=');
        ValueOption opt{arg.substr(0, eq), std::nullopt};
        if (eq != std::string_view::npos)
            opt.value = arg.substr(eq + 1);

        if (opt.name == "--help" || opt.name == "-h")
            return Flag(opt, m_result.help);
        if (opt.name == "--cmp-char")
            return Flag(opt, m_result.cmpChar);
        if (opt.name == "--cmp-case")
            return Flag(opt, m_result.cmpCase);
        if (opt.name == "--cmp-zen")
            return Flag(opt, m_result.cmpZen);
        if (opt.name == "--cmp-zensp")
            return Flag(opt, m_result.cmpZenSp);
        if (opt.name == "--cmp-kana")
            return Flag(opt, m_result.cmpKana);
        if (opt.name == "--cmp-punct")
            return Flag(opt, m_result.cmpPunct);
        if (opt.name == "--keep-quotes")
            return Flag(opt, m_result.keepQuotes);
        if (opt.name == "--moves")
            return Flag(opt, m_result.moves);
        if (opt.name == "--pdf-heads")
            return Flag(opt, m_result.pdfHeads);
        if (opt.name == "--first-fit-anchors")
            return Flag(opt, m_result.firstFitAnchors);
        if (opt.name == "--delimiters") {
            const auto value = Value(opt);
            if (value)
                m_result.delimiters = std::string(*value);
            return value.has_value();
        }
        if (opt.name == "--view-format")
            return ViewFormat(opt);
        if (opt.name == "--format")
            return Format(opt);
        if (opt.name == "--color" || opt.name == "--colour")
            return Color(opt);
        if (opt.name == "--width")
            return Width(opt);
        if (opt.name == "-o" || opt.name == "--output")
            return Output(opt);
        if (opt.name.starts_with("--table-"))
            return TableOption(opt);
        m_error = "unknown option " + Quoted(opt.name) + " (see --help)";
        return false;
    }

    template <typename T> bool Flag(const ValueOption &opt, T &field)
    {
        if (opt.value) {
            m_error = "option " + Quoted(opt.name) + " takes no value";
            return false;
        }
        field = 1;
        return true;
    }

    /// The value of opt: after '=' or the next argument.
    std::optional<std::string_view> Value(const ValueOption &opt)
    {
        if (opt.value)
            return opt.value;
        if (m_pos + 1 >= m_args.size()) {
            m_error = "option " + Quoted(opt.name) + " needs a value";
            return std::nullopt;
        }
        return m_args[++m_pos];
    }

    bool BadValue(const ValueOption &opt, std::string_view value, const std::string &expected)
    {
        m_error = "bad value " + Quoted(value) + " for " + std::string(opt.name) + ": expected " +
                  expected;
        return false;
    }

    bool ViewFormat(const ValueOption &opt)
    {
        const auto value = Value(opt);
        if (!value)
            return false;
        if (*value != "0" && *value != "1")
            return BadValue(opt, *value, "0 or 1");
        m_result.viewFormat = *value == "1" ? SentenceLayout::Unchanged : SentenceLayout::Aligned;
        return true;
    }

    bool Format(const ValueOption &opt)
    {
        const auto value = Value(opt);
        if (!value)
            return false;
        if (*value == "records")
            m_result.format = OutputFormat::Records;
        else if (*value == "text")
            m_result.format = OutputFormat::Text;
        else if (*value == "html")
            m_result.format = OutputFormat::Html;
        else if (*value == "docx")
            m_result.format = OutputFormat::Docx;
        else if (*value == "table-html")
            m_result.format = OutputFormat::TableHtml;
        else
            return BadValue(opt, *value, "records, text, html, docx or table-html");
        return true;
    }

    bool Color(const ValueOption &opt)
    {
        // Only the --color=WHEN form takes a value, so "--color LEFT RIGHT" keeps its files.
        const std::string_view value = opt.value.value_or("always");
        if (value == "always")
            m_result.color = ColorMode::Always;
        else if (value == "never")
            m_result.color = ColorMode::Never;
        else if (value == "auto")
            m_result.color = ColorMode::Auto;
        else
            return BadValue(opt, value, "always, never or auto");
        return true;
    }

    bool Width(const ValueOption &opt)
    {
        const auto value = Value(opt);
        if (!value)
            return false;
        const auto width = ParseInt(*value);
        if (!width || *width < kMinimumWidth || *width > kMaximumWidth)
            return BadValue(opt, *value,
                            "a number of columns from " + std::to_string(kMinimumWidth) + " to " +
                                std::to_string(kMaximumWidth));
        m_result.width = *width;
        return true;
    }

    bool Output(const ValueOption &opt)
    {
        const auto value = Value(opt);
        if (!value)
            return false;
        if (value->empty())
            return BadValue(opt, *value, "a file name");
        m_result.outputPath = *value;
        return true;
    }

    bool TableOption(const ValueOption &opt)
    {
        report::TableOptions &table = m_result.table;
        m_tableOption = opt.name;
        if (opt.name == "--table-old-left")
            return Flag(opt, table.oldLeft);
        if (opt.name == "--table-remarks")
            return Flag(opt, table.remarks);
        if (opt.name == "--table-omit-same")
            return Flag(opt, table.omitSame);
        if (opt.name == "--table-colours" || opt.name == "--table-colors")
            return Flag(opt, table.colours);
        if (opt.name == "--table-title") {
            const auto value = Value(opt);
            if (value)
                table.title = *value;
            return value.has_value();
        }
        if (opt.name == "--table-headings") {
            const auto value = Value(opt);
            if (!value)
                return false;
            const std::size_t comma = value->find(',');
            if (comma == std::string_view::npos || comma == 0 || comma + 1 == value->size() ||
                value->find(',', comma + 1) != std::string_view::npos)
                return BadValue(opt, *value, "two column heads, NEW,OLD");
            const std::string_view newHead = value->substr(0, comma);
            const std::string_view oldHead = value->substr(comma + 1);
            table.headings = report::PresetOf(newHead, oldHead);
            table.ownHeadings = {std::string(newHead), std::string(oldHead)};
            return true;
        }
        m_error = "unknown option " + Quoted(opt.name) + " (see --help)";
        return false;
    }

    std::span<const std::string_view> m_args;
    std::string &m_error;
    std::string_view m_tableOption; // the last --table- option given
    std::size_t m_pos = 0;
    CompareArguments m_result;
};

} // namespace

std::optional<CompareArguments> ParseArguments(std::span<const std::string_view> args,
                                               std::string &error)
{
    return Parser(args, error).Run();
}

std::string_view UsageText()
{
    return kUsage;
}

} // namespace kivo::cli
