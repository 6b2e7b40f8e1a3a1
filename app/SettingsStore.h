#pragma once

#include "RichOptions.h"

namespace kivo {

class Profile;

/// Fills the options from the settings store. Every value has its default, so a first run or a
/// damaged store still gives working options. A character format is taken only when it is
/// exactly 84 bytes; otherwise the default format is built in the Original colour just read.
/// A value outside its range (RichOptions) becomes its default. SyncScroll starts off.
void LoadSettings(const Profile &profile, RichOptions &options);

/// Writes every stored option, also those that equal their defaults.
void SaveSettings(Profile &profile, const RichOptions &options);

} // namespace kivo
