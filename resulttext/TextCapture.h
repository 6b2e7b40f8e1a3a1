#pragma once

#include "RichEditCtrl.h"

#include <QString>
#include <QTextBlock>
#include <QTextDocument>

#include <string>
#include <vector>

namespace kivo {

/// Reads a range of a document's text as code page 932 bytes a bounded number of characters at
/// a time, so that a long text is taken over several idle steps instead of in one.
///
/// What it reads is the user's text: the line breaks Kivo inserted into a result (the separators
/// that close its rows and the padding that levels them) are left out, and whitespace a result
/// draws as underscores reads as the whitespace it stands for. A text without a result reads as
/// RichEditCtrl::GetSelText gives the same range selected: paragraph breaks become CR,
/// characters are converted exactly as there.
///
/// It walks the document's paragraphs and their fragments without a text cursor: a cursor placed
/// in a long paragraph makes the control measure the whole paragraph, which is the very cost
/// this avoids. The document must not change between the pieces.
class TextCapture {
public:
    /// Starts reading range of document; the document must outlive the reading.
    void Begin(const QTextDocument &document, const CharRange &range);

    /// Appends the next piece of at most about maxChars characters (one more rather than cut a
    /// surrogate pair) to text. Returns true once the range has been read to its end.
    bool ReadMore(std::string &text, int maxChars);

    /// Whether the whole range has been read.
    bool Done() const { return m_position >= m_range.end && m_taken >= m_pending.size(); }

    /// The user's text of a whole range at once, in the control's characters: paragraph breaks
    /// as U+2029, every character kept (nothing goes through the code page).
    static QString ReadAll(const QTextDocument &document, const CharRange &range);

private:
    /// Takes the rest of the range's part of the paragraph at m_position, with its break, into
    /// m_pending.
    void TakeParagraph();

    const QTextDocument *m_document = nullptr;
    CharRange m_range{};
    /// Position of the next character not yet taken into m_pending.
    int m_position = 0;
    /// The paragraph m_position lies in, once found.
    QTextBlock m_block;
    /// The user's text of the paragraph taken last, and how much of it has been read out: a long
    /// paragraph is copied out once, not once per piece.
    QString m_pending;
    qsizetype m_taken = 0;
    /// The results whose line breaks before their first sentence have been read.
    std::vector<int> m_leadsTaken;
};

} // namespace kivo
