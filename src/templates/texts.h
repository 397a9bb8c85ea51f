// SPDX-License-Identifier: MIT
#pragma once

// The template library's node model and the field editor's rules: the texts and limits
// that hold without a window.

#include <QStringView>

namespace templates {

// The key of the root node, entry 0: the top level.
inline constexpr QStringView kRootKey = u"0";

// Kinds of TEMP_FIELD rows, compared exactly (lower-case rows are not shown).
inline constexpr QStringView kKindFolder = u"F";
inline constexpr QStringView kKindField = u"A";

// Node images: the root and folders, template fields, fixed template fields. A node is a
// field node exactly when it shows one of the field images.
inline constexpr QStringView kImageClosed = u"close";
inline constexpr QStringView kImageOpen = u"open";
inline constexpr QStringView kImageField = u"f1";
inline constexpr QStringView kImageFixedField = u"f2";

// A name is required (the folder editor and the field editor say the same).
inline constexpr QStringView kMsgEnterText = u"正確な文字を入力してください。";

// The limits of the field editor's three text boxes.
inline constexpr int kFieldIdMaxLength = 31;
inline constexpr int kFieldNameMaxLength = 31;
// The longest folder name the folder editor takes.
inline constexpr int kFolderNameMaxLength = 30;
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
inline constexpr QStringView kJetNoTemplates =
    u"a Jet database without a template library (no table TEMP_FIELD with FIELD_NO, "
    u"P_FIELD_NO, KIND, FIELD_ID and FIELD_NAME)";
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
// The editor drops such characters as they are typed; an import refuses the file instead.
inline constexpr QStringView kImportBadIdCharacters =
    u"the field ID \"%1\" holds \"%2\": a field ID is made of the letters A-Z, a-z and "
    u"the digits 0-9 only";
// A field whose ID or name is taken: the editor's message, then the entry it clashes with.
inline constexpr QStringView kImportDuplicateId = u"%1(the same ID as %2)";
inline constexpr QStringView kImportDuplicateName = u"%1(the same name as %2)";
inline constexpr QStringView kImportLibraryField = u"the library's field %1 「%2」";
inline constexpr QStringView kImportLineField = u"line %1: %2 「%3」";

}  // namespace templates
