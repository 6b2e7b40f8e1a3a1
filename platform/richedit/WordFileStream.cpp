#include "WordFileStream.h"

#include "Memory.h"
#include "RichEditCtrl.h"
#include "RtfStream.h"
#include "WordFile.h"

namespace kivo {

bool WordFileStream::Read(std::string_view bytes, QTextCursor &cursor) const
{
    return RtfStream::InsertRuns(cursor, [&](const rtf::RunSink &sink) {
        FileReason why = FileReason::Other;
        const auto runs = wordfile::Read(bytes, why);
        if (m_why)
            *m_why = why;
        if (!runs)
            return false;
        std::uintmax_t textBytes = 0;
        for (const rtf::TextRun &run : *runs)
            textBytes += run.text.size();
        if (!CanAllocate(textBytes * kWindowBytesPerTextByte)) {
            if (m_why)
                *m_why = FileReason::OutOfMemory;
            return false;
        }
        for (const rtf::TextRun &run : *runs)
            sink(run);
        return true;
    });
}

} // namespace kivo
