#pragma once

#include <span>
#include <string_view>

/// Japanese for the texts of Qt's own dialogs that Qt's translations leave in English, by the
/// translation context and the English text Qt asks for.
namespace kivo::res {

struct QtString {
    std::string_view context;
    std::string_view english;
    std::string_view japanese; ///< UTF-8
};

/// Every entry, ordered by context and then English text.
std::span<const QtString> QtStringTable();

/// The Japanese of an English text of Qt in its context; empty when the table has none.
std::string_view QtStringJapanese(std::string_view context, std::string_view english);

} // namespace kivo::res
