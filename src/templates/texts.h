#pragma once

// The template library's user-visible texts and the look of its tree nodes.

#include <QColor>
#include <QStringView>

namespace templates {

// Root node of the template tree.
inline constexpr QStringView kRootKey = u"0";
inline constexpr QStringView kRootText = u"全部の項目";

// Kinds of TEMP_FIELD rows, compared exactly (lower-case rows are not shown).
inline constexpr QStringView kKindFolder = u"F";
inline constexpr QStringView kKindField = u"A";

// Node images: the root and folders, template fields, fixed template fields.
inline constexpr QStringView kImageClosed = u"close";
inline constexpr QStringView kImageOpen = u"open";
inline constexpr QStringView kImageField = u"f1";
inline constexpr QStringView kImageFixedField = u"f2";

inline constexpr int kNodeFontSize = 10;
inline constexpr QColor kRootColor = QColor(200, 160, 50);
inline constexpr QColor kFolderColor = QColor(0, 0, 255);
inline constexpr QColor kFieldColor = QColor(0, 80, 0);

// Indentation of one tree level.
inline constexpr int kTreeIndentTwips = 250;

// What a screen reader calls a template tree, in the wizard and in the browser.
inline constexpr QStringView kTreeAccessibleName = u"項目ライブラリ";
// The find line under a template tree (Ctrl+F): its name for screen readers, and the hint
// it shows while empty.
inline constexpr QStringView kFindAccessibleName = u"項目の検索";
inline constexpr QStringView kFindPlaceholder = u"名前・IDで検索";

// The template browser.
inline constexpr QStringView kBrowserCaption = u"項目一覧";
inline constexpr QStringView kMsgConfirmDelete = u"削除してもよろしいですか。";
inline constexpr QStringView kMsgFolderHoldsFixed =
    u"削除不可項目が含まれているので、フォルダを削除できません";
inline constexpr QStringView kMsgFixedField = u"これは削除できない項目です";
// A folder dragged into its own subtree (known by its name).
inline constexpr QStringView kMsgCannotMoveHere = u"この場所への移動はできません";

// Its toolbar: the captions by button, and what each does, for tool tips and screen readers.
inline constexpr QStringView kButtonAdd = u"追加";
inline constexpr QStringView kButtonEdit = u"修正";
inline constexpr QStringView kButtonDelete = u"削除";
inline constexpr QStringView kButtonCopy = u"複写";
inline constexpr QStringView kButtonClose = u"閉じる";
inline constexpr QStringView kTipAddFolder = u"フォルダを追加します";
inline constexpr QStringView kTipRenameFolder = u"フォルダの名前を変えます";
inline constexpr QStringView kTipDeleteFolder = u"フォルダを中身ごと削除します";
inline constexpr QStringView kTipAddField = u"項目を追加します";
inline constexpr QStringView kTipEditField = u"項目を修正します";
inline constexpr QStringView kTipDeleteField = u"項目を削除します";
inline constexpr QStringView kTipCopyField = u"項目を複写して新しい項目を作ります";
inline constexpr QStringView kTipClose = u"項目一覧を閉じます";

// Toolbar images, in the toolbar's image list.
inline constexpr QStringView kImageFolderAdd = u"folder-add";
inline constexpr QStringView kImageFolderEdit = u"folder-edit";
inline constexpr QStringView kImageFolderDelete = u"folder-delete";
inline constexpr QStringView kImageFieldAdd = u"field-add";
inline constexpr QStringView kImageFieldEdit = u"field-edit";
inline constexpr QStringView kImageFieldDelete = u"field-delete";
inline constexpr QStringView kImageCopy = u"copy";
inline constexpr QStringView kImageCloseWindow = u"close-window";

// The folder editor: its caption per mode (the first is also the one it starts with).
inline constexpr QStringView kFolderAddCaption = u"フォルダの追加";
inline constexpr QStringView kFolderRenameCaption = u"フォルダの修正";
inline constexpr QStringView kFolderNameLabel = u"フォルダ名";
inline constexpr QStringView kCaptionOk = u"OK(&O)";
inline constexpr QStringView kCaptionCancel = u"ｷｬﾝｾﾙ(&C)";
inline constexpr int kFolderNameMaxLength = 30;
// A name is required (the field editor says the same).
inline constexpr QStringView kMsgEnterText = u"正確な文字を入力してください。";

// The field editor: its caption per mode (the first is also the one it starts with), the
// frame and the labels of its inputs, and the limits of the three text boxes.
inline constexpr QStringView kFieldAddCaption = u"項目の追加";
inline constexpr QStringView kFieldEditCaption = u"項目の修正";
inline constexpr QStringView kFieldCopyCaption = u"フィールド複写";
inline constexpr QStringView kFieldFrame = u"項目";
inline constexpr QStringView kFieldIdLabel = u"項目ID";
inline constexpr QStringView kFieldNameLabel = u"項目名";
inline constexpr QStringView kFieldAttrLabel = u"属性";
inline constexpr QStringView kFieldSizeLabel = u"サイズ";
inline constexpr QStringView kFieldImeLabel = u"IME";
inline constexpr int kFieldIdMaxLength = 31;
inline constexpr int kFieldNameMaxLength = 31;
inline constexpr int kFieldSizeMaxLength = 3;
inline constexpr int kFieldSizeMin = 1;
inline constexpr int kFieldSizeMax = 255;

// IDs a template field may not have, matched whole and ignoring case.
inline constexpr QStringView kReservedFieldIds[] = {
    u"MEMO", u"YESNO", u"TEXT", u"INT",    u"DOUBLE", u"FLOAT", u"CHAR",
    u"BYTE", u"<>",    u"MAX",  u"NUMBER", u"DATE",   u"TIME",  u"LONG",
};

// The field editor's messages: on OK (no icon), and while typing and for a duplicate
// (exclamation icon); all with an OK button only. The size message begins with a blank,
// the duplicate message ends with one.
inline constexpr QStringView kMsgReservedFieldId = u"この項目ＩＤは使用できません";
inline constexpr QStringView kMsgDuplicateField = u"項目ID あるいは項目名は重複しています。 ";
inline constexpr QStringView kMsgRefusedIdCharacters =
    u"使用不可の文字があるので､その文字が削除されます｡";
inline constexpr QStringView kMsgDigitsOnly = u"数字を入力してください。";
inline constexpr QStringView kMsgSizeOutOfRange =
    u" 数値が1以上、255以下であるか確認してください。";

// Why a library file, or a line of one, is refused.
inline constexpr QStringView kFileUnreadable = u"cannot read it";
inline constexpr QStringView kFileBinary = u"not a library file: it is not text (binary)";
inline constexpr QStringView kFileNotUtf8 = u"not valid UTF-8 (name its encoding with --encoding)";
inline constexpr QStringView kFileWrongHeader =
    u"not a library file: the first line must name the columns folder, id, name, attribute, "
    u"size, ime, fixed, position, separated by tabs";
inline constexpr QStringView kFileWrongCellCount =
    u"%1 cells; a folder line has 1, a field line 8 (separated by tabs)";
inline constexpr QStringView kFileBadPath = u"a folder's path begins with \"/\"";
inline constexpr QStringView kFileBadEscape =
    u"an unknown escape (a backslash is written \\\\, a tab \\t, a line feed \\n, a carriage "
    u"return \\r, a \"/\" in a folder's name \\/)";
inline constexpr QStringView kFileBadAttribute =
    u"unknown attribute \"%1\" (文字 数字 日付 YESNO メモ)";
inline constexpr QStringView kFileBadIme = u"unknown IME \"%1\" (ON, OFF or empty)";
inline constexpr QStringView kFileBadFixedMark = u"unknown fixed mark \"%1\" (1 or empty)";
inline constexpr QStringView kFileBadPosition = u"position \"%1\" is not a whole number from 1";
inline constexpr QStringView kFilePathThroughField = u"the path %1 goes through a field";

// Why the import refuses a field or folder the editors would have changed as it was typed.
inline constexpr QStringView kImportIdTooLong = u"the field ID is longer than 31 characters";
inline constexpr QStringView kImportNameTooLong = u"the field's name is longer than 31 characters";
inline constexpr QStringView kImportFolderNameTooLong =
    u"a folder's name is longer than 30 characters";
inline constexpr QStringView kImportApostrophe = u"a name holds an apostrophe (')";
inline constexpr QStringView kImportSizeOnlyText = u"only 文字 fields have a size";

// The browser's context menu on a folder and the root: a library file of the folder's
// subtree written, a library file (or library database) read into the folder.
inline constexpr QStringView kMenuExport = u"書き出し...";
inline constexpr QStringView kMenuImport = u"読み込み...";
inline constexpr QStringView kExportCaption = u"書き出し";
inline constexpr QStringView kImportCaption = u"読み込み";
inline constexpr QStringView kLibraryFileFilter =
    u"ライブラリファイル (*.tsv *.txt);;ライブラリデータベース (*.mdb);;すべてのファイル (*)";
inline constexpr QStringView kExportDefaultName = u"templates.tsv";
// %1 = the reason.
inline constexpr QStringView kMsgExportFailed = u"書き出せませんでした。\n%1";
// %1 = the refused lines, one a line ("LINE行目: MESSAGE"; the file as a whole: MESSAGE).
inline constexpr QStringView kMsgImportRefused =
    u"読み込めませんでした。ライブラリは変わっていません。\n%1";
inline constexpr QStringView kRefusedLine = u"%1行目: %2";
// More refused lines than a message shows; %1 = how many more.
inline constexpr QStringView kMoreRefusedLines = u"ほか %1 行";
inline constexpr int kRefusedLinesShown = 20;

}  // namespace templates
