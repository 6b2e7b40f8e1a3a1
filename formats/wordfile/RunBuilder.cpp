#include "RunBuilder.h"

#include <charconv>

namespace kivo::wordfile {

namespace {

constexpr std::string_view kLineBreakUtf8 = "\u2028";
constexpr std::size_t kColorDigits = 6;
constexpr int kHexBase = 16;

} // namespace

std::optional<ColorRef> ColorOfHex(std::string_view digits)
{
    std::uint32_t rgb = 0;
    if (digits.size() != kColorDigits)
        return std::nullopt;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), rgb, kHexBase);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

void RunBuilder::Add(std::string_view utf8, const rtf::Format &format)
{
    if (m_overflowed || utf8.empty())
        return;
    const bool newRun = m_runs.empty() || m_runs.back().format != format;
    const std::uintmax_t cost =
        utf8.size() + (newRun ? sizeof(rtf::TextRun) + format.face.size() : 0);
    if (cost > m_most - m_held) {
        m_overflowed = true;
        return;
    }
    m_held += cost;
    rtf::Append(m_runs, utf8, format);
}

void RunBuilder::Text(std::string_view utf8, const rtf::Format &format)
{
    Add(utf8, format);
}

void RunBuilder::Mark(std::string_view utf8)
{
    Add(utf8, m_runs.empty() ? rtf::Format{} : m_runs.back().format);
}

void RunBuilder::Tab()
{
    Mark("\t");
}

void RunBuilder::LineBreak()
{
    Mark(kLineBreakUtf8);
}

void RunBuilder::EndParagraph()
{
    Mark(std::string_view(&rtf::kParagraphBreak, 1));
}

void RunBuilder::EndCell()
{
    if (m_runs.empty() || !m_runs.back().text.ends_with(rtf::kParagraphBreak))
        EndParagraph();
}

void RunBuilder::Append(const RunBuilder &other)
{
    m_overflowed = m_overflowed || other.m_overflowed;
    for (const rtf::TextRun &run : other.m_runs)
        Add(run.text, run.format);
}

rtf::Runs RunBuilder::Take()
{
    if (!m_runs.empty() && m_runs.back().text.ends_with(rtf::kParagraphBreak)) {
        m_runs.back().text.pop_back();
        if (m_runs.back().text.empty())
            m_runs.pop_back();
    }
    return std::move(m_runs);
}

} // namespace kivo::wordfile
