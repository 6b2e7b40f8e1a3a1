#include "PdfStream.h"

#include "RtfStream.h"

namespace kivo {

bool PdfStream::Read(std::string_view bytes, QTextCursor &cursor) const
{
    return RtfStream::InsertRuns(cursor, [&](const rtf::RunSink &sink) {
        FileReason why = FileReason::Other;
        auto text = pdf::Read(bytes, m_options, why);
        if (m_why)
            *m_why = why;
        if (!text)
            return false;
        sink(rtf::TextRun{std::move(*text), {}});
        return true;
    });
}

} // namespace kivo
