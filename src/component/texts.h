// SPDX-License-Identifier: MIT
#pragma once

// The wizard window's user-visible texts.

#include <QStringView>

namespace component {

inline constexpr QStringView kWizardCaption = u"データベース作成ウイザード";
inline constexpr QStringView kHelpText =
    u"データベース項目を作成します。主な項目は右のリストにあります。「<< "
    u"使用」ボタンを用いることで簡単に使用することができます。また、左側のリストに直接設定する"
    u"ことも可能です。";

inline constexpr QStringView kCaptionCancel = u"キャンセル(C)";
inline constexpr QStringView kCaptionOk = u"OK(O)";
inline constexpr QStringView kCaptionUp = u"上へ(&U)";
inline constexpr QStringView kCaptionUse = u"<< 使用(&A)";
inline constexpr QStringView kCaptionRemove = u"削除(&R) >>";
inline constexpr QStringView kCaptionDown = u"下へ(&D)";
inline constexpr QStringView kCaptionSettings = u"設定";
inline constexpr QStringView kCaptionAddRow = u"項目追加";

// The preview of a build (F9, or the grid's context menu): its window and menu entry, and
// its buttons (Alt+C copies, Alt+X closes).
inline constexpr QStringView kPreviewCaption = u"作成内容の確認";
inline constexpr QStringView kCaptionCopy = u"コピー(&C)";
inline constexpr QStringView kCaptionClose = u"閉じる(&X)";

// The grid's context menu: rows copied out and pasted in as text, a field file read in.
inline constexpr QStringView kMenuCopyRows = u"コピー";
inline constexpr QStringView kMenuPasteRows = u"貼り付け";
inline constexpr QStringView kMenuOpenFieldFile = u"項目ファイルの読み込み...";
// The file dialog's filter, and the question of the field file's encoding.
inline constexpr QStringView kFieldFileFilter =
    u"項目ファイル (*.txt *.tsv *.csv);;すべてのファイル (*)";
inline constexpr QStringView kFieldFileEncodingTitle = u"文字コード";
inline constexpr QStringView kFieldFileEncodingLabel = u"項目ファイルの文字コード:";

// Shown (exclamation icon, OK) when another wizard has the product database open; the
// opening then fails and the wizard closes without touching the file.
inline constexpr QStringView kMsgDatabaseInUse = u"このデータベースは他のプログラムで使用中です。";

// Shown once (exclamation icon, OK) when the template tree leaves out entries it can never
// place (no parent, a loop, a number twice): how many, and the first by its name and number.
// The wizard opens all the same, with the rest of the tree.
inline constexpr QStringView kMsgEntriesLeftOut =
    u"表示できない項目が%1件あります。最初の項目は「%2」（番号 %3）です。";

// Shown (exclamation icon, OK) when the file at the path is a database the Windows system
// made (a Jet file), which this program reads only to convert it; %1 is the path. The
// opening then fails and the wizard closes without touching the file.
inline constexpr QStringView kMsgEarlierVersion =
    u"このファイルは以前のバージョンのデータベースです。\n"
    u"次のコマンドで新しいデータベースに変換してからお使いください。\n"
    u"rv_makedb --import-jet \"%1\" 新しいファイル名";

// What a screen reader calls the grid of fields (the template tree's name is the
// templates' own).
inline constexpr QStringView kGridAccessibleName = u"フィールド一覧";

// The field template library's file name, beside the component or in its data folder.
inline constexpr QStringView kTemplateLibraryFile = u"base.mdb";

// Batch mode: the line after a question it answered Cancel, as it does without --yes.
inline constexpr QStringView kBatchQuestionDeclined =
    u"rv_makedb: answered Cancel, as without --yes (--yes answers OK)";

// The test window frmMain.
inline constexpr QStringView kTestWindowDatabase = u"ravlinDB.mdb";
inline constexpr QStringView kTestWindowConnPrefix = u"Provider=Microsoft.Jet.OLEDB.4.0;";
inline constexpr QStringView kTestWindowConnSource = u"Data Source=";
inline constexpr QStringView kTestWindowConnSuffix = u";Persist Security Info=False";

}  // namespace component
