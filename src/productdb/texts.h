#pragma once

// Messages of the create command and the builder, exactly as the user sees them.

#include <QStringView>

namespace productdb {

// Builder failures.
inline constexpr QStringView kMsgFieldIdWrong = u"項目ＩＤが誤っています。行= ";
inline constexpr QStringView kMsgFieldIdWrongId = u"　項目ＩＤ=";
inline constexpr QStringView kMsgBuildAborted =
    u"データ作成エラーが発生しました。異常によって終了しました。";

// The create command.
inline constexpr QStringView kMsgNoFields = u"データベースを作成するには、項目を入力してください。";
inline constexpr QStringView kMsgIdAndNameRequired = u"%1行目の 項目IDと項目名を入力してください。";
inline constexpr QStringView kMsgSizeRequired = u"%1行目のデータサイズは必須です｡";
inline constexpr QStringView kMsgDuplicate =
    u"項目ID あるいは項目名は重複しています。 \r\n行： %1　と  %2　重複";
inline constexpr QStringView kMsgNoMailField =
    u"メール項目が存在しないため、メールを送信することが出来ません。よろしいですか。";
// Kept with its mail counterpart; the create command does not ask it (see README).
inline constexpr QStringView kMsgNoFaxField =
    u"FAX項目が存在しないため、FAXを送信することが出来ません。よろしいですか。";
inline constexpr QStringView kMsgCreateFailed = u"データ作成エラーが発生しました。";

// Field IDs that make a database able to send mail or FAX (compared exactly).
inline constexpr QStringView kMailFieldIds[] = {u"MAIL1", u"MAIL2", u"MAIL3"};
inline constexpr QStringView kFaxFieldIds[] = {u"FAX1", u"FAX2", u"FAX3"};

}  // namespace productdb
