#pragma once

/// The texts of the HTML report of a comparison (UTF-8). Plain constants, so that the report,
/// which is made without Qt, shares them with nothing else to link.
namespace kivo::res {

inline constexpr char kReportHeading[] = "比較結果";
inline constexpr char kReportLeft[] = "左";
inline constexpr char kReportRight[] = "右";
inline constexpr char kReportDate[] = "作成日時";
inline constexpr char kReportCounts[] = "文の数";
/// Shown for the comparison rules when none was chosen.
inline constexpr char kReportNoRules[] = "なし";
/// Between the items of a list in one line: the counts, the rules, the display settings.
inline constexpr char kReportListSeparator[] = "・";
/// Between the two titles in the page's title.
inline constexpr char kReportTitleJoin[] = " ⇔ ";

} // namespace kivo::res
