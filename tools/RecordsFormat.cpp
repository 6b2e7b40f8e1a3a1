#include "RecordsFormat.h"

#include "Cp932Codec.h"

namespace kivo::cli {

void AppendJsonString(std::string &out, std::string_view utf8)
{
    static constexpr char kHex[] = "0123456789abcdef";
    // Bytes of multi-byte UTF-8 characters are all 0x80 or above, so a byte walk is safe.
    for (const char c : utf8) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                out += "\\u00";
                out += kHex[static_cast<unsigned char>(c) >> 4];
                out += kHex[static_cast<unsigned char>(c) & 0xF];
            } else {
                out += c;
            }
        }
    }
}

namespace {

bool AppendText(std::string &out, std::string_view key, const std::string &cp932, Cp932Codec &codec,
                std::string &error)
{
    Cp932Codec::Error cpError;
    const auto text = codec.ToUtf8(cp932, &cpError);
    if (!text) {
        error = "result text is not code page 932: " + cpError.message;
        return false;
    }
    out += ",\"";
    out += key;
    out += "\":\"";
    AppendJsonString(out, *text);
    out += '"';
    return true;
}

} // namespace

bool AppendRecord(std::string &out, const ResultPair &r, Cp932Codec &codec, std::string &error,
                  std::int32_t movedTo)
{
    out += "{\"leftIndex\":" + std::to_string(r.leftIndex);
    out += ",\"rightIndex\":" + std::to_string(r.rightIndex);
    out += ",\"status\":" + std::to_string(static_cast<int>(r.status));
    out += ",\"sentenceEnd\":" + std::to_string(r.sentenceEnd);
    if (!AppendText(out, "leftText", r.leftText, codec, error) ||
        !AppendText(out, "rightText", r.rightText, codec, error))
        return false;
    if (movedTo >= 0)
        out += ",\"movedTo\":" + std::to_string(movedTo);
    out += "}\n";
    return true;
}

std::optional<std::string> FormatRecords(const ResultList &results, Cp932Codec &codec,
                                         std::string &error)
{
    std::string out;
    for (const ResultPair &r : results)
        if (!AppendRecord(out, r, codec, error))
            return std::nullopt;
    return out;
}

} // namespace kivo::cli
