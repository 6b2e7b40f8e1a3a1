#include "XmlPump.h"

#include "ZipArchive.h"

#include <QByteArray>
#include <QXmlStreamReader>

namespace kivo::wordfile {

namespace {

enum class Outcome { More, Done, Refused };

/// Hands on every token the reader can give from the data it has been given so far.
Outcome Drain(QXmlStreamReader &xml, XmlHandler &handler, FileReason &why)
{
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            why = FileReason::DocumentType;
            return Outcome::Refused;
        case QXmlStreamReader::StartElement:
            handler.Start(xml);
            break;
        case QXmlStreamReader::EndElement:
            handler.End();
            break;
        case QXmlStreamReader::Characters:
            handler.Text(xml);
            break;
        case QXmlStreamReader::Invalid:
            if (xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
                return Outcome::More;
            why = FileReason::DamagedXml;
            return Outcome::Refused;
        default:
            break;
        }
    }
    return Outcome::Done;
}

} // namespace

bool PumpXml(ZipArchive &archive, const char *part, XmlHandler &handler, FileReason &why)
{
    QXmlStreamReader xml;
    Outcome outcome = Outcome::More;
    const bool read = archive.Read(
        part,
        [&](std::string_view chunk) {
            if (outcome != Outcome::More)
                return true; // the rest is read only to check the archive's limits
            xml.addData(QByteArray(chunk.data(), static_cast<qsizetype>(chunk.size())));
            outcome = Drain(xml, handler, why);
            return outcome != Outcome::Refused;
        },
        why);
    if (!read)
        return false;
    if (outcome == Outcome::More) {
        // Every byte is in: a reader still waiting for more holds XML that ends early.
        why = FileReason::DamagedXml;
        return false;
    }
    return outcome == Outcome::Done;
}

} // namespace kivo::wordfile
