#pragma once

#include "FileReason.h"

#include <string_view>

namespace kivo::wordfile {

class ZipArchive;

/// An element as the XML pump hands it over: its namespace, its local name and its attributes,
/// all UTF-8, valid while the handler's Start runs.
class XmlElement {
public:
    /// names: expat's "namespace\x01local" form; attributes: name, value, ..., null.
    XmlElement(const char *name, const char **attributes);

    std::string_view Namespace() const { return m_namespace; }
    std::string_view Name() const { return m_name; }
    /// The value of the attribute name in namespace ns ("" for none); empty when it is absent.
    std::string_view Attribute(std::string_view ns, std::string_view name) const;

private:
    std::string_view m_namespace;
    std::string_view m_name;
    const char **m_attributes;
};

/// What a reader of one kind of document does with the XML of a part, element by element.
class XmlHandler {
public:
    virtual ~XmlHandler() = default;
    /// An element opens.
    virtual void Start(const XmlElement &element) = 0;
    /// The element opened last closes.
    virtual void End() = 0;
    /// Character data (CDATA and whitespace included) as UTF-8, perhaps in several pieces.
    virtual void Text(std::string_view utf8) = 0;
};

/// Inflates the named part of archive and hands its XML to handler as it inflates, so that a
/// part is never held whole. False with why: the archive's reasons (ZipArchive::Read),
/// DocumentType for a document type declaration (entities are never expanded; the declaration
/// is refused before anything it declares is used), DamagedXml for XML that is not well formed
/// or ends early.
bool PumpXml(ZipArchive &archive, const char *part, XmlHandler &handler, FileReason &why);

} // namespace kivo::wordfile
