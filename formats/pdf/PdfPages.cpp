#include "PdfPages.h"

#include "Utf8.h"

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-page.h>

#include <climits>
#include <memory>
#include <new>

namespace kivo::pdf {

namespace {

/// A complete PDF ends with this marker, followed at most by a little white space or padding.
constexpr std::string_view kEndMarker = "%%EOF";
constexpr std::size_t kEndMarkerReach = 1024;
constexpr char32_t kReplacement = 0xFFFD;

void Silent(const std::string &, void *)
{}

bool EndsComplete(std::string_view bytes)
{
    const std::size_t from = bytes.size() > kEndMarkerReach ? bytes.size() - kEndMarkerReach : 0;
    return bytes.find(kEndMarker, from) != std::string_view::npos;
}

/// A word's text as the windows can hold it: bytes that are no UTF-8 (an unpaired surrogate in
/// the file) become U+FFFD, control characters (NUL, line breaks, tabs) a space.
std::string CleanText(const poppler::byte_array &bytes)
{
    const std::string_view text(bytes.data(), bytes.size());
    std::string clean;
    clean.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t c = 0;
        if (!utf8::Decode(text, pos, c)) {
            ++pos;
            c = kReplacement;
        }
        utf8::Append(clean, c < 0x20 || c == 0x7F ? U' ' : c);
    }
    return clean;
}

Box ToBox(const poppler::text_box &source, double pageWidth)
{
    Box box;
    box.text = CleanText(source.text().to_utf8());
    const poppler::rectf r = source.bbox();
    box.left = r.left();
    box.right = r.right();
    box.top = r.top();
    box.bottom = r.bottom();
    box.spaceAfter = source.has_space_after();
    if (source.has_font_info() && source.get_wmode() == poppler::text_box::vertical_wmode) {
        // A column of vertical writing becomes a line: down the column is along the line, and
        // the columns, read from right to left, come one below the other.
        box.left = r.top();
        box.right = r.bottom();
        box.top = pageWidth - r.right();
        box.bottom = pageWidth - r.left();
    }
    box.em = source.get_font_size();
    if (box.em <= 0)
        box.em = box.bottom - box.top;
    return box;
}

} // namespace

bool ReadPages(std::string_view bytes, const std::function<bool(Page &&)> &onPage, FileReason &why)
{
    try {
        poppler::set_debug_error_function(Silent, nullptr);
        if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
            why = FileReason::TooLarge;
            return false;
        }
        if (!EndsComplete(bytes)) {
            why = FileReason::DamagedPdf;
            return false;
        }
        const std::unique_ptr<poppler::document> document(
            poppler::document::load_from_raw_data(bytes.data(), static_cast<int>(bytes.size())));
        if (!document) {
            why = FileReason::DamagedPdf;
            return false;
        }
        if (document->is_locked()) {
            why = FileReason::EncryptedPdf;
            return false;
        }
        const int count = document->pages();
        for (int index = 0; index < count; ++index) {
            const std::unique_ptr<poppler::page> page(document->create_page(index));
            if (!page) {
                why = FileReason::DamagedPdf;
                return false;
            }
            const poppler::rectf rect = page->page_rect();
            const auto list = page->text_list(poppler::page::text_list_include_font);
            if (list.size() > kMostBoxesPerPage) {
                why = FileReason::PdfTooComplex;
                return false;
            }
            std::vector<Box> boxes;
            boxes.reserve(list.size());
            for (const poppler::text_box &source : list)
                boxes.push_back(ToBox(source, rect.width()));
            Page result;
            result.width = rect.width();
            result.height = rect.height();
            result.lines = BuildLines(boxes);
            if (!onPage(std::move(result))) {
                why = FileReason::Other;
                return false;
            }
        }
        return true;
    } catch (const std::bad_alloc &) {
        why = FileReason::OutOfMemory;
        return false;
    }
}

} // namespace kivo::pdf
