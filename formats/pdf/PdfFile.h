#pragma once

#include "FileReason.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

/// PDF documents, read for their text.
namespace kivo::pdf {

/// The longest a page (or opening the document) may take before the file is given up as too
/// complex, and the longest the whole file may take.
inline constexpr int kMostSecondsPerPage = 15;
inline constexpr int kMostSecondsPerFile = 300;

/// How a PDF's text is read.
struct ReadOptions {
    /// Keep the running heads, footers and page numbers, which are left out by default.
    bool keepRunningHeads = false;
    /// The longest a page may take (Read only).
    int secondsPerPage = kMostSecondsPerPage;
    /// Asked every kStopPollMilliseconds while the child reads (Read only): true stops the
    /// reading, which then fails with Stopped. Empty: never stopped.
    std::function<bool()> stopRequested;
};

/// How often Read asks whether to stop: often enough that a key held briefly is seen.
inline constexpr int kStopPollMilliseconds = 50;

/// Whether bytes begin as a PDF does ("%PDF-"): a PDF document, never text.
bool HasSignature(std::string_view bytes);

/// The text of a PDF, UTF-8 with '\n' between paragraphs: each page in reading order, the lines
/// of a paragraph joined back (see JoinPages), running heads, footers and page numbers left out
/// unless options say otherwise. Recognised by content, never by name.
///
/// The document is read in a child process with a memory limit, which is killed when a page
/// takes longer than options.secondsPerPage or the file longer than kMostSecondsPerFile: a hostile
/// file can neither hang nor crash the caller.
///
/// nullopt with why: EncryptedPdf (needs a password), PdfWithoutText (pages of images only),
/// DamagedPdf (damaged, cut short, or the reader failed on it), PdfTooComplex (too slow or too
/// many boxes on a page), Stopped (options.stopRequested said so), TooLarge, OutOfMemory, or the
/// reason of the system's error when no child process could be started.
std::optional<std::string> Read(std::string_view bytes, const ReadOptions &options,
                                FileReason &why);

/// The same in this process, without the time and memory limits: for the fuzzer and tests.
std::optional<std::string> ReadHere(std::string_view bytes, const ReadOptions &options,
                                    FileReason &why);

} // namespace kivo::pdf
