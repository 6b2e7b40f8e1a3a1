#pragma once

#include <string>

namespace kivo::report {

/// Terminal columns a character takes: 2 for East Asian wide and full-width characters, 0 for
/// combining marks and other zero-width characters, 1 for the rest. Control characters are not
/// shown as themselves (see VisibleForm) and count as 1.
int DisplayWidth(char32_t c);

/// What to show for a character that must not reach a terminal or a page as itself: the control
/// pictures U+2400-U+241F for C0 controls other than tab and line breaks, U+2421 for DEL, and
/// U+FFFD for the C1 controls (U+0080-U+009F, whose ESC-like forms could drive a terminal).
/// Empty when c can be shown as itself.
std::string VisibleForm(char32_t c);

} // namespace kivo::report
