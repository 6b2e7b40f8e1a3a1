#pragma once

#include <QStringView>

namespace kivo {

/// How a text is searched for.
struct FindOptions {
    bool matchCase = false; ///< upper and lower case differ
    bool wholeWord = false; ///< only matches that are whole words
    bool down = true;       ///< towards the end of the text; false: towards its start
};

/// Where what occurs in text: going down, the first match that starts at or after from; going up,
/// the last match that ends at or before from. -1 when there is none or what is empty.
///
/// Positions count UTF-16 units, as the rich-edit control's positions do; a match never begins or
/// ends inside a surrogate pair, so characters outside the Basic Multilingual Plane are found
/// whole. A whole word is one whose neighbours are not letters, digits or underscores of the same
/// script: Japanese text has no spaces, so a change of script (kanji to kana, say) also ends a
/// word, while marks and signs shared by all scripts (such as the long vowel mark) join either.
qsizetype FindInText(QStringView text, QStringView what, qsizetype from,
                     const FindOptions &options);

} // namespace kivo
