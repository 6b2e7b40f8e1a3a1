// The PDF reader on the test PDFs of tests/data/pdf, made with LibreOffice from the texts beside
// them, and on damaged, encrypted and hostile files.

#include "PdfFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace kivo::pdf {
namespace {

std::string ReadData(const std::string &name)
{
    std::ifstream file(std::string(KIVO_PDF_DATA) + "/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    EXPECT_TRUE(file.good()) << name;
    return bytes.str();
}

/// The text a PDF was made from as the reader gives it: a table row's cells one per line, no
/// line break at the end.
std::string SourceText(const std::string &name)
{
    std::string text = ReadData(name);
    for (char &c : text) {
        if (c == '|')
            c = '\n';
    }
    while (text.ends_with('\n'))
        text.pop_back();
    return text;
}

std::optional<std::string> ReadPdf(const std::string &bytes, bool keepRunningHeads = false,
                                   FileReason *whyOut = nullptr)
{
    ReadOptions options;
    options.keepRunningHeads = keepRunningHeads;
    FileReason why = FileReason::Other;
    auto text = Read(bytes, options, why);
    if (whyOut)
        *whyOut = why;
    return text;
}

TEST(PdfFile, EachPdfGivesTheTextItWasMadeFrom)
{
    // Two A4 pages each, with a running head and "- N -" at the foot: a Japanese paragraph and
    // a Latin one with a hyphen at a line's end go over the page break, sample.pdf has a table.
    for (const char *name : {"sample", "regulation-old", "regulation-new"}) {
        const std::string pdf = ReadData(std::string(name) + ".pdf");
        ASSERT_TRUE(HasSignature(pdf));
        FileReason why = FileReason::Other;
        const auto text = ReadPdf(pdf, false, &why);
        ASSERT_TRUE(text) << name << ": " << ReasonInEnglish(why);
        EXPECT_EQ(*text, SourceText(std::string(name) + ".txt")) << name;
        // Read apart and read here agree.
        EXPECT_EQ(ReadHere(pdf, {}, why), text) << name;
    }
}

TEST(PdfFile, RunningHeadsAndPageNumbersAreKeptOnRequest)
{
    const auto text = ReadPdf(ReadData("sample.pdf"), true);
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->starts_with("文書管理規程（改正案）\n第一章　総則\n")) << *text;
    EXPECT_NE(text->find("延長後の\n- 1 -\n文書管理規程（改正案）\n期間を記録"), std::string::npos);
    EXPECT_TRUE(text->ends_with("施行する。\n- 2 -"));
}

TEST(PdfFile, BadPdfsAreRefusedWithTheirReason)
{
    const std::string sample = ReadData("sample.pdf");
    struct Row {
        std::string what;
        std::string bytes;
        FileReason why;
    };
    std::vector<Row> rows = {
        {"only the signature", "%PDF-", FileReason::DamagedPdf},
        {"no objects", "%PDF-1.7\nnothing here\n%%EOF\n", FileReason::DamagedPdf},
        {"needs a password", ReadData("encrypted.pdf"), FileReason::EncryptedPdf},
        {"a picture only", ReadData("image-only.pdf"), FileReason::PdfWithoutText},
        // poppler refuses the object stream, so the page has no font to show its text with.
        {"a billion objects", ReadData("object-bomb.pdf"), FileReason::PdfWithoutText},
    };
    for (const std::size_t cut : {std::size_t{100}, sample.size() / 4, sample.size() / 2,
                                  sample.size() * 3 / 4, sample.size() - 8})
        rows.push_back(
            {"cut at " + std::to_string(cut), sample.substr(0, cut), FileReason::DamagedPdf});
    for (const Row &row : rows) {
        FileReason why = FileReason::Other;
        EXPECT_FALSE(ReadPdf(row.bytes, false, &why)) << row.what;
        EXPECT_EQ(why, row.why) << row.what << ": " << ReasonInEnglish(why);
    }
}

TEST(PdfFile, APageThatTakesTooLongIsGivenUp)
{
    // 250,000 tiny words on one page take poppler most of a minute to lay out.
    ReadOptions options;
    options.secondsPerPage = 1;
    FileReason why = FileReason::Other;
    EXPECT_FALSE(Read(ReadData("crowded.pdf"), options, why));
    EXPECT_EQ(why, FileReason::PdfTooComplex) << ReasonInEnglish(why);
}

TEST(PdfFile, AReadingStopsWhenAsked)
{
    ReadOptions options;
    int asked = 0;
    options.stopRequested = [&asked] { return ++asked == 3; };
    FileReason why = FileReason::Other;
    EXPECT_FALSE(Read(ReadData("crowded.pdf"), options, why));
    EXPECT_EQ(why, FileReason::Stopped) << ReasonInEnglish(why);
    EXPECT_EQ(asked, 3);
}

TEST(PdfFile, OnlyTheSignatureAtTheStartMakesAPdf)
{
    EXPECT_TRUE(HasSignature("%PDF-1.4\n"));
    EXPECT_FALSE(HasSignature(" %PDF-1.4"));
    EXPECT_FALSE(HasSignature("%pdf-1.4"));
    EXPECT_FALSE(HasSignature("%PDF"));
}

} // namespace
} // namespace kivo::pdf
