#include "resources/Strings.h"

#include "resources/ResourceIds.h"

#include <algorithm>
#include <array>

namespace kivo::res {
namespace {

// Ascending by id, so that look-ups can bisect.
constexpr std::array kStrings = std::to_array<StringEntry>({
    {IDS_MAIN_TITLE, "Kivo！"},
    {IDS_DOC_STRINGS, "\n文書 \nリッチ テキスト\nリッチ テキスト形式 (*.rtf)\n.rtf\nrtffile\n"
                      "リッチ テキスト ドキュメント"},
    {IDS_DELIMITER_BOX, "文の区切り文字を設定\n文の区切り文字"},
    {IDS_DELIMITER_FONT, "\"ＭＳ ゴシック\""},
    {IDS_ASK_ABORT, "処理を中止します。\nよろしいですか？"},
    {IDS_BAD_DELIMITERS_LONG,
     "不適切な区切り文字が指定されているようです（[比較]メニュー[比較の設定]"
     "）。\n処理に時間がかかるかもしれませんが、このまま続けますか？"},
    {IDS_BAD_DELIMITERS,
     "不適切な区切り文字が指定されているようです（[比較]メニュー[比較の設定]）。"
     "\nこのまま続けますか？"},
    {IDS_NO_DELIMITERS_LONG, "区切り文字が指定されていません（[比較]メニュー[比較の設定]）。\n"
                             "処理に時間がかかるかもしれませんが、このまま続けますか？"},
    {IDS_NO_DELIMITERS, "区切り文字が指定されていません（[比較]メニュー[比較の設定]）。\n"
                        "このまま続けますか？"},
    {IDS_CAPTION_ANALYSING, "テキスト解析中"},
    {IDS_CAPTION_COMPARING, "比較しています"},
    {IDS_CAPTION_PLEASE_WAIT, "しばらくお待ちください（比較中）"},
    {IDS_CAPTION_ALMOST_DONE, "あと少しお待ちください（比較中）"},
    {IDS_CAPTION_DISPLAYING, "結果を表示しています"},
    {IDS_CAPTION_SCROLLABLE, "スクロールできます（表示中）"},
    {IDS_RESULT_SUMMARY, "同一 %1・変更 %2・追加 %3・削除 %4"},
    {IDS_RESULT_SUMMARY_MOVES, "同一 %1・変更 %2・追加 %3・削除 %4・移動 %5"},
    {IDS_SETTINGS_NOT_SAVED, "設定を保存できませんでした。\n%1 に書き込めません。"},
    {IDS_TEXT_KEPT, "ウィンドウの内容は変更されていません。"},
    {IDS_OLD_FILE_KEPT, "元のファイルは変更されていません。"},
    {IDS_NO_FILE_WRITTEN, "ファイルは作成されていません。"},
    {IDS_REPORT_FILTER, "HTML ファイル (*.html)"},
    {IDS_DOCX_FILTER, "Word 文書 (*.docx)"},
    {IDS_TEXT_FILTER, "テキスト ファイル (*.txt)"},
    {IDS_SESSION_DAMAGED,
     "前回のウィンドウの内容を復元できませんでした。保存されていた内容が壊れています。"
     "\nそのファイルは %1 に残してあります。"},
    {IDS_FILE_ENDS_EARLY, "ファイルが途中で終わっています。読めた部分だけを表示します。"},
    {IDS_NO_HISTORY, "以前のウィンドウの内容はまだありません。"},
    {IDS_REASON_UNEXPECTED, "予期しないエラーが発生しました。"},
    {IDS_REASON_SYSTEM_ERROR, "予期しないエラーが発生しました（エラー番号 %1: %2）。"},
    {IDS_REASON_NOT_FOUND, "ファイルまたはフォルダーが見つかりません。"},
    {IDS_REASON_NO_PERMISSION, "アクセスする権限がありません。"},
    {IDS_REASON_FOLDER, "ファイルではなくフォルダーです。"},
    {IDS_REASON_READ_ONLY_FS, "読み取り専用のファイル システムには書き込めません。"},
    {IDS_REASON_DISK_FULL, "ディスクの空き領域が足りません。"},
    {IDS_REASON_NUL_CHARACTER,
     "テキスト ファイルではありません（%1 バイト目に NUL 文字があります）。"},
    {IDS_REASON_NO_ENCODING, "UTF-8、UTF-16、シフト JIS のどの文字コードのテキストとしても"
                             "正しくありません（シフト JIS として %1 バイト目）。"},
    {IDS_REASON_TOO_LARGE, "ファイルが大きすぎます（%1 MiB を超えています）。"},
    {IDS_REASON_NO_MEMORY, "メモリが足りません。"},
    {IDS_REASON_DAMAGED_RTF, "リッチ テキスト (RTF) が壊れているため読み込めません。"},
    {IDS_REASON_FIFO, "名前付きパイプです。開けるのは通常のファイルだけです。"},
    {IDS_REASON_SOCKET, "ソケットです。開けるのは通常のファイルだけです。"},
    {IDS_REASON_DEVICE, "デバイスです。開けるのは通常のファイルだけです。"},
    {IDS_REASON_DAMAGED_ZIP,
     "ZIP 形式のファイルが壊れているか途中で切れているため読み込めません。"},
    {IDS_REASON_ZIP_BOMB, "展開すると %1 MiB を超えるか、圧縮率が %2 倍を超えるため、"
                          "安全のため読み込みません。"},
    {IDS_REASON_XML_DTD, "文書の XML に文書型宣言 (DTD) が含まれているため、安全のため"
                         "読み込みません。"},
    {IDS_REASON_NO_BODY, "ZIP 形式のファイルですが、.docx 文書の本文 (word/document.xml) も "
                         ".odt 文書の本文 (content.xml) もありません。"},
    {IDS_REASON_DAMAGED_XML, "文書の XML が壊れているため読み込めません。"},
    {IDS_REASON_PDF_PASSWORD, "パスワードで保護された PDF です。パスワードが必要なため"
                              "読み込めません。"},
    {IDS_REASON_PDF_NO_TEXT, "テキストのないPDFです（画像だけのページ）。"},
    {IDS_REASON_DAMAGED_PDF, "PDF が壊れているか途中で切れているため読み込めません。"},
    {IDS_REASON_PDF_TOO_COMPLEX, "PDF のページの内容が多すぎるか複雑すぎるため、"
                                 "読み込みを中止しました。"},
    {IDS_REASON_BROKEN_UTF8, "UTF-8 のテキストですが、%1 バイト目から先が正しくありません"
                             "（途中で切れているか、壊れています）。"},
    {IDS_REASON_BROKEN_UTF16, "UTF-16 のテキストですが、%1 バイト目が正しくありません"
                              "（途中で切れているか、壊れています）。"},
    {IDS_REASON_EXPANDS, "文書が展開するとファイルの大きさの %1 倍を超えるテキストになるため、"
                         "安全のため読み込みません。"},
    {IDS_REASON_ENCRYPTED_ZIP, "暗号化された文書です。パスワードの必要な文書は読み込めません。"},
    {IDS_REASON_ZIP_METHOD, "ZIP 形式のファイルですが、読み込めない圧縮方式で圧縮されています。"},
    {IDS_HISTORY_UNREADABLE,
     "以前のウィンドウの内容を読み込めませんでした。ウィンドウの内容は変更されていません。"},
    {ID_COMPARE_SELECTION, "二つのウィンドウで選択した範囲を比較します\n選択範囲を比較"},
    {ID_COLOR_SETTINGS, "色や文字飾りを設定します\n色や文字飾りの設定"},
    {ID_COMPARE_SETTINGS, "区切り文字、比較ルール、比較結果の表示を設定します\n比較の設定"},
    {ID_SYNC_SCROLL, "二つのウィンドウを同時にスクロールします\n同時スクロール"},
    {ID_STARTUP_NORMAL, "次回の起動時にウィンドウを標準の大きさで開きます\n標準"},
    {ID_STARTUP_MAXIMIZED, "次回の起動時にウィンドウを最大化して開きます\n最大化"},
    {ID_COMPARE_WHOLE, "二つのウィンドウの全文を比較します\n全文比較"},
    {ID_NEXT_DIFFERENCE, "次の相違箇所を選択して、二つのウィンドウに並べて表示します\n次の相違"},
    {ID_PREV_DIFFERENCE, "前の相違箇所を選択して、二つのウィンドウに並べて表示します\n前の相違"},
    {ID_GO_TO_MOVED, "移動した文のもう一方の位置を、もう一方のウィンドウで選択します\n移動先へ"},
    {ID_EXPORT_REPORT, "比較結果を、ブラウザーで開いて印刷できる HTML ファイルに書き出します\n"
                       "比較結果をエクスポート"},
    {ID_COMPARISON_TABLE, "比較結果を、新しい文と古い文を段落ごとに並べた新旧対照表 (.docx または "
                          "HTML) に書き出します\n新旧対照表を作成"},
    {ID_FILE_HISTORY,
     "以前に閉じたウィンドウや前回の起動時のウィンドウの内容を開きます\n以前のウィンドウの内容"},
    {IDS_APP_TITLE, "Kivo"},
    {IDS_IDLE_MESSAGE, "レディ"},
    {ID_FILE_NEW, "新規に文書を作成します\n新規作成"},
    {ID_FILE_OPEN, "ファイルを開いて作業中のウィンドウに読み込みます\n開く"},
    {ID_FILE_CLOSE, "作業中の文書を閉じます\n閉じる"},
    {ID_FILE_SAVE, "作業中のウィンドウの内容を保存します\n上書き保存"},
    {ID_FILE_SAVE_AS, "作業中のウィンドウの内容を名前を付けて保存します\n名前を付けて保存"},
    {ID_FILE_PRINT_SETUP, "プリンタや印刷オプションを変更します\nプリンタの設定"},
    {ID_FILE_PRINT, "作業中のウィンドウの内容を印刷します\n印刷"},
    {ID_FILE_PRINT_DIRECT, "作業中のウィンドウの内容をそのまま印刷します\n印刷"},
    {ID_FILE_PRINT_PREVIEW, "印刷イメージを表示します\n印刷プレビュー"},
    {ID_FILE_MRU_FILE1, "このファイルを開きます"},
    {ID_FILE_MRU_FILE1 + 1, "このファイルを開きます"},
    {ID_FILE_MRU_FILE1 + 2, "このファイルを開きます"},
    {ID_FILE_MRU_FILE1 + 3, "このファイルを開きます"},
    {ID_FILE_MRU_FILE1 + 4, "このファイルを開きます"},
    {ID_FILE_MRU_FILE1 + 5, "このファイルを開きます"},
    {ID_FILE_MRU_FILE1 + 6, "このファイルを開きます"},
    {ID_FILE_MRU_FILE1 + 7, "このファイルを開きます"},
    {ID_FILE_MRU_FILE1 + 8, "このファイルを開きます"},
    {ID_FILE_MRU_FILE1 + 9, "このファイルを開きます"},
    {ID_FILE_MRU_FILE1 + 10, "このファイルを開きます"},
    {ID_FILE_MRU_FILE1 + 11, "このファイルを開きます"},
    {ID_FILE_MRU_FILE1 + 12, "このファイルを開きます"},
    {ID_FILE_MRU_FILE1 + 13, "このファイルを開きます"},
    {ID_FILE_MRU_FILE1 + 14, "このファイルを開きます"},
    {ID_FILE_MRU_FILE16, "このファイルを開きます"},
    {ID_EDIT_CLEAR_ALL, "ウィンドウの内容をすべて消去します\nすべて消去"},
    {ID_EDIT_COPY, "選択範囲をコピーしてクリップボードに保存します\nコピー"},
    {ID_EDIT_CUT, "選択範囲を切り取ってクリップボードに移動します\n切り取り"},
    {ID_EDIT_FIND, "指定した文字列を検索します\n検索"},
    {ID_EDIT_PASTE, "クリップボードの内容を挿入します\n貼り付け"},
    {ID_EDIT_REPEAT, "前回検索した文字列を続けて検索します\n次を検索"},
    {ID_EDIT_REPLACE, "指定した文字列を別の文字列に置換します\n置換"},
    {ID_EDIT_SELECT_ALL, "ウィンドウの内容をすべて選択します\nすべて選択"},
    {ID_EDIT_UNDO, "直前に行った操作を元に戻します\n元に戻す"},
    {ID_WINDOW_NEW, "作業中の文書を表示するウィンドウをもう一つ開きます\n新しいウィンドウを開く"},
    {ID_WINDOW_TILE_HORZ, "ウィンドウを上下に並べて表示します\n上下に並べて表示"},
    {ID_WINDOW_TILE_VERT, "ウィンドウを左右に並べて表示します\n左右に並べて表示"},
    {ID_APP_ABOUT, "プログラムの情報とバージョンを表示します\nバージョン情報"},
    {ID_APP_EXIT, "アプリケーションを終了します\n終了"},
    {ID_NEXT_PANE, "次のウィンドウに切り替えます\n次のウィンドウ"},
    {ID_PREV_PANE, "前のウィンドウに切り替えます\n前のウィンドウ"},
    {ID_FORMAT_FONT, "表示に使うフォントを変更します\nフォントの変更"},
    {ID_INDICATOR_CAPS, "CAP"},
    {ID_INDICATOR_NUM, "NUM"},
    {ID_INDICATOR_SCRL, "SCRL"},
    {ID_INDICATOR_KANA, "カナ"},
    {ID_VIEW_TOOLBAR, "ツール バーの表示と非表示を切り替えます\nツール バーの表示切り替え"},
    {ID_VIEW_STATUS_BAR, "ステータス バーの表示と非表示を切り替えます\n"
                         "ステータス バーの表示切り替え"},
    {IDS_OPEN_FILE, "開く"},
    {IDS_SAVE_FILE, "名前を付けて保存"},
    {IDS_ALL_FILTER, "すべてのファイル (*.*)"},
    {IDP_FAILED_TO_OPEN_DOC, "%1 を開けませんでした。"},
    {IDP_FAILED_TO_SAVE_DOC, "%1 に保存できませんでした。"},
    {IDP_COMMAND_FAILURE, "コマンドを実行できませんでした。"},
});

constexpr bool IsAscending()
{
    for (std::size_t i = 1; i < kStrings.size(); ++i) {
        if (kStrings[i - 1].id >= kStrings[i].id)
            return false;
    }
    return true;
}
static_assert(IsAscending(), "the string table must stay sorted by id, without duplicates");

const StringEntry *Find(int id)
{
    const auto it = std::lower_bound(kStrings.begin(), kStrings.end(), id,
                                     [](const StringEntry &e, int key) { return e.id < key; });
    return (it != kStrings.end() && it->id == id) ? &*it : nullptr;
}

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

std::span<const StringEntry> StringTable()
{
    return kStrings;
}

bool HasString(int id)
{
    return Find(id) != nullptr;
}

std::string_view StringUtf8(int id)
{
    const StringEntry *e = Find(id);
    return e ? e->utf8 : std::string_view();
}

QString LoadString(int id)
{
    return FromUtf8(StringUtf8(id));
}

QString StringField(int id, int n)
{
    std::string_view text = StringUtf8(id);
    for (int i = 0; i < n; ++i) {
        const std::size_t nl = text.find('\n');
        if (nl == std::string_view::npos)
            return {};
        text.remove_prefix(nl + 1);
    }
    return FromUtf8(text.substr(0, text.find('\n')));
}

QString CommandPrompt(int id)
{
    return StringField(id, 0);
}

QString CommandToolTip(int id)
{
    return StringField(id, 1);
}

} // namespace kivo::res
