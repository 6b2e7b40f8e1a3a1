#pragma once

#include "RichTextStream.h"
#include "RtfReader.h"
#include "RtfText.h"

#include <functional>

class QFont;
class QTextCharFormat;

namespace kivo {

/// The program's RTF reader and writer for RichEditCtrl (rtf::Read and rtf::Write on the
/// control's document). Text, colours, the four effects, faces and sizes travel; pictures do
/// not. Every control uses RtfStream::Shared() unless told otherwise.
class RtfStream : public RichTextStream {
public:
    /// The instance the controls share; it holds no state.
    static const RtfStream &Shared();

    /// notes, when given, receives what the reader noticed of each document it reads (one cut
    /// short), for a caller that tells the user.
    explicit RtfStream(rtf::ReadNotes *notes = nullptr) : m_notes(notes) {}

    /// Inserts the document's text at cursor, each run in its own format (the fields RTF gives;
    /// the automatic colour leaves the colour unset). False when the bytes do not begin with
    /// "{\rtf" (having inserted nothing) or stand for more than may be produced of them (having
    /// inserted a part, which the caller drops).
    bool Read(std::string_view rtf, QTextCursor &cursor) const override;

    /// The whole document. Text without a face or size of its own takes the document's default
    /// font; text without a colour of its own is written in the automatic colour. Pictures are
    /// left out.
    std::optional<std::string> Write(const QTextDocument &document) const override;

    /// Inserts at cursor, as one edit, the runs that produce hands to its sink, each in its own
    /// format; returns what produce returns. Every reader of formatted text goes through here.
    static bool InsertRuns(QTextCursor &cursor,
                           const std::function<bool(const rtf::RunSink &sink)> &produce);

    /// The Qt format of an RTF run's format, and back. ToRunFormat fills face and size from the
    /// default font when the format does not set them.
    static QTextCharFormat ToTextCharFormat(const rtf::Format &format);
    static rtf::Format ToRunFormat(const QTextCharFormat &format, const QFont &defaultFont);

private:
    rtf::ReadNotes *m_notes;
};

} // namespace kivo
