#include "PdfStream.h"

#include "Memory.h"
#include "RichEditCtrl.h"
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
        if (!CanAllocate(text->size() * kWindowBytesPerTextByte)) {
            if (m_why)
                *m_why = FileReason::OutOfMemory;
            return false;
        }
        sink(rtf::TextRun{std::move(*text), {}});
        return true;
    });
}

} // namespace kivo
