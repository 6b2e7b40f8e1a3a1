#pragma once

#include <QString>

#include <span>
#include <string_view>

/// Kivo's string table, addressed by number (the ids of ResourceIds.h). Texts are UTF-8 in the
/// table and QString for the windows; code page 932 forms come from the one converter.
namespace kivo::res {

struct StringEntry {
    int id;
    std::string_view utf8;
};

/// Every entry of the table, in ascending id order.
std::span<const StringEntry> StringTable();

/// Whether the table has an entry with this id.
bool HasString(int id);

/// The UTF-8 text of the entry; empty when there is none.
std::string_view StringUtf8(int id);

/// The text of the entry; empty when there is none.
QString LoadString(int id);

/// The status-bar prompt of a command: its string up to the first newline.
QString CommandPrompt(int id);

/// The tooltip of a command: its string after the first newline; empty when it has none.
QString CommandToolTip(int id);

/// Field n (from 0) of a string whose fields are separated by newlines; empty past the end.
QString StringField(int id, int n);

} // namespace kivo::res
