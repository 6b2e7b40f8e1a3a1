#include "WordFile.h"

#include "DocxReader.h"
#include "OdtReader.h"
#include "RunBuilder.h"
#include "XmlPump.h"
#include "ZipArchive.h"

#include <array>
#include <new>

namespace kivo::wordfile {

namespace {

constexpr std::string_view kOdtMimeType = "application/vnd.oasis.opendocument.text";
constexpr const char *kDocxBody = "word/document.xml";
constexpr std::array kDocxNotes{"word/footnotes.xml", "word/endnotes.xml"};
constexpr const char *kOdtMimePart = "mimetype";
constexpr const char *kOdtStyles = "styles.xml";
constexpr const char *kOdtContent = "content.xml";

bool ReadDocx(ZipArchive &archive, RunBuilder &out, FileReason &why)
{
    DocxHandler handler(out);
    if (!PumpXml(archive, kDocxBody, handler, why))
        return false;
    for (const char *notes : kDocxNotes) {
        if (archive.Has(notes)) {
            DocxHandler noteHandler(out);
            if (!PumpXml(archive, notes, noteHandler, why))
                return false;
        }
    }
    return true;
}

bool IsOdt(ZipArchive &archive)
{
    if (!archive.Has(kOdtContent))
        return false;
    const auto mime = archive.ReadSmall(kOdtMimePart, kOdtMimeType.size());
    return mime && *mime == kOdtMimeType;
}

bool ReadOdt(ZipArchive &archive, RunBuilder &out, FileReason &why)
{
    OdtHandler handler(out);
    if (archive.Has(kOdtStyles) && !PumpXml(archive, kOdtStyles, handler, why))
        return false;
    if (!PumpXml(archive, kOdtContent, handler, why))
        return false;
    handler.FinishNotes();
    return true;
}

} // namespace

std::optional<rtf::Runs> Read(std::string_view bytes, FileReason &why)
{
    try {
        const auto archive = ZipArchive::Open(bytes, why);
        if (!archive)
            return std::nullopt;
        RunBuilder out(MostProducedBytes(bytes.size()));
        bool read = false;
        if (archive->Has(kDocxBody))
            read = ReadDocx(*archive, out, why);
        else if (IsOdt(*archive))
            read = ReadOdt(*archive, out, why);
        else
            why = FileReason::MissingPart;
        if (!read)
            return std::nullopt;
        if (out.Overflowed()) {
            why = FileReason::ExpandsTooFar;
            return std::nullopt;
        }
        return out.Take();
    } catch (const std::bad_alloc &) {
        why = FileReason::OutOfMemory;
        return std::nullopt;
    }
}

} // namespace kivo::wordfile
