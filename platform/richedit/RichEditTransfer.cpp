// RichEditCtrl: streaming in and out, pasting and dropping.

#include "RichEditCtrl.h"

#include "Cp932Text.h"
#include "Memory.h"
#include "RichTextStream.h"
#include "TextEditor.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStringList>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QUrl>

namespace kivo {

namespace {

using namespace Qt::StringLiterals;

/// The types a copy offers its rich text under: the ones word processors on this platform read.
const QStringList kRichTextMimeTypes{u"text/rtf"_s, u"application/rtf"_s};

/// Rich text read into a document of its own, so that a stream that cannot be read leaves the
/// control untouched.
std::optional<QTextDocumentFragment> ReadRichText(const RichTextStream *stream,
                                                  std::string_view bytes)
{
    if (!stream)
        return std::nullopt;
    QTextDocument scratch;
    scratch.setUndoRedoEnabled(false); // nothing here is undone, and the history of a
                                       // large document's edits costs memory
    QTextCursor cursor(&scratch);
    if (!stream->Read(bytes, cursor))
        return std::nullopt;
    return QTextDocumentFragment(&scratch);
}

} // namespace

bool RichEditCtrl::StreamIn(StreamFormat format, std::string_view bytes, Cp932Codec::Error *error)
{
    QTextDocument *doc = m_editor->document();
    const QScopedValueRollback guard(m_ownScroll, true);
    switch (format) {
    case StreamFormat::Text: {
        // Bytes that are not text are refused and the text stays as it was: the caller reports
        // the file instead of showing it with characters replaced.
        const std::optional<QString> text = cp932text::DecodeFile(bytes, error);
        if (!text)
            return false;
        doc->setPlainText(*text); // clears the text, its formats and the undo history
        break;
    }
    case StreamFormat::RichText:
        if (!m_richTextStream || !StreamIn(*m_richTextStream, bytes)) {
            if (error) {
                *error = {
                    0, m_richTextStream ? "not rich text that can be read" : "no rich-text reader",
                    FileReason::DamagedRichText};
            }
            return false;
        }
        return true;
    }
    ShowFromStart();
    return true;
}

void RichEditCtrl::ShowFromStart()
{
    m_editor->setTextCursor(QTextCursor(m_editor->document()));
    m_editor->verticalScrollBar()->setValue(0);
    m_editor->horizontalScrollBar()->setValue(0);
}

bool RichEditCtrl::StreamIn(const RichTextStream &reader, std::string_view bytes)
{
    const auto fragment = ReadRichText(&reader, bytes);
    if (!fragment)
        return false;
    QTextDocument *doc = m_editor->document();
    const QScopedValueRollback guard(m_ownScroll, true);
    doc->setUndoRedoEnabled(false);
    doc->clear();
    QTextCursor(doc).insertFragment(*fragment);
    doc->setUndoRedoEnabled(true);
    ShowFromStart();
    return true;
}

std::optional<std::string> RichEditCtrl::StreamOut(StreamFormat format) const
{
    switch (format) {
    case StreamFormat::Text:
        return GetText();
    case StreamFormat::RichText:
        if (!m_richTextStream)
            return std::nullopt;
        return m_richTextStream->Write(*m_editor->document());
    }
    return std::nullopt;
}

bool RichEditCtrl::Paste()
{
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    if (m_editor->isReadOnly() || !mime || !ChoosePaste(*mime))
        return false;
    InsertFromMimeData(*mime);
    return true;
}

std::optional<PasteChoice> RichEditCtrl::ChoosePaste(const QMimeData &mime) const
{
    if (m_pasteChooser)
        return m_pasteChooser(mime);
    if (mime.hasText() && !mime.text().isEmpty())
        return PasteChoice{PasteFormat::Text, {}};
    return std::nullopt;
}

QMimeData *RichEditCtrl::MimeDataFromSelection() const
{
    const QTextCursor cursor = m_editor->textCursor();
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, QChar(u'\n'));
    text.replace(QChar::LineSeparator, QChar(u'\n'));
    auto *mime = new QMimeData;
    mime->setText(text);
    mime->setHtml(cursor.selection().toHtml());
    if (m_richTextStream) {
        QTextDocument selection;
        selection.setDefaultFont(m_editor->document()->defaultFont());
        QTextCursor(&selection).insertFragment(cursor.selection());
        if (const auto rtf = m_richTextStream->Write(selection)) {
            const QByteArray bytes(rtf->data(), static_cast<qsizetype>(rtf->size()));
            for (const QString &type : kRichTextMimeTypes)
                mime->setData(type, bytes);
        }
    }
    return mime;
}

bool RichEditCtrl::CanInsertFromMimeData(const QMimeData &source) const
{
    return !m_editor->isReadOnly() && ChoosePaste(source).has_value();
}

void RichEditCtrl::InsertFromMimeData(const QMimeData &source)
{
    if (m_editor->isReadOnly())
        return;
    const QScopedValueRollback editing(m_userEditing, true);
    FilterInsertionFormat();
    QTextCursor cursor = m_editor->textCursor(); // for a drop, already at the drop point
    cursor.beginEditBlock();
    const bool inserted = InsertMimeData(source, cursor);
    cursor.endEditBlock();
    if (inserted)
        m_editor->ensureCursorVisible(); // the widget's cursor has moved past the insertion with it
}

bool RichEditCtrl::FitsInMemory(std::uintmax_t textBytes) const
{
    if (CanAllocate(textBytes * kWindowBytesPerTextByte))
        return true;
    if (m_shortOfMemory)
        m_shortOfMemory();
    return false;
}

bool RichEditCtrl::InsertMimeData(const QMimeData &mime, QTextCursor &cursor)
{
    const auto choice = ChoosePaste(mime);
    if (!choice)
        return false;
    switch (choice->format) {
    case PasteFormat::Text: {
        QString text = mime.text();
        text.remove(QChar(u'\0')); // no character of the text windows
        if (text.isEmpty() || !FitsInMemory(static_cast<std::uintmax_t>(text.size()) * 2))
            return false;
        cursor.insertText(text);
        return true;
    }
    case PasteFormat::RichText: {
        const QByteArray bytes = mime.data(choice->mimeType);
        if (!FitsInMemory(static_cast<std::uintmax_t>(bytes.size())))
            return false;
        const auto fragment =
            ReadRichText(m_richTextStream, std::string_view(bytes.constData(), bytes.size()));
        if (!fragment)
            return false;
        cursor.insertFragment(*fragment);
        return true;
    }
    case PasteFormat::Picture: {
        const QImage image = qvariant_cast<QImage>(mime.imageData());
        if (image.isNull())
            return false;
        const QString name = u"kivo-picture:%1"_s.arg(++m_pictureCount);
        m_editor->document()->addResource(QTextDocument::ImageResource, QUrl(name), image);
        cursor.insertImage(name);
        return true;
    }
    }
    return false;
}

} // namespace kivo
