#include "XmlPump.h"

#include "ZipArchive.h"

#include <expat.h>

#include <memory>
#include <tuple>
#include <utility>

namespace kivo::wordfile {

namespace {

/// Separates a name's namespace from its local part in what expat hands over.
constexpr char kNamespaceSeparator = '\x01';

/// The namespace and local name of one of expat's names ("local" alone has no namespace).
std::pair<std::string_view, std::string_view> SplitName(const char *name)
{
    const std::string_view whole(name);
    const std::size_t cut = whole.find(kNamespaceSeparator);
    if (cut == std::string_view::npos)
        return {{}, whole};
    return {whole.substr(0, cut), whole.substr(cut + 1)};
}

struct ParserCloser {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

/// What the callbacks share: the handler, and whether the part was refused.
struct Pump {
    XML_Parser parser;
    XmlHandler &handler;
    bool refusedDocumentType = false;
};

void XMLCALL OnStart(void *data, const XML_Char *name, const XML_Char **attributes)
{
    auto *pump = static_cast<Pump *>(data);
    pump->handler.Start(XmlElement(name, attributes));
}

void XMLCALL OnEnd(void *data, const XML_Char *)
{
    static_cast<Pump *>(data)->handler.End();
}

void XMLCALL OnText(void *data, const XML_Char *text, int length)
{
    if (length > 0)
        static_cast<Pump *>(data)->handler.Text(
            std::string_view(text, static_cast<std::size_t>(length)));
}

/// A document type declaration may declare entities that expand without end: the part is
/// refused before anything it declares can be used.
void XMLCALL OnDoctype(void *data, const XML_Char *, const XML_Char *, const XML_Char *, int)
{
    auto *pump = static_cast<Pump *>(data);
    pump->refusedDocumentType = true;
    XML_StopParser(pump->parser, XML_FALSE);
}

} // namespace

XmlElement::XmlElement(const char *name, const char **attributes) : m_attributes(attributes)
{
    std::tie(m_namespace, m_name) = SplitName(name);
}

std::string_view XmlElement::Attribute(std::string_view ns, std::string_view name) const
{
    for (const char **at = m_attributes; at && *at; at += 2) {
        const auto [attributeNs, local] = SplitName(at[0]);
        if (local == name && attributeNs == ns)
            return at[1];
    }
    return {};
}

bool PumpXml(ZipArchive &archive, const char *part, XmlHandler &handler, FileReason &why)
{
    const std::unique_ptr<XML_ParserStruct, ParserCloser> parser(
        XML_ParserCreateNS("UTF-8", kNamespaceSeparator));
    if (!parser) {
        why = FileReason::OutOfMemory;
        return false;
    }
    Pump pump{parser.get(), handler};
    XML_SetUserData(parser.get(), &pump);
    XML_SetElementHandler(parser.get(), OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser.get(), OnText);
    XML_SetStartDoctypeDeclHandler(parser.get(), OnDoctype);
    // No external entity, DTD or parameter entity is ever fetched.
    XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);

    bool failed = false;
    const auto fail = [&] {
        failed = true;
        if (pump.refusedDocumentType)
            why = FileReason::DocumentType;
        else if (XML_GetErrorCode(parser.get()) == XML_ERROR_NO_MEMORY)
            why = FileReason::OutOfMemory;
        else
            why = FileReason::DamagedXml;
    };
    const bool read = archive.Read(
        part,
        [&](std::string_view chunk) {
            if (failed)
                return true; // the rest is read only to check the archive's limits
            // The archive hands over chunks far below INT_MAX.
            if (XML_Parse(parser.get(), chunk.data(), static_cast<int>(chunk.size()), XML_FALSE) !=
                XML_STATUS_OK)
                fail();
            return !failed;
        },
        why);
    if (!read)
        return false;
    if (failed)
        return false;
    // Every byte is in: a parser still inside an element holds XML that ends early.
    if (XML_Parse(parser.get(), nullptr, 0, XML_TRUE) != XML_STATUS_OK) {
        fail();
        return false;
    }
    return true;
}

} // namespace kivo::wordfile
