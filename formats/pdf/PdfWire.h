#pragma once

#include "FileReason.h"
#include "PdfLayout.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// How the child process that reads a PDF sends its pages back: one record per page as it is
/// done, then one record with the outcome. Both ends are this program, so the records are in
/// the machine's own byte order.
namespace kivo::pdf::wire {

std::string PageRecord(const Page &page);
std::string EndRecord(bool read, FileReason why);

struct Outcome {
    bool read = false;
    FileReason why = FileReason::Other;
};

/// The pages in bytes, appended to pages, and the outcome; nullopt when the bytes stop before
/// the outcome record or are not records (the child died on the way).
std::optional<Outcome> Parse(std::string_view bytes, std::vector<Page> &pages);

} // namespace kivo::pdf::wire
