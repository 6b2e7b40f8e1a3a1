#pragma once

#include <QIcon>
#include <QSize>

#include <span>

/// Toolbar resources: button order and the button images, which are drawn here rather than
/// shipped as bitmaps, and the application icon.
namespace kivo::res {

/// A toolbar entry with this id is a separator.
inline constexpr int ID_SEPARATOR = 0;

/// Size of one button image in pixels.
inline constexpr QSize kToolbarImageSize{16, 15};

/// The entries of a toolbar, separators included; empty for an unknown id.
std::span<const int> ToolbarButtons(int toolbarId);

/// Position in toolbar 128 of the separator that makes room for the delimiter box.
inline constexpr int kDelimiterBoxPosition = 10;

/// Text of the main toolbar's window (shown when it floats).
inline constexpr char16_t kToolBarWindowText[] = u"Tool Bar";

/// The image of a toolbar button; a null icon for a command without one.
QIcon ToolbarIcon(int commandId);

/// The application icon.
QIcon AppIcon();

} // namespace kivo::res
