#pragma once

/// Texts of the dialog templates.
namespace kivo::res {

// Dialog 100, the version dialog.
inline constexpr char kAboutTitle[] = "Kivo！のバージョン情報";
inline constexpr char kAboutVersion[] = "Kivo！バージョン 1.2";

} // namespace kivo::res
