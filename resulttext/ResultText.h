#pragma once

#include "RichOptions.h"
#include "driver/ResultView.h"

#include <string>
#include <string_view>

namespace kivo {

/// Whether every character of a code page 932 text is a half-width space, a tab or a
/// full-width space. The empty text is blank.
bool IsBlankText(std::string_view text);

/// The text with its whitespace made visible: half-width space as "_", full-width space as
/// "＿", tab as four "_". Characters are walked whole, so two-byte characters are never split.
std::string UnderscoreForm(std::string_view text);

/// The whitespace a text in underscore form stands for, character by character: "_" as a
/// half-width space, "＿" as a full-width space; every other character as it is.
std::string SpacesForUnderscores(std::string_view shown);

/// The text a record shows on one side: with ViewBar 1, a difference that is whitespace only
/// is drawn in its underscore form; everything else as it is.
std::string DisplayText(const RichOptions &options, TextStatus status, std::string_view text);

/// The separator after a record that closes a sentence pair; empty with the unchanged line layout.
std::string_view RowSeparator(const RichOptions &options);

/// The character format a record of the given status is drawn in: the display format with the
/// status's colour and effect (and only those fields besides the font).
CharFormat StatusFormat(const RichOptions &options, TextStatus status);

/// The character format of a moved sentence: the display format with the moved colour and
/// effect.
CharFormat MovedFormat(const RichOptions &options);

} // namespace kivo
