// SPDX-License-Identifier: MIT
#pragma once

// The template library's windows: their user-visible texts and the look of the tree's
// nodes.

#include <QColor>
#include <QStringView>

#include "templates/texts.h"

namespace browser {

// The root node's text.
inline constexpr QStringView kRootText = u"全部の項目";

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
// The selected entry is not in the tree (left out by the loading): the tree is loaded
// again and nothing is written.
inline constexpr QStringView kMsgNotShown =
    u"選択した項目は一覧に表示されていないので、操作できません。一覧を読み込み直します。";

// The entry a command names was deleted by another program meanwhile: nothing is written
// and the tree is loaded again.
inline constexpr QStringView kMsgEntryGone =
    u"この項目は他のプログラムによって削除されています。一覧を読み込み直します。";
// Shown while a large folder is checked or deleted (after a second).
inline constexpr QStringView kMsgBusy = u"処理中です。しばらくお待ちください。";
// A failure the program did not foresee.
inline constexpr QStringView kMsgUnexpected = u"予期しないエラーが発生しました。";

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
using templates::kFolderNameMaxLength;

// The field editor: its caption per mode (the first is also the one it starts with), the
// frame and the labels of its inputs.
inline constexpr QStringView kFieldAddCaption = u"項目の追加";
inline constexpr QStringView kFieldEditCaption = u"項目の修正";
inline constexpr QStringView kFieldCopyCaption = u"フィールド複写";
inline constexpr QStringView kFieldFrame = u"項目";
inline constexpr QStringView kFieldIdLabel = u"項目ID";
inline constexpr QStringView kFieldNameLabel = u"項目名";
inline constexpr QStringView kFieldAttrLabel = u"属性";
inline constexpr QStringView kFieldSizeLabel = u"サイズ";
inline constexpr QStringView kFieldImeLabel = u"IME";

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

}  // namespace browser
