#include "PdfWire.h"

#include <cstdint>
#include <cstring>

namespace kivo::pdf::wire {

namespace {

constexpr char kPageTag = 'P';
constexpr char kEndTag = 'E';

template <typename T> void Put(std::string &out, T value)
{
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out.append(bytes, sizeof(T));
}

template <typename T> bool Take(std::string_view &in, T &value)
{
    if (in.size() < sizeof(T))
        return false;
    std::memcpy(&value, in.data(), sizeof(T));
    in.remove_prefix(sizeof(T));
    return true;
}

bool TakeLine(std::string_view &in, Line &line)
{
    std::uint32_t size = 0;
    if (!Take(in, size) || in.size() < size)
        return false;
    line.text.assign(in.data(), size);
    in.remove_prefix(size);
    return Take(in, line.left) && Take(in, line.top) && Take(in, line.right) &&
           Take(in, line.bottom) && Take(in, line.em) && Take(in, line.firstUnit);
}

} // namespace

std::string PageRecord(const Page &page)
{
    std::string out(1, kPageTag);
    Put(out, page.width);
    Put(out, page.height);
    Put(out, static_cast<std::uint32_t>(page.lines.size()));
    for (const Line &line : page.lines) {
        Put(out, static_cast<std::uint32_t>(line.text.size()));
        out += line.text;
        for (double value : {line.left, line.top, line.right, line.bottom, line.em, line.firstUnit})
            Put(out, value);
    }
    return out;
}

std::string EndRecord(bool read, FileReason why)
{
    std::string out(1, kEndTag);
    Put(out, static_cast<std::uint8_t>(read));
    Put(out, static_cast<std::uint32_t>(why));
    return out;
}

std::optional<Outcome> Parse(std::string_view bytes, std::vector<Page> &pages)
{
    while (!bytes.empty()) {
        const char tag = bytes.front();
        bytes.remove_prefix(1);
        if (tag == kEndTag) {
            std::uint8_t read = 0;
            std::uint32_t why = 0;
            if (!Take(bytes, read) || !Take(bytes, why))
                return std::nullopt;
            return Outcome{read != 0, static_cast<FileReason>(why)};
        }
        if (tag != kPageTag)
            return std::nullopt;
        Page page;
        std::uint32_t count = 0;
        if (!Take(bytes, page.width) || !Take(bytes, page.height) || !Take(bytes, count))
            return std::nullopt;
        for (std::uint32_t i = 0; i < count; ++i) {
            Line line;
            if (!TakeLine(bytes, line))
                return std::nullopt;
            page.lines.push_back(std::move(line));
        }
        pages.push_back(std::move(page));
    }
    return std::nullopt;
}

} // namespace kivo::pdf::wire
