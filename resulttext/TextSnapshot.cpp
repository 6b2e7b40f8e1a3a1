#include "resulttext/TextSnapshot.h"

#include "Memory.h"
#include "RichEditCtrl.h"
#include "resulttext/ResultMarks.h"

#include <QTextCursor>
#include <QTextDocumentFragment>

namespace kivo {

namespace {

// A copy holds the text (UTF-16), its paragraphs and formats, and the fragment made from it
// when it goes back: a generous estimate per character.
constexpr std::uintmax_t kSnapshotBytesPerCharacter = 16;

} // namespace

std::unique_ptr<TextSnapshot> TakeSnapshot(const RichEditCtrl &edit, const QString &title,
                                           int comparison)
{
    const QTextDocument &document = *edit.Document();
    const auto characters = static_cast<std::uintmax_t>(document.characterCount());
    if (!CanAllocate(characters * kSnapshotBytesPerCharacter))
        return nullptr;
    try {
        auto snapshot = std::make_unique<TextSnapshot>();
        snapshot->text.reset(document.clone());
        snapshot->title = title;
        snapshot->modified = document.isModified();
        snapshot->comparison = comparison;
        return snapshot;
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

void RestoreSnapshot(RichEditCtrl &edit, const TextSnapshot &snapshot)
{
    QTextDocument &document = *edit.Document();
    {
        const UndoPause pause(document);
        QTextCursor cursor(&document);
        cursor.beginEditBlock();
        cursor.select(QTextCursor::Document);
        cursor.removeSelectedText();
        cursor.insertFragment(QTextDocumentFragment(snapshot.text.get()));
        cursor.endEditBlock();
    }
    ForgetRows(document);
    edit.SetSel(0, 0);
    document.setModified(snapshot.modified);
}

} // namespace kivo
