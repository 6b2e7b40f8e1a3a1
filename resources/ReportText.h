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

/// The old/new comparison table: its default title, the column heads of each preset (the new
/// text's head first), the head of the remarks column and what a remark or an omitted run says.
inline constexpr char kTableTitle[] = "新旧対照表";
inline constexpr char kTableHeadingsRevision[2][16] = {"改正後", "改正前"};
inline constexpr char kTableHeadingsNewOld[2][16] = {"新", "旧"};
inline constexpr char kTableHeadingsDraft[2][16] = {"改正案", "現行"};
inline constexpr char kTableRemarks[] = "備考";
inline constexpr char kTableRemarkNew[] = "(新設)";
inline constexpr char kTableRemarkDeleted[] = "(削除)";
inline constexpr char kTableRemarkChanged[] = "(変更)";
inline constexpr char kTableOmitted[] = "（略）";
/// Around the page number in the footer of a .docx table.
inline constexpr char kTablePageBefore[] = "- ";
inline constexpr char kTablePageAfter[] = " -";

} // namespace kivo::res
