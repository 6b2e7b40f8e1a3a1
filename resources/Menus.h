#pragma once

#include <span>
#include <string_view>

/// Menu resources: the main frame's menu without documents (128), the menu while documents are
/// open (129) and the text windows' context menu (130). Texts are UTF-8; an item text may carry
/// a tab followed by the key name shown at the right of the menu.
namespace kivo::res {

struct MenuItem {
    enum class Kind { Command, Separator, Popup };

    Kind kind = Kind::Command;
    int id = 0;                      ///< command id of a Command item
    std::string_view text;           ///< label of a Command or Popup item
    std::span<const MenuItem> items; ///< entries of a Popup item
};

/// The top-level entries of a menu resource; empty for an unknown id.
std::span<const MenuItem> MenuResource(int menuId);

} // namespace kivo::res
