#pragma once

#include <array>
#include <cstdint>

/// The dialog templates: their ids, the ids of their controls, and their texts (UTF-8).
namespace kivo::res {

// Dialog 100, the version dialog.
inline constexpr char kAboutTitle[] = "Kivo！のバージョン情報";
inline constexpr char kAboutVersion[] = "Kivo！バージョン 1.2";

// Buttons every dialog has.
inline constexpr int IDC_OK = 1;
inline constexpr int IDC_CANCEL = 2;
inline constexpr char kOkText[] = "OK";
inline constexpr char kCancelText[] = "ｷｬﾝｾﾙ";

// The template faces of the settings dialogs; drawn with an installed stand-in.
inline constexpr char kSettingsDialogFace[] = "ＭＳ Ｐゴシック";
inline constexpr int kSetupDialogPoints = 9;
inline constexpr int kColorDialogPoints = 10;

// Dialog 135, the comparison settings.
inline constexpr int IDD_SETUP = 135;
inline constexpr int IDC_DELIMITERS = 1009;
inline constexpr int IDC_CMP_CHAR = 1071;
inline constexpr int IDC_CMP_CASE = 1021;
inline constexpr int IDC_CMP_ZEN = 1020;
inline constexpr int IDC_CMP_ZEN_SP = 1022;
inline constexpr int IDC_VIEW_FORMAT = 1025;
inline constexpr int IDC_VIEW_LINE = 1026;
inline constexpr int IDC_VIEW_BAR = 1027;
inline constexpr int IDC_CMP_KANA = 1072;
inline constexpr int IDC_CMP_PUNCT = 1073;
inline constexpr int IDC_KEEP_QUOTES = 1074;
inline constexpr int IDC_VIEW_MOVE = 1075;
inline constexpr int IDC_PDF_HEADS = 1076;
inline constexpr int IDC_RESTORE_SESSION = 1077;
inline constexpr int kSetupWidth = 169; // dialog units
inline constexpr int kSetupHeight = 277;
inline constexpr char kSetupTitle[] = "比較の設定";
inline constexpr char kSetupDelimiterGroup[] = "文の区切り文字";
inline constexpr char kSetupDelimiterHelp[] =
    "。や．など、文の終端文字を指定できます。複数指定するときは、スペースを空けずに列挙してくだ"
    "さい。改行を区切り文字に指定するときは、半角文字で\\nと入力してください。";
inline constexpr char kSetupRuleGroup[] = "比較ルール";
inline constexpr char kSetupCmpChar[] = "半角英数字も１文字ずつ比較";
inline constexpr char kSetupCmpCase[] = "英大文字と英小文字を区別しない";
inline constexpr char kSetupCmpZen[] = "全角文字と半角文字を区別しない";
inline constexpr char kSetupCmpZenSp[] = "全角スペースと半角スペースを区別しない";
inline constexpr char kSetupCmpKana[] = "ひらがなとカタカナを区別しない";
inline constexpr char kSetupCmpPunct[] = "句読点の違いを無視する";
inline constexpr char kSetupKeepQuotes[] = "かぎかっこ内の句点で文を区切らない";
inline constexpr char kSetupViewGroup[] = "比較結果の表示";
inline constexpr char kSetupViewAligned[] = "１文ずつ揃える";
inline constexpr char kSetupViewUnchanged[] = "変更しない";
inline constexpr char kSetupViewLine[] = "文と文の間を空ける";
inline constexpr char kSetupViewBar[] = "タブやスペースの違いをアンダーバーで示す";
inline constexpr char kSetupViewMove[] = "移動した文を示す";
inline constexpr char kSetupReadGroup[] = "ファイルの読み込み";
inline constexpr char kSetupPdfHeads[] = "PDFのヘッダー・フッターとページ番号も読む";
inline constexpr char kSetupRestoreSession[] = "終了時のウィンドウの内容を次回起動時に復元する";
// The list of the windows' texts of earlier runs.
inline constexpr char kHistoryDlgTitle[] = "以前のウィンドウの内容";
inline constexpr char kHistoryOpen[] = "開く(&O)";
inline constexpr char kHistoryCancel[] = "キャンセル";

// Dialog 141, the options of the old/new comparison table.
inline constexpr int IDD_TABLE = 141;
inline constexpr int IDC_TABLE_TITLE = 1080;
inline constexpr int IDC_TABLE_HEADINGS = 1081;
inline constexpr int IDC_TABLE_NEW_HEADING = 1082;
inline constexpr int IDC_TABLE_OLD_HEADING = 1083;
inline constexpr int IDC_TABLE_NEW_LEFT = 1084;
inline constexpr int IDC_TABLE_OLD_LEFT = 1085;
inline constexpr int IDC_TABLE_REMARKS = 1086;
inline constexpr int IDC_TABLE_OMIT_SAME = 1087;
inline constexpr int IDC_TABLE_UNDERLINE = 1088;
inline constexpr int IDC_TABLE_COLOURS = 1089;
inline constexpr int kTableWidth = 200; // dialog units
inline constexpr int kTableHeight = 190;
inline constexpr char kTableDlgTitle[] = "新旧対照表を作成";
inline constexpr char kTableTitleLabel[] = "表題(&T):";
inline constexpr char kTableHeadingsLabel[] = "列見出し(&H):";
/// Between the two heads of a preset in the heads list, and the list's last row, the user's own.
inline constexpr char kTableHeadingJoin[] = " / ";
inline constexpr char kTableHeadingOwn[] = "指定する";
inline constexpr char kTableNewHeadingLabel[] = "新しい文(&N):";
inline constexpr char kTableOldHeadingLabel[] = "古い文(&O):";
inline constexpr char kTableColumnsGroup[] = "列の並び";
inline constexpr char kTableNewLeft[] = "新しい文を左に置く(&L)";
inline constexpr char kTableOldLeft[] = "古い文を左に置く(&R)";
inline constexpr char kTableRemarksCheck[] = "備考欄を付ける(&B)";
inline constexpr char kTableOmitSameCheck[] = "変更のない行を（略）にまとめる(&S)";
inline constexpr char kTableMarksGroup[] = "変更箇所の示し方";
inline constexpr char kTableUnderline[] = "黒の傍線（印刷向け）(&U)";
inline constexpr char kTableColours[] = "比較結果の色と文字飾り(&C)";
inline constexpr char kTableNote[] = "新しい文は右のウィンドウ、古い文は左のウィンドウの文です。";

// Dialog 139, the progress of a comparison.
inline constexpr char kProgressAbort[] = "中止";

// The command line's usage and its errors, on the terminal.
inline constexpr char kCommandLineUsage[] =
    "usage: kivo [FILE]\n"
    "       kivo [--compare] LEFT RIGHT\n"
    "FILE is loaded into the left window; LEFT and RIGHT into the left and the right window,\n"
    "and --compare compares them at once.\n";
inline constexpr char kUnknownOption[] = "unknown option ";
inline constexpr char kTooManyFiles[] = "at most two files can be named";
inline constexpr char kCompareNeedsTwoFiles[] = "--compare needs two files";

// The titles of the two text windows before a file is loaded, left and right.
inline constexpr char kUntitledLeft[] = "Untitled1";
inline constexpr char kUntitledRight[] = "Untitled2";

// Dialog 130, the colours and effects.
inline constexpr int IDD_COLOR = 130;
/// The names of the effects in the order of their codes (none, bold, italic, underline,
/// strike-out), as the effect lists show them.
inline constexpr std::array<const char *, 5> kEffectNames{"文字飾りなし", "太字", "斜体", "下線",
                                                          "取り消し線"};
inline constexpr int IDC_COLOR_BACKGROUND = 1002; ///< the colour buttons 1002-1007, in slot order
inline constexpr int IDC_EFFECT_SAME = 1009;
inline constexpr int IDC_EFFECT_CHANGED = 1010;
inline constexpr int IDC_EFFECT_ADDED = 1011;
inline constexpr int IDC_EFFECT_DELETED = 1012;
inline constexpr int IDC_EFFECT_MOVED = 1013;
inline constexpr int IDC_PREVIEW_BACKGROUND = 1014;
inline constexpr int IDC_PREVIEW_ORIGINAL = 1030;
inline constexpr int IDC_PREVIEW_SAME = 1031;
inline constexpr int IDC_PREVIEW_CHANGED = 1032;
inline constexpr int IDC_PREVIEW_ADDED = 1033;
inline constexpr int IDC_PREVIEW_DELETED = 1034;
inline constexpr int IDC_PREVIEW_MOVED = 1035;
inline constexpr int IDC_COLOR_DEFAULTS = 1067;
inline constexpr int kColorWidth = 183; // dialog units
inline constexpr int kColorHeight = 143;
inline constexpr char kColorTitle[] = "色や文字飾りの設定";
inline constexpr char kColorButtonText[] = "色...";
inline constexpr char kColorDefaultsText[] = "初期設定";
/// Per colour slot (Background, Original, Same, Changed, Added, Deleted, Moved): the label, the
/// preview's caption and the chooser's title.
inline constexpr std::array<const char *, 7> kColorLabels{"背景", "原文", "同一", "変更",
                                                          "追加", "削除", "移動"};
inline constexpr std::array<const char *, 7> kPreviewCaptions{"",     "原文", "同一", "変更",
                                                              "追加", "削除", "移動"};
inline constexpr std::array<const char *, 7> kChooserTitles{
    "背景の色",     "原文の色",     "同じ部分の色",  "変更部分の色",
    "追加部分の色", "削除部分の色", "移動した文の色"};

// Dialog 131, the sixteen-colour chooser.
inline constexpr int IDD_COLOR_SELECT = 131;
inline constexpr int kColorSelectWidth = 111; // dialog units
inline constexpr int kColorSelectHeight = 89;
inline constexpr int kSwatchWidth = 22; // dialog units
inline constexpr int kSwatchHeight = 11;
/// A swatch: its control id, its grid place and its colour (0x00BBGGRR).
struct Swatch {
    int id;
    int row;
    int column;
    std::uint32_t color;
};
/// The swatches by grid position, row by row.
inline constexpr std::array<Swatch, 16> kSwatches{{
    {1051, 0, 0, 0x000000},
    {1052, 0, 1, 0x800000},
    {1053, 0, 2, 0x008000},
    {1054, 0, 3, 0x000080},
    {1055, 1, 0, 0x008080},
    {1058, 1, 1, 0x800080},
    {1059, 1, 2, 0x808000},
    {1060, 1, 3, 0x808080},
    {1056, 2, 0, 0xC0C0C0},
    {1061, 2, 1, 0xFF0000},
    {1062, 2, 2, 0x00FF00},
    {1063, 2, 3, 0x0000FF},
    {1057, 3, 0, 0x00FFFF},
    {1064, 3, 1, 0xFF00FF},
    {1065, 3, 2, 0xFFFF00},
    {1066, 3, 3, 0xFFFFFF},
}};

// The system's find and replace dialogs.
inline constexpr char kFindTitle[] = "検索";
inline constexpr char kReplaceTitle[] = "置換";
inline constexpr char kFindWhat[] = "検索する文字列(&N):";
inline constexpr char kReplaceWith[] = "置換後の文字列(&P):";
inline constexpr char kFindWholeWord[] = "単語単位で探す(&W)";
inline constexpr char kFindMatchCase[] = "大文字と小文字を区別する(&C)";
inline constexpr char kFindDirection[] = "方向";
inline constexpr char kFindUp[] = "上へ(&U)";
inline constexpr char kFindDown[] = "下へ(&D)";
inline constexpr char kFindNextButton[] = "次を検索(&F)";
inline constexpr char kReplaceButton[] = "置換して次に(&R)";
inline constexpr char kReplaceAllButton[] = "すべて置換(&A)";
inline constexpr char kFindCancel[] = "キャンセル";
/// %1: the text searched for.
inline constexpr char kFindNotFound[] = "「%1」が見つかりません。";

} // namespace kivo::res
