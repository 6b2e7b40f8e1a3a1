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

void RunBuilder::Text(QStringView text, const rtf::Format &format)
{
    if (text.isEmpty())
        return;
    const QByteArray utf8 = text.toUtf8();
    rtf::Append(m_runs, std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                format);
}

void RunBuilder::Mark(std::string_view utf8)
{
    rtf::Append(m_runs, utf8, m_runs.empty() ? rtf::Format{} : m_runs.back().format);
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
    for (const rtf::TextRun &run : other.m_runs)
        rtf::Append(m_runs, run.text, run.format);
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
