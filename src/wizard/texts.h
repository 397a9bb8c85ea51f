// SPDX-License-Identifier: MIT
#pragma once

// The wizard's messages, exactly as the user sees them. Placeholders: %1, %2 are row
// numbers.

#include <QStringView>

#include "templates/texts.h"

namespace wizard {

// A database could not be opened or read (exclamation icon, OK only).
inline constexpr QStringView kMsgDatabaseError = u"データベースがエラーです";

// Warnings of the design grid's checks (exclamation icon, OK only).
inline constexpr QStringView kMsgSizeOutOfRange =
    u"%1行目のデータサイズは1以上、255以下でなければなりません｡";
// The field editor of the template library says the same two.
inline constexpr QStringView kMsgInvalidIdCharacters = templates::kMsgRefusedIdCharacters;
inline constexpr QStringView kMsgDigitsOnly = templates::kMsgDigitsOnly;

// A value that is no entry of a list cell's list, however it came (typed, pasted, read from
// a field file, imported); %1 the row, %2 the column's heading, %3 its entries (exclamation
// icon, OK only). The entries are joined by kEntrySeparator; the blank item is kBlankEntry.
inline constexpr QStringView kMsgNotAListEntry =
    u"%1行目の%2は「%3」のいずれかでなければなりません｡";
inline constexpr QStringView kEntrySeparator = u"、";
inline constexpr QStringView kBlankEntry = u"空白";

// Refusals of the row moves (no icon, OK only).
inline constexpr QStringView kMsgFirstRecord = u"最初のレコードです。";
inline constexpr QStringView kMsgCannotMoveAboveExisting = u"元のレコードの上に移動できません。";
inline constexpr QStringView kMsgLastRecord = u"最後のレコードです。";

// The create command (exclamation icon, OK only; the mail question OK/Cancel, no icon).
inline constexpr QStringView kMsgNoFields = u"データベースを作成するには、項目を入力してください。";
inline constexpr QStringView kMsgIdAndNameRequired = u"%1行目の 項目IDと項目名を入力してください。";
inline constexpr QStringView kMsgSizeRequired = u"%1行目のデータサイズは必須です｡";
// A row beyond the most fields a database holds: %2 that number.
inline constexpr QStringView kMsgTooManyFields =
    u"%1行目の項目は作成できません。項目数は%2以下でなければなりません。";
inline constexpr QStringView kMsgDuplicate =
    u"項目ID あるいは項目名は重複しています。 \r\n行： %1　と  %2　重複";
inline constexpr QStringView kMsgNoMailField =
    u"メール項目が存在しないため、メールを送信することが出来ません。よろしいですか。";
// Kept with its mail counterpart; the create command does not ask it (see docs/decisions.md).
inline constexpr QStringView kMsgNoFaxField =
    u"FAX項目が存在しないため、FAXを送信することが出来ません。よろしいですか。";
inline constexpr QStringView kMsgCreateFailed = u"データ作成エラーが発生しました。";

// Field IDs that make a database able to send mail (compared exactly).
inline constexpr QStringView kMailFieldIds[] = {u"MAIL1", u"MAIL2", u"MAIL3"};

}  // namespace wizard
