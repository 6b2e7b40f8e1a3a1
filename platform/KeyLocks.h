#pragma once

namespace kivo {

/// Whether the key lock that a status-bar indicator shows (by the indicator's string id: kana,
/// caps, num or scroll lock) is on. Read from the X server's keyboard indicators; false where
/// the window system does not tell (another platform, or a keymap without that indicator).
bool KeyLockOn(int indicatorId);

} // namespace kivo
