#include "RtfText.h"

namespace kivo::rtf {

void Append(Runs &runs, std::string_view utf8, const Format &format)
{
    if (utf8.empty())
        return;
    if (!runs.empty() && runs.back().format == format)
        runs.back().text += utf8;
    else
        runs.push_back(TextRun{std::string(utf8), format});
}

std::string PlainText(const Runs &runs)
{
    std::string text;
    for (const TextRun &run : runs)
        text += run.text;
    return text;
}

} // namespace kivo::rtf
