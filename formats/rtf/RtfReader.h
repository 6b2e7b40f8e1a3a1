#pragma once

#include "RtfText.h"

#include <functional>
#include <optional>
#include <string_view>

namespace kivo {
class Cp932Codec;
}

namespace kivo::rtf {

/// Whether the bytes begin with "{\rtf", byte for byte (case matters): the mark of an RTF
/// document, the only thing Read checks before it reads.
bool HasSignature(std::string_view bytes);

/// Reads the text of an RTF document with its colours, the four effects (bold, italic,
/// underline, strike-out), font faces and sizes.
///
/// Reads groups, control words and control symbols; text bytes and \'hh in the code page of the
/// current font's character set or else the document's (\ansicpgN; 1252 without one); \uN with
/// its fallback skipped as \ucN says, surrogate pairs joined; \par, \line, \tab and the special
/// characters; table cells as tabs and rows as paragraphs; the font and colour tables. The text
/// of pictures, field instructions, style sheets, document information, headers, footers, notes
/// and every \* destination it does not know is skipped, and so is hidden text. A paragraph mark
/// at the very end closes the last paragraph and gives no empty paragraph.
///
/// Malformed input gives what could be read: text after an unclosed group is kept, a '}' that
/// closes the outermost group ends the document, a truncated \'h or a control word at the end is
/// dropped, numbers are clamped, and groups nested deeper than kMaxGroupDepth share the state of
/// the deepest one. Time and memory are linear in the input. nullopt when the bytes do not begin
/// with "{\rtf" (case matters).
std::optional<Runs> Read(std::string_view rtf, Cp932Codec &codec);

/// Receives the runs of a document in order, each once it is final. Two runs in a row never
/// have the same format.
using RunSink = std::function<void(const TextRun &run)>;

/// What the reader noticed about a document beyond its text.
struct ReadNotes {
    /// The document ends before its outermost group is closed: it was cut short, and what was
    /// read is all there is.
    bool endsEarly = false;
    /// It stands for more text and formatting than MostProducedBytes of its size (formats with
    /// long font names switched on every character, say): reading stopped there, and the runs
    /// handed over are not the whole document.
    bool tooMuch = false;
};

/// Read, handing each run to sink as soon as it is final instead of gathering them, so that a
/// document of millions of runs is never held whole as runs: at most one run is held back, the
/// one that later text may still extend. False, having handed over nothing, when the bytes do
/// not begin with "{\rtf". notes, when given, receives what was noticed.
bool Read(std::string_view rtf, Cp932Codec &codec, const RunSink &sink, ReadNotes *notes = nullptr);

/// Groups nested deeper than this are read in their parent's state.
inline constexpr std::size_t kMaxGroupDepth = 512;

} // namespace kivo::rtf
