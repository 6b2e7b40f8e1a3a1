#pragma once

/// Numeric identifiers of Kivo's resources: commands, strings, menus, accelerator tables,
/// toolbars, dialogs and controls. A menu item, its accelerators and its toolbar button share one
/// command id; the string of the same number holds the command's status-bar prompt and, after a
/// newline, its tooltip.
namespace kivo::res {

// Menus, accelerator tables and toolbars.
inline constexpr int IDR_MAINFRAME = 128; ///< main frame: menu without documents, accelerators,
                                          ///< toolbar, icon and the main window's title
inline constexpr int IDR_RICHTYPE = 129;  ///< menu while documents are open; document strings
inline constexpr int IDR_CONTEXT = 130;   ///< the text windows' context menu

// Dialogs and controls.
inline constexpr int IDC_PROGRESS_BAR = 1028; ///< the progress dialog's bar
inline constexpr int IDC_DELIMITER_BOX = 130; ///< the delimiter box on the toolbar

// Strings of the application.
inline constexpr int IDS_MAIN_TITLE = 128;     ///< "Kivo！"
inline constexpr int IDS_DOC_STRINGS = 129;    ///< the document template's seven fields
inline constexpr int IDS_DELIMITER_BOX = 130;  ///< prompt and tooltip of the delimiter box
inline constexpr int IDS_DELIMITER_FONT = 131; ///< face name of the delimiter box's font
inline constexpr int IDS_ASK_ABORT = 132;      ///< abort confirmation of the progress dialog
inline constexpr int IDS_BAD_DELIMITERS_LONG = 133;
inline constexpr int IDS_BAD_DELIMITERS = 134;
inline constexpr int IDS_NO_DELIMITERS_LONG = 135;
inline constexpr int IDS_NO_DELIMITERS = 136;
// Captions of the progress dialog, one per phase of a comparison.
inline constexpr int IDS_CAPTION_ANALYSING = 140; ///< "テキスト解析中"
inline constexpr int IDS_CAPTION_COMPARING = 141; ///< "比較しています"
inline constexpr int IDS_CAPTION_PLEASE_WAIT = 142; ///< "しばらくお待ちください（比較中）"
inline constexpr int IDS_CAPTION_ALMOST_DONE = 143; ///< "あと少しお待ちください（比較中）"
inline constexpr int IDS_CAPTION_DISPLAYING = 144; ///< "結果を表示しています"
inline constexpr int IDS_CAPTION_SCROLLABLE = 145; ///< "スクロールできます（表示中）"
/// The status-bar summary of a finished comparison: the numbers of same, changed, added and
/// deleted sentence pairs, as %1 to %4.
inline constexpr int IDS_RESULT_SUMMARY = 146;
/// The same summary after a comparison that shows moved sentences, with their number as %5.
inline constexpr int IDS_RESULT_SUMMARY_MOVES = 147;
inline constexpr int IDS_SETTINGS_NOT_SAVED = 150; ///< the settings store could not be written
// What a message about a file says after its first line (which file failed, strings 61697 and
// 61698): that the window's text is unchanged, and for a save whether an old file was kept.
inline constexpr int IDS_TEXT_KEPT = 151;
inline constexpr int IDS_OLD_FILE_KEPT = 152;
inline constexpr int IDS_NO_FILE_WRITTEN = 153;
/// The save dialog's type of the comparison report.
inline constexpr int IDS_REPORT_FILTER = 154;
/// The save dialog's type of the old/new comparison table as a word-processor document.
inline constexpr int IDS_DOCX_FILTER = 155;
/// The save dialog's type of a window's text as plain UTF-8 text.
inline constexpr int IDS_TEXT_FILTER = 156;
/// The windows' contents of the last run could not be restored; %1 where the file was set aside.
inline constexpr int IDS_SESSION_DAMAGED = 157;
/// The history of the windows' texts is empty, or an entry of it cannot be read.
inline constexpr int IDS_NO_HISTORY = 159;
inline constexpr int IDS_HISTORY_UNREADABLE = 195;
// Why a file could not be read or written, one sentence per reason.
inline constexpr int IDS_REASON_UNEXPECTED = 160;   ///< no reason known
inline constexpr int IDS_REASON_SYSTEM_ERROR = 161; ///< %1 the error number, %2 its text
inline constexpr int IDS_REASON_NOT_FOUND = 162;
inline constexpr int IDS_REASON_NO_PERMISSION = 163;
inline constexpr int IDS_REASON_FOLDER = 164;
inline constexpr int IDS_REASON_READ_ONLY_FS = 165;
inline constexpr int IDS_REASON_DISK_FULL = 166;
inline constexpr int IDS_REASON_NUL_CHARACTER = 167; ///< %1 the byte, counted from 1
inline constexpr int IDS_REASON_NO_ENCODING = 168;   ///< %1 the byte, counted from 1
inline constexpr int IDS_REASON_TOO_LARGE = 169;     ///< %1 the most MiB read
inline constexpr int IDS_REASON_NO_MEMORY = 170;
inline constexpr int IDS_REASON_DAMAGED_RTF = 171;
inline constexpr int IDS_REASON_FIFO = 172;   ///< a named pipe, refused for what it is
inline constexpr int IDS_REASON_SOCKET = 173; ///< a socket, refused likewise
inline constexpr int IDS_REASON_DEVICE = 174; ///< a device, refused likewise
inline constexpr int IDS_REASON_DAMAGED_ZIP = 175;
inline constexpr int IDS_REASON_ZIP_BOMB = 176; ///< %1 the most MiB inflated, %2 the largest ratio
inline constexpr int IDS_REASON_XML_DTD = 177;
inline constexpr int IDS_REASON_NO_BODY = 178; ///< a zip archive that is no .docx or .odt
inline constexpr int IDS_REASON_DAMAGED_XML = 179;
inline constexpr int IDS_REASON_BROKEN_UTF8 = 190;  ///< %1 the byte, counted from 1
inline constexpr int IDS_REASON_BROKEN_UTF16 = 191; ///< %1 the byte, counted from 1
inline constexpr int IDS_REASON_EXPANDS = 192;      ///< %1 the largest ratio of text to file
inline constexpr int IDS_REASON_ENCRYPTED_ZIP = 193;
inline constexpr int IDS_REASON_ZIP_METHOD = 194;
/// A file that was read only in part: it ends early (an RTF cut short).
inline constexpr int IDS_FILE_ENDS_EARLY = 158;
inline constexpr int IDS_REASON_PDF_PASSWORD = 180;
inline constexpr int IDS_REASON_PDF_NO_TEXT = 181;
inline constexpr int IDS_REASON_DAMAGED_PDF = 182;
inline constexpr int IDS_REASON_PDF_TOO_COMPLEX = 183;

// Strings that come with the application framework.
inline constexpr int IDS_APP_TITLE = 57344;    ///< "Kivo": message-box caption, settings key
inline constexpr int IDS_IDLE_MESSAGE = 57345; ///< status-bar text while nothing is pointed at
inline constexpr int IDS_OPEN_FILE = 61440;    ///< title of the open dialog
inline constexpr int IDS_SAVE_FILE = 61441;    ///< title of the save dialog
inline constexpr int IDS_ALL_FILTER = 61442;   ///< the file dialogs' filter of every file
inline constexpr int IDP_FAILED_TO_OPEN_DOC = 61697; ///< %1 the file that could not be opened
inline constexpr int IDP_FAILED_TO_SAVE_DOC = 61698; ///< %1 the file that could not be saved
inline constexpr int IDP_COMMAND_FAILURE = 61705;

// Status-bar indicators.
inline constexpr int ID_INDICATOR_CAPS = 59137;
inline constexpr int ID_INDICATOR_NUM = 59138;
inline constexpr int ID_INDICATOR_SCRL = 59139;
inline constexpr int ID_INDICATOR_KANA = 59142;

// Commands of the file menu.
inline constexpr int ID_FILE_NEW = 57600;
inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_CLOSE = 57602;
inline constexpr int ID_FILE_SAVE = 57603;
inline constexpr int ID_FILE_SAVE_AS = 57604;
inline constexpr int ID_FILE_PRINT_SETUP = 57606;
inline constexpr int ID_FILE_PRINT = 57607;
inline constexpr int ID_FILE_PRINT_DIRECT = 57608;
inline constexpr int ID_FILE_PRINT_PREVIEW = 57609;
inline constexpr int ID_FILE_MRU_FILE1 = 57616;
inline constexpr int ID_FILE_MRU_FILE16 = 57631;
inline constexpr int kRecentFileCount = ID_FILE_MRU_FILE16 - ID_FILE_MRU_FILE1 + 1;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;

// Commands of the edit menu.
inline constexpr int ID_EDIT_CLEAR_ALL = 57633;
inline constexpr int ID_EDIT_COPY = 57634;
inline constexpr int ID_EDIT_CUT = 57635;
inline constexpr int ID_EDIT_FIND = 57636;
inline constexpr int ID_EDIT_PASTE = 57637;
inline constexpr int ID_EDIT_REPEAT = 57640;
inline constexpr int ID_EDIT_REPLACE = 57641;
inline constexpr int ID_EDIT_SELECT_ALL = 57642;
inline constexpr int ID_EDIT_UNDO = 57643;

// Commands of the window menu and the panes.
inline constexpr int ID_WINDOW_NEW = 57648;
inline constexpr int ID_WINDOW_TILE_HORZ = 57651; ///< one above the other
inline constexpr int ID_WINDOW_TILE_VERT = 57652; ///< side by side
inline constexpr int ID_NEXT_PANE = 57680;
inline constexpr int ID_PREV_PANE = 57681;
inline constexpr int ID_FORMAT_FONT = 57696;
inline constexpr int ID_VIEW_TOOLBAR = 59392;
inline constexpr int ID_VIEW_STATUS_BAR = 59393;

// Kivo's own commands.
inline constexpr int ID_COMPARE_SELECTION = 32771;
inline constexpr int ID_COLOR_SETTINGS = 32772;
inline constexpr int ID_COMPARE_SETTINGS = 32773;
inline constexpr int ID_SYNC_SCROLL = 32774;
inline constexpr int ID_STARTUP_NORMAL = 32778;
inline constexpr int ID_STARTUP_MAXIMIZED = 32779;
inline constexpr int ID_COMPARE_WHOLE = 32789;
inline constexpr int ID_NEXT_DIFFERENCE = 32790;
inline constexpr int ID_PREV_DIFFERENCE = 32791;
inline constexpr int ID_GO_TO_MOVED = 32792;      ///< to the other end of a moved sentence
inline constexpr int ID_EXPORT_REPORT = 32793;    ///< the result shown, as an HTML report
inline constexpr int ID_COMPARISON_TABLE = 32794; ///< the result shown, as an old/new table
inline constexpr int ID_FILE_HISTORY = 32795;     ///< a window's text of an earlier run

} // namespace kivo::res
