#pragma once

#include "FileReason.h"
#include "RtfText.h"
#include "TextFile.h"

#include <optional>
#include <string_view>

/// Word-processor documents, .docx and .odt, read for their text.
namespace kivo::wordfile {

/// The text of a .docx (a zip archive holding word/document.xml) or an OpenDocument text (a zip
/// archive holding content.xml and the mimetype application/vnd.oasis.opendocument.text), as
/// runs in the form the RTF reader gives: the body in reading order, then footnotes and
/// endnotes; headers and footers are left out. Recognised by content, never by name.
///
/// nullopt with why: DamagedArchive (cut short, damaged, failed checksum), ArchiveBomb (past
/// kMostInflatedBytes or kMostInflateRatio), DocumentType (XML with a document type
/// declaration, which could declare entities that expand without end), DamagedXml, MissingPart
/// (a zip archive that is neither), ExpandsTooFar (more text and formatting than
/// MostProducedBytes of the file), EncryptedArchive, UnknownCompression (a part packed by a
/// method not read), OutOfMemory.
std::optional<rtf::Runs> Read(std::string_view bytes, FileReason &why);

} // namespace kivo::wordfile
