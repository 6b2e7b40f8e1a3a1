#include "WordFileStream.h"

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
        for (const rtf::TextRun &run : *runs)
            sink(run);
        return true;
    });
}

} // namespace kivo
