// End-to-end tests of the built kivo-compare: files in a temporary folder, the real binary.

#include "CompareTool.h"
#include "Comparison.h"
#include "Cp932Codec.h"
#include "RecordsFormat.h"
#include "RichOptions.h"
#include "ToolRunner.h"
#include "Utf8.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace kivo::test {
namespace {

using namespace std::string_literals;

/// Code page 932 bytes of UTF-8 text that the code page holds.
std::string Sjis(std::string_view utf8)
{
    Cp932Codec codec;
    auto bytes = codec.FromUtf8(utf8);
    EXPECT_TRUE(bytes && codec.PrivateCodesUsed() == 0) << "not code page 932 text: " << utf8;
    return bytes.value_or("");
}

/// The values of one text field ("leftText" or "rightText") of every record, unescaped.
std::vector<std::string> TextsOf(const std::string &records, std::string_view field)
{
    std::vector<std::string> texts;
    const std::string marker = "\"" + std::string(field) + "\":\"";
    for (std::size_t pos = records.find(marker); pos != std::string::npos;
         pos = records.find(marker, pos)) {
        pos += marker.size();
        std::string text;
        for (; pos < records.size() && records[pos] != '"'; ++pos) {
            if (records[pos] != '\\') {
                text += records[pos];
                continue;
            }
            const char c = records[++pos];
            text += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
        }
        texts.push_back(text);
    }
    return texts;
}

std::string Joined(const std::vector<std::string> &texts)
{
    std::string all;
    for (const std::string &t : texts)
        all += t;
    return all;
}

class CompareTool : public testing::Test {
protected:
    TempFolder m_folder;
};

TEST_F(CompareTool, RecordsOfAJapaneseExampleByteForByte)
{
    const auto left = m_folder.Write("left.txt", "今日は晴れ。明日は雨。");
    const auto right = m_folder.Write("right.txt", "今日は晴れ。明日は曇り。午後は雨。");
    const ToolResult r = RunTool({left, right});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(
        r.out,
        R"({"leftIndex":0,"rightIndex":0,"status":1,"sentenceEnd":1,"leftText":"今日は晴れ。","rightText":"今日は晴れ。"}
{"leftIndex":0,"rightIndex":1,"status":3,"sentenceEnd":1,"leftText":"","rightText":"明日は曇り。"}
{"leftIndex":1,"rightIndex":2,"status":2,"sentenceEnd":0,"leftText":"明日","rightText":"午後"}
{"leftIndex":1,"rightIndex":2,"status":1,"sentenceEnd":0,"leftText":"は雨。","rightText":"は雨。"}
{"leftIndex":1,"rightIndex":2,"status":0,"sentenceEnd":1,"leftText":"","rightText":""}
)");
}

TEST_F(CompareTool, APdfPairComparesAsTheTextsItWasMadeFrom)
{
    // Two pages each, with running heads, page numbers and an article over the page break.
    const std::string data = KIVO_PDF_DATA "/regulation-";
    const ToolResult texts = RunTool({data + "old.txt", data + "new.txt"});
    const ToolResult pdfs = RunTool({data + "old.pdf", data + "new.pdf"});
    ASSERT_EQ(pdfs.status, 0) << pdfs.err;
    EXPECT_EQ(pdfs.err, "");
    EXPECT_NE(texts.out.find(R"("status":1,"sentenceEnd":1)"), std::string::npos);
    EXPECT_NE(texts.out.find(R"("status":2,"sentenceEnd":0)"), std::string::npos);
    EXPECT_EQ(pdfs.out, texts.out);
    // Kept on request, the heads differ and the page numbers pair up.
    const ToolResult withHeads =
        RunTool({data + "old.pdf", data + "new.pdf", "--pdf-heads", "--delimiters", "。\\n"});
    ASSERT_EQ(withHeads.status, 0) << withHeads.err;
    EXPECT_NE(
        withHeads.out.find(R"("status":3,"sentenceEnd":0,"leftText":"","rightText":"（改正案）")"),
        std::string::npos)
        << withHeads.out;
    EXPECT_NE(withHeads.out.find(R"("status":1,"sentenceEnd":1,"leftText":"- 2 -")"),
              std::string::npos);
}

TEST_F(CompareTool, AFifoIsWaitedForAndReadLikeAFile)
{
    // Unlike the application, the tool reads pipes as other command-line tools do.
    const std::string fifo = (m_folder.Path() / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto text = m_folder.Write("text.txt", "今日は晴れ。");
    ToolResult fromFifo;
    std::thread tool([&] { fromFifo = RunTool({fifo, text}); });
    // This open returns only once the tool has opened the FIFO to read it.
    const int writer = ::open(fifo.c_str(), O_WRONLY);
    ASSERT_GE(writer, 0);
    EXPECT_EQ(::write(writer, "今日は晴れ。", std::strlen("今日は晴れ。")),
              static_cast<ssize_t>(std::strlen("今日は晴れ。")));
    ::close(writer);
    tool.join();
    EXPECT_EQ(fromFifo.status, 0) << fromFifo.err;
    EXPECT_EQ(fromFifo.out, RunTool({text, text}).out);
}

TEST_F(CompareTool, PairsTheMostEqualSentencesUnlessAskedForFirstFit)
{
    // 後述。 occurs again far ahead on the right: first-fit pairs it there and loses A and B.
    const auto left = m_folder.Write("left.txt", "後述。A。B。");
    const auto right = m_folder.Write("right.txt", "A。B。後述。");
    const std::string pairA =
        R"({"leftIndex":1,"rightIndex":0,"status":1,"sentenceEnd":1,"leftText":"A。","rightText":"A。"})";
    const ToolResult most = RunTool({left, right});
    ASSERT_EQ(most.status, 0) << most.err;
    EXPECT_EQ(most.err, "");
    EXPECT_NE(most.out.find(pairA), std::string::npos) << most.out;
    const ToolResult firstFit = RunTool({left, right, "--first-fit-anchors"});
    ASSERT_EQ(firstFit.status, 0) << firstFit.err;
    EXPECT_EQ(firstFit.out.find(pairA), std::string::npos) << firstFit.out;
    EXPECT_NE(
        firstFit.out.find(
            R"({"leftIndex":0,"rightIndex":2,"status":1,"sentenceEnd":1,"leftText":"後述。","rightText":"後述。"})"),
        std::string::npos)
        << firstFit.out;
}

TEST_F(CompareTool, NotesALongPairMatchedByAnEditScript)
{
    std::string left, right;
    for (int n = 0; n < 3000; ++n) {
        left += "あいうえお";
        right += "あいうえか";
    }
    const ToolResult r =
        RunTool({m_folder.Write("left.txt", left), m_folder.Write("right.txt", right)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "kivo-compare: note: 1 long sentence pair(s) differ in too many places to "
                     "find the longest common runs first; the rest of each was matched by a "
                     "shortest edit script with a cost limit\n");
    EXPECT_EQ(Joined(TextsOf(r.out, "leftText")), left);
    EXPECT_EQ(Joined(TextsOf(r.out, "rightText")), right);
}

TEST_F(CompareTool, RichTextIsComparedForItsTextAndOneCutShortIsNoted)
{
    const std::string whole =
        R"({\rtf1\ansi\ansicpg932{\b \'8d\'a1\'93\'fa\'82\'cd}\'90\'b0\'82\'ea\'81\'42})";
    const std::string cut = whole.substr(0, whole.size() - 9);
    const ToolResult r =
        RunTool({m_folder.Write("whole.rtf", whole), m_folder.Write("cut.rtf", cut)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Joined(TextsOf(r.out, "leftText")), "今日は晴れ。");
    EXPECT_EQ(Joined(TextsOf(r.out, "rightText")), "今日は晴れ");
    EXPECT_EQ(r.err, "kivo-compare: note: '" + (m_folder.Path() / "cut.rtf").string() +
                         "' ends early (a rich-text file cut short); only the part read is "
                         "compared\n");
}

TEST_F(CompareTool, JsonEscapesEverySpecialCharacter)
{
    // Quote, backslash, backspace, form feed, tab, a line break (written as CR), two other
    // controls, DEL, and characters that stay as they are.
    const std::string text = "a\"b\\c\b\f\td\ne\x01\x1f\x7f é😀。";
    const auto file = m_folder.Write("escape.txt", text);
    const ToolResult r = RunTool({file, file});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string escaped = R"(a\"b\\c\b\f\td\re\u0001\u001f)"s + "\x7f é😀。";
    EXPECT_EQ(r.out, R"({"leftIndex":0,"rightIndex":0,"status":1,"sentenceEnd":1,"leftText":")" +
                         escaped + R"(","rightText":")" + escaped + "\"}\n");
}

TEST_F(CompareTool, Utf8AndCodePage932InputsGiveTheSameRecords)
{
    const std::string left = "今日は晴れ。\n明日は雨。ｶﾀｶﾅ、ＡＢＣ。";
    const std::string right = "今日は曇り。\n明日は雨。ｶﾀｶﾅ、ＡＢＣです。";
    const ToolResult utf8 =
        RunTool({m_folder.Write("l8.txt", left), m_folder.Write("r8.txt", right)});
    const ToolResult bom = RunTool({m_folder.Write("lb.txt", "\xEF\xBB\xBF" + left),
                                    m_folder.Write("rb.txt", "\xEF\xBB\xBF" + right)});
    const ToolResult sjis =
        RunTool({m_folder.Write("ls.txt", Sjis(left)), m_folder.Write("rs.txt", Sjis(right))});
    const ToolResult mixed =
        RunTool({m_folder.Write("lm.txt", Sjis(left)), m_folder.Write("rm.txt", right)});
    ASSERT_EQ(utf8.status, 0) << utf8.err;
    EXPECT_NE(utf8.out, "");
    EXPECT_EQ(bom.out, utf8.out);
    EXPECT_EQ(sjis.out, utf8.out);
    EXPECT_EQ(mixed.out, utf8.out);
}

/// UTF-16 with its byte-order mark, as editors save "Unicode" text.
std::string Utf16(std::string_view utf8, bool bigEndian)
{
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    const auto unit = [&](char32_t u) {
        const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    };
    for (std::size_t pos = 0; pos < utf8.size();) {
        char32_t c = 0;
        EXPECT_TRUE(utf8::Decode(utf8, pos, c));
        if (c >= 0x10000) {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            unit(c);
        }
    }
    return out;
}

TEST_F(CompareTool, Utf16InputsGiveTheSameRecordsAsUtf8)
{
    const std::string left = "今日は晴れ。\r\n〜😀です。";
    const std::string right = "今日は曇り。\r\n〜😀です。";
    const ToolResult utf8 =
        RunTool({m_folder.Write("l8.txt", left), m_folder.Write("r8.txt", right)});
    const ToolResult le = RunTool({m_folder.Write("le.txt", Utf16(left, false)),
                                   m_folder.Write("re.txt", Utf16(right, false))});
    const ToolResult be = RunTool({m_folder.Write("lb.txt", Utf16(left, true)),
                                   m_folder.Write("rb.txt", Utf16(right, true))});
    ASSERT_EQ(utf8.status, 0) << utf8.err;
    ASSERT_EQ(le.status, 0) << le.err;
    EXPECT_EQ(le.out, utf8.out);
    EXPECT_EQ(be.out, utf8.out);

    // A UTF-16 file cut in the middle of a unit is refused with its reason.
    const ToolResult cut = RunTool(
        {m_folder.Write("cut.txt", Utf16(left, false) + "x"), m_folder.Write("r.txt", right)});
    EXPECT_EQ(cut.status, 2);
    EXPECT_NE(cut.err.find("cut.txt' is UTF-16 text cut short"), std::string::npos) << cut.err;
}

TEST_F(CompareTool, CharactersTheCodePageCannotHoldComeOutUnchanged)
{
    // 〜 and ～ share one code in the code page; they must stay two different characters.
    const std::string left = "é😀〜¥𠮷\uE000ⅰ。";
    const std::string right = "é😀～¥𠮷\uE000ⅰ。";
    const ToolResult r = RunTool({m_folder.Write("l.txt", left), m_folder.Write("r.txt", right)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Joined(TextsOf(r.out, "leftText")), left);
    EXPECT_EQ(Joined(TextsOf(r.out, "rightText")), right);
    EXPECT_EQ(r.out.find("\"status\":1,\"sentenceEnd\":1"), std::string::npos)
        << "the two sentences differ, so they are no Same pair: " << r.out;

    const auto same = m_folder.Write("same.txt", left);
    const ToolResult s = RunTool({same, same});
    EXPECT_EQ(TextsOf(s.out, "leftText"), std::vector<std::string>{left});
}

TEST_F(CompareTool, UserDefinedCodesOfACodePage932FileKeepTheirMeaning)
{
    // F0 40 is the code page's U+E000. The right file's é gets a private code too; reading both
    // files before encoding keeps the two apart.
    const ToolResult r =
        RunTool({m_folder.Write("l.txt", "\xF0\x40\x81\x42"), m_folder.Write("r.txt", "é。")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Joined(TextsOf(r.out, "leftText")), "\uE000。");
    EXPECT_EQ(Joined(TextsOf(r.out, "rightText")), "é。");
}

struct LineBreakCase {
    const char *name;
    const char *text;
    friend void PrintTo(const LineBreakCase &c, std::ostream *os) { *os << c.name; }
};

class CompareToolLineBreaks : public testing::TestWithParam<LineBreakCase> {
protected:
    TempFolder m_folder;
};

TEST_P(CompareToolLineBreaks, AllBecomeOneCarriageReturn)
{
    // Keep the layout (view format 1) so the line breaks stay in the texts.
    const auto reference = m_folder.Write("lf.txt", "一行目。\n二行目\n\n三行目。\n");
    const auto file = m_folder.Write("case.txt", GetParam().text);
    const ToolResult expected = RunTool({reference, reference, "--view-format", "1"});
    const ToolResult r = RunTool({file, file, "--view-format", "1"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected.out);
    EXPECT_EQ(Joined(TextsOf(r.out, "leftText")), "一行目。\r二行目\r\r三行目。\r");
    const ToolResult sjis =
        RunTool({m_folder.Write("sjis.txt", Sjis(GetParam().text)), file, "--view-format", "1"});
    EXPECT_EQ(sjis.out, expected.out);
}

INSTANTIATE_TEST_SUITE_P(
    CompareTool, CompareToolLineBreaks,
    testing::Values(LineBreakCase{"Lf", "一行目。\n二行目\n\n三行目。\n"},
                    LineBreakCase{"CrLf", "一行目。\r\n二行目\r\n\r\n三行目。\r\n"},
                    LineBreakCase{"Cr", "一行目。\r二行目\r\r三行目。\r"},
                    LineBreakCase{"Mixed", "一行目。\r\n二行目\n\r三行目。\r\n"}),
    [](const auto &param) { return std::string(param.param.name); });

TEST_F(CompareTool, DelimitersAsTyped)
{
    const auto file = m_folder.Write("t.txt", "あ、い\nう");
    const ToolResult comma = RunTool({file, file, "--delimiters", "、"});
    EXPECT_EQ(TextsOf(comma.out, "leftText"), (std::vector<std::string>{"あ、", "い\rう"}));
    const ToolResult lineBreak = RunTool({file, file, "--delimiters=\\n"});
    EXPECT_EQ(TextsOf(lineBreak.out, "leftText"), (std::vector<std::string>{"あ、い", "う"}));
    const ToolResult none = RunTool({file, file, "--delimiters", ""});
    EXPECT_EQ(TextsOf(none.out, "leftText"), std::vector<std::string>{"あ、い\rう"});
}

TEST_F(CompareTool, ComparisonRulesReachTheEngine)
{
    const auto left = m_folder.Write("l.txt", "ABC。");
    const auto right = m_folder.Write("r.txt", "abc。");
    EXPECT_EQ(RunTool({left, right}).out.find("\"status\":1,\"sentenceEnd\":1"), std::string::npos);
    EXPECT_NE(RunTool({left, right, "--cmp-case"}).out.find("\"status\":1,\"sentenceEnd\":1"),
              std::string::npos);
}

TEST_F(CompareTool, TextFormatColoursOnlyWhenAsked)
{
    const auto left = m_folder.Write("l.txt", "今日は晴れ。");
    const auto right = m_folder.Write("r.txt", "今日は雨。");
    const ToolResult plain = RunTool({left, right, "--format", "text"});
    const ToolResult never = RunTool({left, right, "--format=text", "--color=never"});
    const ToolResult always = RunTool({left, right, "--format", "text", "--color=always"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.out.find('\x1b'), std::string::npos); // stdout is a file, not a terminal
    EXPECT_EQ(never.out, plain.out);
    EXPECT_NE(always.out.find("\x1b[1;31m"), std::string::npos) << always.out; // Changed
    EXPECT_NE(plain.out.find("今日は"), std::string::npos);
    EXPECT_NE(plain.out.find(" | "), std::string::npos);
}

TEST_F(CompareTool, HtmlIsOneEscapedPage)
{
    const auto file = m_folder.Write("l.txt", "<b>&\"'\n二行目。");
    const ToolResult r = RunTool({file, file, "--format", "html"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("<!DOCTYPE html>")) << r.out;
    EXPECT_TRUE(r.out.ends_with("</html>\n"));
    EXPECT_NE(r.out.find("<span class=\"s1\">&lt;b&gt;&amp;&quot;&#39;<br>二行目。</span>"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("<b>"), std::string::npos);
    EXPECT_NE(r.out.find("text-decoration:line-through"), std::string::npos);
}

TEST_F(CompareTool, TableFormatsAndTheOutputFile)
{
    const auto left = m_folder.Write("l.txt", "第1条　甲とする。\n第2条　同じ。");
    const auto right = m_folder.Write("r.txt", "第1条　乙とする。\n第2条　同じ。");
    const ToolResult page = RunTool({left, right, "--format", "table-html", "--table-remarks"});
    ASSERT_EQ(page.status, 0) << page.err;
    EXPECT_NE(page.out.find("<tr><td><p>第1条　<span class=\"u\">乙</span>とする。</p></td><td><p>"
                            "第1条　<span class=\"u\">甲</span>とする。</p></td><td "
                            "class=\"remark\">(変更)</td></tr>"),
              std::string::npos)
        << page.out;

    // A .docx goes to a pipe as it is asked; -o replaces a file whole and keeps its mode.
    const ToolResult piped = RunTool({left, right, "--format", "docx"});
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_TRUE(piped.out.starts_with("PK\x03\x04"));
    const auto target = m_folder.Write("t.docx", "old contents");
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    const ToolResult written = RunTool({left, right, "--format=docx", "-o", target});
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(written.out, "");
    std::ifstream file(target, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, piped.out);
    struct stat status {};
    ASSERT_EQ(stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);

    // A failed run leaves the old file and nothing beside it.
    const ToolResult failed = RunTool({left, "missing.txt", "--format=docx", "-o", target});
    EXPECT_EQ(failed.status, 2);
    std::ifstream again(target, std::ios::binary);
    EXPECT_EQ(
        std::string((std::istreambuf_iterator<char>(again)), std::istreambuf_iterator<char>()),
        bytes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_folder.Path()),
                            std::filesystem::directory_iterator()),
              3);
}

TEST(CompareToolTerminal, ADocxIsNeverWrittenToATerminal)
{
    cli::Terminal terminal;
    terminal.stdoutIsTerminal = true;
    std::string out, error;
    const std::vector<std::string_view> args{"a.txt", "b.txt", "--format", "docx"};
    EXPECT_EQ(cli::RunCompare(args, terminal, out, error), cli::kExitFailure);
    EXPECT_TRUE(error.starts_with("will not write a .docx to the terminal")) << error;
    EXPECT_EQ(out, "");
}

TEST_F(CompareTool, HelpGoesToStdout)
{
    const ToolResult r = RunTool({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.starts_with("Usage: kivo-compare LEFT RIGHT")) << r.out;
    EXPECT_EQ(r.err, "");
}

TEST_F(CompareTool, RunningOutOfMemoryIsAnErrorNotAnAbort)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP()
        << "AddressSanitizer reserves its shadow memory beyond any small address-space limit";
#endif
    // Two texts of 24 MB each cannot be read, converted and compared in 160 MB of address space.
    std::string text;
    for (int n = 0; text.size() < (24u << 20); ++n)
        text += "今日は晴れ" + std::to_string(n) + "。";
    const auto left = m_folder.Write("left.txt", text);
    const auto right = m_folder.Write("right.txt", text + "明日は雨。");
    const ToolResult r = RunTool({left, right}, 160 * 1024);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "kivo-compare: not enough memory to compare '" + left + "' with '" + right + "'\n");
}

TEST(CompareToolStreaming, WritesRecordsAsTheyAreFinishedWithTheWholeListsBytes)
{
    // Many sentences, some changed, so that records are handed on while pairs are still
    // compared; the pieces joined must be exactly the records of the finished comparison.
    std::string left, right;
    for (int n = 0; n < 3000; ++n) {
        const std::string sentence = Sjis("今日は晴れ" + std::to_string(n) + "。");
        left += sentence;
        right += n % 7 ? sentence : Sjis("明日は雨" + std::to_string(n) + "。");
        if (n % 11 == 0)
            right += Sjis("午後は曇り。");
    }
    const TempFolder folder;
    const std::string leftPath = folder.Write("left.txt", left);
    const std::string rightPath = folder.Write("right.txt", right);
    const std::vector<std::string_view> args = {leftPath, rightPath};
    std::vector<std::string> pieces;
    std::string error;
    ASSERT_EQ(cli::RunCompare(
                  args, cli::Terminal{},
                  [&](std::string_view bytes) {
                      pieces.emplace_back(bytes);
                      return true;
                  },
                  error),
              cli::kExitSuccess)
        << error;
    EXPECT_GT(pieces.size(), 2u) << "written in pieces, not once at the end";

    RichOptions options;
    ProgressModel progress;
    Comparison whole(options, progress);
    whole.RunToCompletion(left, right);
    const auto expected = cli::FormatRecords(whole.Results(), Cp932Codec::Shared(), error);
    ASSERT_TRUE(expected) << error;
    EXPECT_EQ(Joined(pieces), *expected);
}

TEST(CompareToolStreaming, AFailedWriteEndsWithExitTwo)
{
    const TempFolder folder;
    const std::string path = folder.Write("text.txt", Sjis("今日は晴れ。明日は雨。"));
    const std::vector<std::string_view> args = {path, path};
    std::string error;
    errno = 0;
    EXPECT_EQ(cli::RunCompare(
                  args, cli::Terminal{}, [](std::string_view) { return false; }, error),
              cli::kExitFailure);
    EXPECT_TRUE(error.starts_with("cannot write the output")) << error;
}

struct ErrorCase {
    const char *name;
    std::vector<std::string> args; // "GOOD", "BINARY", "NUL", "CUT", "MANY", "FOLDER": files
    const char *named;             // what the message must name
    friend void PrintTo(const ErrorCase &c, std::ostream *os) { *os << c.name; }
};

/// More different characters outside code page 932 than there are private codes.
std::string ManyUnholdableCharacters()
{
    std::string text;
    for (char32_t c = 0x20000; c <= 0x20000 + Cp932Codec::kPrivateCodeCount; ++c)
        utf8::Append(text, c);
    return text;
}

class CompareToolErrors : public testing::TestWithParam<ErrorCase> {
protected:
    TempFolder m_folder;
};

TEST_P(CompareToolErrors, ExitTwoWithOneLineAndNoOutput)
{
    std::string binary = "\x7F"
                         "ELF\x02\x01\x01";
    binary += std::string(16, '\0') + "\xFF\xFE\x80";
    std::vector<std::string> args;
    for (const std::string &arg : GetParam().args) {
        if (arg == "GOOD")
            args.push_back(m_folder.Write("good.txt", "今日は晴れ。"));
        else if (arg == "BINARY")
            args.push_back(m_folder.Write("program.bin", binary));
        else if (arg == "NUL")
            args.push_back(m_folder.Write("nul.txt", "text\0more"s));
        else if (arg == "CUT")
            args.push_back(m_folder.Write("cut.txt", "日本語の文。\n二行目。\xE3\x81"));
        else if (arg == "MANY")
            args.push_back(m_folder.Write("many.txt", ManyUnholdableCharacters()));
        else if (arg == "FOLDER")
            args.push_back(m_folder.Path().string());
        else
            args.push_back(arg);
    }
    const ToolResult r = RunTool(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.err.starts_with("kivo-compare: ")) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
    EXPECT_NE(r.err.find(GetParam().named), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    CompareTool, CompareToolErrors,
    testing::Values(
        ErrorCase{"MissingFile", {"GOOD", "no-such-file.txt"}, "no-such-file.txt': not found"},
        ErrorCase{"EndlessDevice", {"/dev/zero", "GOOD"}, "larger than 256 MiB"},
        ErrorCase{"Folder", {"FOLDER", "GOOD"}, "': a folder, not a file"},
        ErrorCase{"BinaryFile", {"BINARY", "GOOD"}, "program.bin' is not text: NUL"},
        ErrorCase{"NulInUtf8", {"GOOD", "NUL"}, "nul.txt' is not text: NUL"},
        ErrorCase{"Utf8CutShort", {"GOOD", "CUT"}, "cut.txt' is UTF-8 text that breaks at byte 31"},
        ErrorCase{"PrivateCodesUsedUp", {"GOOD", "MANY"}, "many.txt"},
        ErrorCase{"UnknownOption", {"GOOD", "GOOD", "--bogus"}, "--bogus"},
        ErrorCase{"BadFormat", {"GOOD", "GOOD", "--format", "xml"}, "--format"},
        ErrorCase{"BadViewFormat", {"GOOD", "GOOD", "--view-format=2"}, "--view-format"},
        ErrorCase{"BadColor", {"GOOD", "GOOD", "--color=sometimes"}, "--color"},
        ErrorCase{"MissingValue", {"GOOD", "GOOD", "--delimiters"}, "--delimiters"},
        ErrorCase{"DelimitersNotUtf8", {"GOOD", "GOOD", "--delimiters", "\xFF"}, "--delimiters"},
        ErrorCase{"FlagWithValue", {"GOOD", "GOOD", "--cmp-case=1"}, "--cmp-case"},
        ErrorCase{"OneFile", {"GOOD"}, "LEFT and RIGHT"},
        ErrorCase{"ThreeFiles", {"GOOD", "GOOD", "extra.txt"}, "extra.txt"},
        ErrorCase{"EncryptedPdf",
                  {"GOOD", KIVO_PDF_DATA "/encrypted.pdf"},
                  "encrypted.pdf': an encrypted PDF, which needs a password"},
        ErrorCase{"PdfWithoutText",
                  {KIVO_PDF_DATA "/image-only.pdf", "GOOD"},
                  "image-only.pdf': a PDF without text (pages of images only)"}),
    [](const auto &param) { return std::string(param.param.name); });

} // namespace
} // namespace kivo::test
