#pragma once

#include "FileReason.h"

class QXmlStreamReader;

namespace kivo::wordfile {

class ZipArchive;

/// What a reader of one kind of document does with the XML of a part, element by element.
class XmlHandler {
public:
    virtual ~XmlHandler() = default;
    /// An element opens; xml stands on its start (name, namespace and attributes).
    virtual void Start(const QXmlStreamReader &xml) = 0;
    /// The element opened last closes.
    virtual void End() = 0;
    /// Character data (CDATA and whitespace included), perhaps in several pieces.
    virtual void Text(const QXmlStreamReader &xml) = 0;
};

/// Inflates the named part of archive and hands its XML to handler as it inflates, so that a
/// part is never held whole. False with why: the archive's reasons (ZipArchive::Read),
/// DocumentType for a document type declaration (entities are never expanded; the declaration
/// is refused before anything it declares is used), DamagedXml for XML that is not well formed
/// or ends early.
bool PumpXml(ZipArchive &archive, const char *part, XmlHandler &handler, FileReason &why);

} // namespace kivo::wordfile
