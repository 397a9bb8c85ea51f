#pragma once

// The wizard's user-visible texts and the codes stored beside them. Every text here is
// shown or stored exactly as written; change one only together with the databases and
// windows that rely on it.

#include <QStringView>

namespace wizard {

// Title of every message box.
inline constexpr QStringView kMsgBoxTitle = u"ravLIN";

// A database could not be opened or read (exclamation icon, OK only).
inline constexpr QStringView kMsgDatabaseError = u"データベースがエラーです";

// Attribute: code stored in FIELD.ATTR / TEMP_FIELD.ATTR, label shown in the grid,
// column type word used for the ADDRESS column.
inline constexpr QStringView kAttrCodeText = u"T";
inline constexpr QStringView kAttrCodeNumber = u"N";
inline constexpr QStringView kAttrCodeDate = u"D";
inline constexpr QStringView kAttrCodeYesNo = u"B";
inline constexpr QStringView kAttrCodeMemo = u"M";

inline constexpr QStringView kAttrLabelText = u"文字";
inline constexpr QStringView kAttrLabelNumber = u"数字";
inline constexpr QStringView kAttrLabelDate = u"日付";
inline constexpr QStringView kAttrLabelYesNo = u"YESNO";
inline constexpr QStringView kAttrLabelMemo = u"メモ";

inline constexpr QStringView kColumnTypeText = u"TEXT";
inline constexpr QStringView kColumnTypeNumber = u"DOUBLE";
inline constexpr QStringView kColumnTypeDate = u"DATE";
inline constexpr QStringView kColumnTypeYesNo = u"YESNO";
inline constexpr QStringView kColumnTypeMemo = u"MEMO";

// Input-method flag.
inline constexpr QStringView kImeCodeOn = u"1";
inline constexpr QStringView kImeCodeOff = u"0";
inline constexpr QStringView kImeLabelOn = u"ON";
inline constexpr QStringView kImeLabelOff = u"OFF";

// Mail kind (MAIL_ADDRESS_FLG).
inline constexpr QStringView kMailCodePc = u"1";
inline constexpr QStringView kMailCodeMobile = u"2";
inline constexpr QStringView kMailCodeNone = u"0";
inline constexpr QStringView kMailLabelPc = u"PCメール";
inline constexpr QStringView kMailLabelMobile = u"携帯メール";

// FAX kind (FAX_NO_FLG).
inline constexpr QStringView kFaxCodeOffice = u"1";
inline constexpr QStringView kFaxCodePrivate = u"2";
inline constexpr QStringView kFaxCodeNone = u"0";
inline constexpr QStringView kFaxLabelOffice = u"公用FAX";
inline constexpr QStringView kFaxLabelPrivate = u"私用FAX";

// Template flag (TEMP_FIELD.DIS_ALT_FLG) and the read-only marker it becomes in the grid.
inline constexpr QStringView kFixedFlag = u"1";
inline constexpr QStringView kFreeFlag = u"0";
inline constexpr QStringView kFixedMark = u"1";

// Drop-down lists of the design grid; a single blank entry means "none".
inline constexpr QStringView kAttrList = u"文字|数字|日付|YESNO|メモ";
inline constexpr QStringView kImeList = u"ON|OFF";
// The IME list of rows whose attribute has no input method: one blank item.
inline constexpr QStringView kImeNoneList = u" ";
inline constexpr QStringView kMailList = u" |PCメール|携帯メール";
inline constexpr QStringView kFaxList = u" |公用FAX|私用FAX";

// Warnings of the design grid's checks (exclamation icon, OK only). %1 is the row number.
inline constexpr QStringView kMsgSizeOutOfRange =
    u"%1行目のデータサイズは1以上、255以下でなければなりません｡";
inline constexpr QStringView kMsgInvalidIdCharacters =
    u"使用不可の文字があるので､その文字が削除されます｡";
inline constexpr QStringView kMsgDigitsOnly = u"数字を入力してください。";

// Refusals of the row moves (no icon, OK only).
inline constexpr QStringView kMsgFirstRecord = u"最初のレコードです。";
inline constexpr QStringView kMsgCannotMoveAboveExisting = u"元のレコードの上に移動できません。";
inline constexpr QStringView kMsgLastRecord = u"最後のレコードです。";

}  // namespace wizard
