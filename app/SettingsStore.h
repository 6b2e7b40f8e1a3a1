#pragma once

#include "ComparisonTable.h"
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

/// Fills the options of the old/new comparison table from section Table: each value that is
/// missing or out of range keeps the default of report::TableOptions. Texts are kept as UTF-8
/// blocks, so that characters outside code page 932 survive.
void LoadTableSettings(const Profile &profile, report::TableOptions &options);

/// Writes every option of the table.
void SaveTableSettings(Profile &profile, const report::TableOptions &options);

} // namespace kivo
