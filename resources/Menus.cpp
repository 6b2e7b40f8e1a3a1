#include "resources/Menus.h"

#include "resources/ResourceIds.h"

#include <array>

namespace kivo::res {
namespace {

using Kind = MenuItem::Kind;

constexpr MenuItem Cmd(int id, std::string_view text)
{
    return {Kind::Command, id, text, {}};
}
constexpr MenuItem Sep()
{
    return {Kind::Separator, 0, {}, {}};
}
constexpr MenuItem Popup(std::string_view text, std::span<const MenuItem> items)
{
    return {Kind::Popup, 0, text, items};
}

// Menu 129, while documents are open.
constexpr std::array kFile = {
    Cmd(ID_FILE_NEW, "新規作成(&N)\tCtrl+N"),
    Cmd(ID_FILE_OPEN, "開く(&O)...\tCtrl+O"),
    Cmd(ID_FILE_HISTORY, "以前のウィンドウの内容(&H)..."),
    Cmd(ID_FILE_CLOSE, "閉じる(&C)"),
    Cmd(ID_FILE_SAVE, "上書き保存(&S)\tCtrl+S"),
    Cmd(ID_FILE_SAVE_AS, "名前を付けて保存(&A)..."),
    Cmd(ID_EXPORT_REPORT, "比較結果をエクスポート(&E)..."),
    Cmd(ID_COMPARISON_TABLE, "新旧対照表を作成(&T)..."),
    Sep(),
    Cmd(ID_FILE_PRINT, "印刷(&P)...\tCtrl+P"),
    Cmd(ID_FILE_PRINT_PREVIEW, "印刷プレビュー(&V)"),
    Cmd(ID_FILE_PRINT_SETUP, "プリンタの設定(&R)..."),
    Sep(),
    Cmd(ID_FILE_MRU_FILE1, "最近使ったファイル"),
    Sep(),
    Cmd(ID_APP_EXIT, "アプリケーションの終了(&X)"),
};
constexpr std::array kEdit = {
    Cmd(ID_EDIT_UNDO, "元に戻す(&U)\tCtrl+Z"),
    Sep(),
    Cmd(ID_EDIT_CUT, "切り取り(&T)\tCtrl+X"),
    Cmd(ID_EDIT_COPY, "コピー(&C)\tCtrl+C"),
    Cmd(ID_EDIT_PASTE, "貼り付け(&P)\tCtrl+V"),
    Cmd(ID_EDIT_SELECT_ALL, "すべて選択(&L)\tCtrl+A"),
    Sep(),
    Cmd(ID_EDIT_CLEAR_ALL, "すべて消去(&A)"),
    Sep(),
    Cmd(ID_EDIT_FIND, "検索(&F)...\tCtrl+F"),
    Cmd(ID_EDIT_REPEAT, "次を検索(&I)\tF3"),
    Cmd(ID_EDIT_REPLACE, "置換(&E)...\tCtrl+H"),
};
constexpr std::array kView = {
    Cmd(ID_VIEW_TOOLBAR, "ツール バー(&T)"),
    Cmd(ID_VIEW_STATUS_BAR, "ステータス バー(&S)"),
};
constexpr std::array kCompare = {
    Cmd(ID_COMPARE_WHOLE, "全文比較(&E)\tF5"),
    Cmd(ID_COMPARE_SELECTION, "選択範囲を比較(&D)\tCtrl+D"),
    Sep(),
    Cmd(ID_NEXT_DIFFERENCE, "次の相違(&N)\tF8"),
    Cmd(ID_PREV_DIFFERENCE, "前の相違(&P)\tShift+F8"),
    Cmd(ID_GO_TO_MOVED, "移動先へ(&J)\tCtrl+J"),
    Sep(),
    Cmd(ID_COMPARE_SETTINGS, "比較の設定(&S)..."),
    Cmd(ID_COLOR_SETTINGS, "色や文字飾りの設定(&C)..."),
    Cmd(ID_FORMAT_FONT, "フォントの変更(&F)..."),
};
constexpr std::array kStartupSize = {
    Cmd(ID_STARTUP_MAXIMIZED, "最大化(&X)"),
    Cmd(ID_STARTUP_NORMAL, "標準(&N)"),
};
constexpr std::array kWindow = {
    Cmd(ID_WINDOW_NEW, "新しいウィンドウを開く(&N)"),
    Cmd(ID_WINDOW_TILE_VERT, "左右に並べて表示(&V)"),
    Cmd(ID_WINDOW_TILE_HORZ, "上下に並べて表示(&T)"),
    Cmd(ID_FILE_CLOSE, "すべてのウィンドウを閉じる(&C)"),
    Sep(),
    Cmd(ID_SYNC_SCROLL, "同時スクロール(&R)"),
    Popup("起動時のウィンドウサイズ(&W)", kStartupSize),
};
constexpr std::array kHelp = {
    Cmd(ID_APP_ABOUT, "Kivo！のバージョン情報(&A)..."),
};
constexpr std::array kMenu129 = {
    Popup("ファイル(&F)", kFile), Popup("編集(&E)", kEdit),         Popup("表示(&V)", kView),
    Popup("比較(&D)", kCompare),  Popup("ウィンドウ(&W)", kWindow), Popup("ヘルプ(&H)", kHelp),
};

// Menu 128, without documents.
constexpr std::array kFileNoDoc = {
    Cmd(ID_FILE_NEW, "新規作成(&N)\tCtrl+N"),          Sep(),
    Cmd(ID_FILE_PRINT_SETUP, "プリンタの設定(&R)..."), Sep(),
    Cmd(ID_APP_EXIT, "アプリケーションの終了(&X)"),
};
constexpr std::array kMenu128 = {
    Popup("ファイル(&F)", kFileNoDoc),
    Popup("表示(&V)", kView),
    Popup("ヘルプ(&H)", kHelp),
};

// Menu 130, the context menu of a text window: one submenu.
constexpr std::array kContext = {
    Cmd(ID_FILE_OPEN, "ファイルを開く(&O)...\tCtrl+O"),
    Cmd(ID_FILE_SAVE, "ファイルに保存(&S)\tCtrl+S"),
    Sep(),
    Cmd(ID_EDIT_CUT, "切り取り(&T)\tCtrl+X"),
    Cmd(ID_EDIT_COPY, "コピー(&C)\tCtrl+C"),
    Cmd(ID_EDIT_PASTE, "貼り付け(&P)\tCtrl+V"),
    Cmd(ID_EDIT_SELECT_ALL, "すべて選択(&L)\tCtrl+A"),
    Sep(),
    Cmd(ID_EDIT_CLEAR_ALL, "すべて消去(&A)"),
    Sep(),
    Cmd(ID_COMPARE_WHOLE, "全文比較(&E)\tF5"),
    Cmd(ID_COMPARE_SELECTION, "選択範囲を比較(&D)\tCtrl+D"),
    Sep(),
    Cmd(ID_SYNC_SCROLL, "同時スクロール(&R)"),
};
constexpr std::array kMenu130 = {
    Popup("Context", kContext),
};

} // namespace

std::span<const MenuItem> MenuResource(int menuId)
{
    switch (menuId) {
    case IDR_MAINFRAME:
        return kMenu128;
    case IDR_RICHTYPE:
        return kMenu129;
    case IDR_CONTEXT:
        return kMenu130;
    default:
        return {};
    }
}

} // namespace kivo::res
