#pragma once

#include "FileReason.h"
#include "PdfLayout.h"

#include <functional>
#include <string_view>

namespace kivo::pdf {

/// The most text boxes a page may hold: a page of small print holds a few thousand words, so
/// more is content made to exhaust the reader, not a page to read.
inline constexpr std::size_t kMostBoxesPerPage = 200'000;

/// Reads the PDF in bytes with poppler, in this process, and gives each page's lines to onPage
/// in page order; stops early when onPage returns false. A line of vertical writing is turned
/// so that its characters run left to right, and its columns follow each other downwards.
///
/// Fails with why: DamagedPdf (not a PDF, damaged beyond repair, no %%EOF in the last kilobyte
/// since the file is cut short, or a page that cannot be read), EncryptedPdf (it needs a
/// password), PdfTooComplex (a page past kMostBoxesPerPage), OutOfMemory. poppler's own messages
/// about damage are silenced.
bool ReadPages(std::string_view bytes, const std::function<bool(Page &&)> &onPage, FileReason &why);

} // namespace kivo::pdf
