#pragma once

#include <optional>
#include <string>
#include <string_view>

class QTextCursor;
class QTextDocument;

namespace kivo {

/// Reader and writer of the rich-text stream format (RTF) for RichEditCtrl. The control itself
/// only streams plain text; the module that implements RTF supplies one of these, and every
/// rich-text load, save and paste goes through it.
class RichTextStream {
public:
    virtual ~RichTextStream() = default;

    /// Inserts the formatted text of a rich-text stream at cursor. Returns false, having inserted
    /// nothing, when the bytes are not a stream it can read.
    virtual bool Read(std::string_view rtf, QTextCursor &cursor) const = 0;

    /// The whole document as a rich-text stream; nullopt when it cannot be written.
    virtual std::optional<std::string> Write(const QTextDocument &document) const = 0;
};

} // namespace kivo
