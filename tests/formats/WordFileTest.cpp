// Word-processor documents (tests/data/wordfile, made by LibreOffice from sample.fodt there): the
// text and effects each gives; and archives and XML made to do harm, each refused for its reason.
#include "WordFile.h"
#include "RtfTestSupport.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kivo::wordfile {
namespace {

using rtf::test::FormatOf;

std::string Slurp(const std::string &name)
{
    std::ifstream file(std::string(KIVO_WORDFILE_DATA) + "/" + name, std::ios::binary);
    EXPECT_TRUE(file) << name;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

struct Part {
    std::string name;
    std::string bytes;
    bool stored = false;            // kept as they are instead of deflated
    const char *password = nullptr; // encrypted with it, when given
};

/// A zip archive of parts, made in memory with libzip.
std::string MakeZip(const std::vector<Part> &parts)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(buffer);
    zip_t *zip = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    for (const Part &part : parts) {
        zip_source_t *source = zip_source_buffer(zip, part.bytes.data(), part.bytes.size(), 0);
        const zip_int64_t index = zip_file_add(zip, part.name.c_str(), source, ZIP_FL_ENC_UTF_8);
        zip_set_file_compression(zip, static_cast<zip_uint64_t>(index),
                                 part.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 9);
        if (part.password)
            zip_file_set_encryption(zip, static_cast<zip_uint64_t>(index), ZIP_EM_AES_256,
                                    part.password);
    }
    EXPECT_EQ(zip_close(zip), 0);
    std::string bytes;
    zip_source_open(buffer);
    char chunk[4096];
    for (zip_int64_t got; (got = zip_source_read(buffer, chunk, sizeof chunk)) > 0;)
        bytes.append(chunk, static_cast<std::size_t>(got));
    zip_source_close(buffer);
    zip_source_free(buffer);
    zip_error_fini(&error);
    return bytes;
}

const std::string kWordNs = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

std::string Docx(const std::string &body)
{
    return "<?xml version=\"1.0\"?><w:document xmlns:w=\"" + kWordNs + "\"><w:body>" + body +
           "</w:body></w:document>";
}

// The text of sample.fodt; a date field gives the text each word processor's export shows.
std::string SampleText(const std::string &date)
{
    return "吾輩は猫である。名前はまだ無い。\n"
           "太字と斜体と下線と取消線と赤い字。\n"
           "漢字に振り仮名。\n"
           "注のある文です。\n"
           "変更挿入した語との文。\n"
           "一行目\u2028二行目\tタブの後\n"
           "左上\n右上\n左下\n右下\n"
           "日付は" +
           date +
           "です。\n"
           "最後の段落。\n"
           "脚注の本文。";
}

struct SampleRow {
    const char *file;
    std::string date;
};

class WordFileSample : public testing::TestWithParam<SampleRow> {};

TEST_P(WordFileSample, GivesItsTextAndEffects)
{
    FileReason why = FileReason::Other;
    const auto runs = Read(Slurp(GetParam().file), why);
    ASSERT_TRUE(runs) << static_cast<int>(why);
    EXPECT_EQ(rtf::PlainText(*runs), SampleText(GetParam().date));
    EXPECT_TRUE(FormatOf(*runs, "太字").bold);
    EXPECT_TRUE(FormatOf(*runs, "斜体").italic);
    EXPECT_TRUE(FormatOf(*runs, "下線").underline);
    EXPECT_TRUE(FormatOf(*runs, "取消線").strike);
    EXPECT_EQ(FormatOf(*runs, "赤い字").color, ColorRef{0x0000FF});
    const rtf::Format plain = FormatOf(*runs, "吾輩");
    EXPECT_EQ(plain, rtf::Format{});
}

INSTANTIATE_TEST_SUITE_P(LibreOffice, WordFileSample,
                         testing::Values(SampleRow{"sample.docx", "24年1月1日"},
                                         SampleRow{"sample.odt", "1/1/24"}),
                         [](const auto &param) { return std::string(param.param.file).substr(7); });

struct BadRow {
    const char *name;
    std::string bytes;
    FileReason reason;
};

/// An OpenDocument text whose only paragraph holds count elements of 65,536 spaces each: a few
/// bytes that stand for a great deal of text.
std::string OdtOfSpaces(int count)
{
    std::string paragraph;
    for (int i = 0; i < count; ++i)
        paragraph += "<text:s text:c=\"65536\"/>";
    return MakeZip(
        {{"mimetype", "application/vnd.oasis.opendocument.text", true},
         {"content.xml",
          "<?xml version=\"1.0\"?><office:document-content "
          "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
          "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body>"
          "<office:text><text:p>" +
              paragraph + "</text:p></office:text></office:body></office:document-content>"}});
}

/// A .docx whose body claims a compression method no reader knows (the method field of the
/// local header and of the central directory set to 97).
std::string DocxOfUnknownMethod()
{
    std::string zip = MakeZip({{"word/document.xml", Docx("<w:p/>"), true}});
    constexpr char kUnknownMethod = 97;
    const std::size_t local = zip.find("PK\x03\x04");
    const std::size_t central = zip.find("PK\x01\x02");
    zip[local + 8] = kUnknownMethod;
    zip[central + 10] = kUnknownMethod;
    return zip;
}

std::vector<BadRow> BadArchives()
{
    const std::string docx = Slurp("sample.docx");
    // Twenty MiB of spaces packs into some twenty KiB: far more than a hundred to one.
    const std::string bomb =
        Docx("<w:p><w:r><w:t>" + std::string(20 << 20, ' ') + "</w:t></w:r></w:p>");
    const std::string laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE w:document [<!ENTITY a \"hahahahahahahahahaha\">"
        "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
        "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\"><!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;\">"
        "]><w:document xmlns:w=\"" +
        kWordNs +
        "\"><w:body><w:p><w:r><w:t>&e;</w:t></w:r>"
        "</w:p></w:body></w:document>";
    // Well-formed XML still, but not the bytes the checksum was made of.
    std::string badChecksum =
        MakeZip({{"word/document.xml", Docx("<w:p><w:r><w:t>abc</w:t></w:r></w:p>"), true}});
    badChecksum[badChecksum.find("abc")] = 'x';
    return {
        {"CutShort", docx.substr(0, docx.size() / 2), FileReason::DamagedArchive},
        {"OnlyTheHeader", docx.substr(0, 30), FileReason::DamagedArchive},
        {"EmptyArchive", MakeZip({}), FileReason::MissingPart},
        {"FailedChecksum", badChecksum, FileReason::DamagedArchive},
        {"ZipBomb", MakeZip({{"word/document.xml", bomb}}), FileReason::ArchiveBomb},
        {"BillionLaughs", MakeZip({{"word/document.xml", laughs}}), FileReason::DocumentType},
        {"UnclosedXml", MakeZip({{"word/document.xml", Docx("<w:p>").substr(0, 200)}}),
         FileReason::DamagedXml},
        {"UndeclaredEntity", MakeZip({{"word/document.xml", Docx("<w:p>&x;</w:p>")}}),
         FileReason::DamagedXml},
        {"NoBody", MakeZip({{"readme.txt", "hello"}}), FileReason::MissingPart},
        {"OdtOfAnotherKind",
         MakeZip({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet", true},
                  {"content.xml", "<a/>"}}),
         FileReason::MissingPart},
        // 10 KiB and 13 KiB that stand for 65 MB and 2.7 GB of spaces.
        {"OdtOfAThousandSpaceRuns", OdtOfSpaces(1000), FileReason::ExpandsTooFar},
        {"OdtOf41000SpaceRuns", OdtOfSpaces(41000), FileReason::ExpandsTooFar},
        {"Encrypted",
         MakeZip(
             {{"word/document.xml", Docx("<w:p><w:r><w:t>secret</w:t></w:r></w:p>"), false, "pw"}}),
         FileReason::EncryptedArchive},
        {"UnknownCompression", DocxOfUnknownMethod(), FileReason::UnknownCompression},
    };
}

class WordFileBad : public testing::TestWithParam<BadRow> {};

TEST_P(WordFileBad, IsRefusedForItsReason)
{
    FileReason why = FileReason::Other;
    EXPECT_FALSE(Read(GetParam().bytes, why));
    EXPECT_EQ(why, GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(Archives, WordFileBad, testing::ValuesIn(BadArchives()),
                         [](const auto &param) { return std::string(param.param.name); });

} // namespace
} // namespace kivo::wordfile
