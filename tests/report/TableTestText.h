#pragma once

#include "ComparisonTable.h"

/// A small revision of a regulation for the table's tests: an unchanged article, a moved
/// supplementary provision, a paragraph split and changed, two paragraphs joined, a deleted
/// article with characters XML must escape, an added one with a character outside code page
/// 932, two unchanged articles, and a change next to a tab.
namespace kivo::test {

inline constexpr char kTableOldText[] = "第1条　この規則は、職員の勤務時間を定める。\r"
                                        "附則　この規則は公布の日から施行する。\r"
                                        "第2条　勤務時間は週40時間とする。休憩は1時間とする。\r"
                                        "第3条　休日は土曜日とする。\r"
                                        "日曜日も休日とする。\r"
                                        "第4条　<旧規定> & \"削除\" の条。\r"
                                        "第6条　同じ。\r"
                                        "第7条　同じ。\r"
                                        "第8条\t表の「A」は、必ず𠮷野家とする。";

inline constexpr char kTableNewText[] = "第1条　この規則は、職員の勤務時間を定める。\r"
                                        "第2条　勤務時間は週38時間45分とする。\r"
                                        "休憩は1時間とする。\r"
                                        "第3条　休日は土曜日とする。日曜日も休日とする。\r"
                                        "第6条　同じ。\r"
                                        "第7条　同じ。\r"
                                        "第7条の2　新たに置く条（𠮷を含む）。\r"
                                        "第8条\t表の「B」は、𠮷野家とする。\r"
                                        "附則　この規則は公布の日から施行する。";

/// The options of the golden files: every column and omission, a title to escape.
inline report::TableOptions GoldenTableOptions()
{
    report::TableOptions options;
    options.title = "新旧対照表 <案> & \"注\"";
    options.remarks = true;
    options.omitSame = true;
    return options;
}

} // namespace kivo::test
