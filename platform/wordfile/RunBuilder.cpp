#include "RunBuilder.h"

#include <QString>

namespace kivo::wordfile {

namespace {

constexpr std::string_view kLineBreakUtf8 = "\u2028";
constexpr int kColorDigits = 6;
constexpr int kHexBase = 16;

} // namespace

std::optional<ColorRef> ColorOfHex(QStringView digits)
{
    bool ok = false;
    const uint rgb = digits.size() == kColorDigits ? digits.toUInt(&ok, kHexBase) : 0;
    if (!ok)
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

void RunBuilder::Text(QStringView text, const rtf::Format &format)
{
    if (text.isEmpty() || m_overflowed)
        return;
    const QByteArray utf8 = text.toUtf8();
    Add(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), format);
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
