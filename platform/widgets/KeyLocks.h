#pragma once

namespace kivo {

/// Whether the key lock that a status-bar indicator shows (by the indicator's string id: kana,
/// caps, num or scroll lock) is on. Read from the X server's keyboard indicators; false where
/// the window system does not tell (another platform, or a keymap without that indicator).
bool KeyLockOn(int indicatorId);

/// Whether Esc is held down now, asked of the X server without waiting for events: a long
/// reading that cannot return to the event loop stops on it. False where the window system
/// does not tell.
bool EscapeKeyDown();

} // namespace kivo
