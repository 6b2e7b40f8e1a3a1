#include "resources/QtStrings.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kivo::res {
namespace {

constexpr auto kQtStrings = std::to_array<QtString>({
    // The type column of the file dialog's list, for what is not a file.
    {"QAbstractFileIconProvider", "Drive", "ドライブ"},
    {"QAbstractFileIconProvider", "Folder", "フォルダー"},
    {"QAbstractFileIconProvider", "Shortcut", "ショートカット"},
    // The two-sided printing and page range of the print dialog's options.
    {"QPrintSettingsOutput", "Double Sided Printing", "両面印刷"},
    {"QPrintSettingsOutput", "Long side binding", "長辺とじ"},
    {"QPrintSettingsOutput", "Off", "オフ"},
    {"QPrintSettingsOutput", "Pages", "ページ指定"},
    {"QPrintSettingsOutput", "Short side binding", "短辺とじ"},
    {"QPrintSettingsOutput",
     "Specify pages or ranges separated by commas. Ranges are specified by two numbers separated "
     "by a hyphen. E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.",
     "ページや範囲をコンマで区切って指定します。範囲は二つの数をハイフンでつないで指定します。"
     "例: 3,5-7,9 は 3、5、6、7、9 ページを印刷します。"},
});

constexpr bool Before(const QtString &a, const QtString &b)
{
    return std::pair(a.context, a.english) < std::pair(b.context, b.english);
}

constexpr bool IsOrdered()
{
    for (std::size_t i = 1; i < kQtStrings.size(); ++i) {
        if (!Before(kQtStrings[i - 1], kQtStrings[i]))
            return false;
    }
    return true;
}
static_assert(IsOrdered(), "the table must stay ordered by context and text, without duplicates");

} // namespace

std::span<const QtString> QtStringTable()
{
    return kQtStrings;
}

std::string_view QtStringJapanese(std::string_view context, std::string_view english)
{
    const QtString key{context, english, {}};
    const auto it = std::lower_bound(kQtStrings.begin(), kQtStrings.end(), key, Before);
    return it != kQtStrings.end() && it->context == context && it->english == english
               ? it->japanese
               : std::string_view();
}

} // namespace kivo::res
