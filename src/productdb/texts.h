// SPDX-License-Identifier: MIT
#pragma once

// The builder's messages, exactly as the user sees them.

#include <QStringView>

namespace productdb {

// A build failed on a field: %1 the row, %2 the field ID.
inline constexpr QStringView kMsgFieldIdWrong = u"項目ＩＤが誤っています。行= %1　項目ＩＤ=%2";
// A build failed before any field.
inline constexpr QStringView kMsgBuildAborted =
    u"データ作成エラーが発生しました。異常によって終了しました。";

}  // namespace productdb
