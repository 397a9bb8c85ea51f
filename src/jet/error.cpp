// SPDX-License-Identifier: MIT
#include "error.h"

#include <sqlite3.h>

#include <array>

namespace jet {

ErrorKind kindOf(int code) {
    switch (static_cast<ErrorCode>(code)) {
        case ErrorCode::kSyntax:
            return ErrorKind::kSyntax;
        case ErrorCode::kUnsupported:
            return ErrorKind::kUnsupported;
        case ErrorCode::kConnectionString:
            return ErrorKind::kConnectionString;
        case ErrorCode::kFileExists:
            return ErrorKind::kFileExists;
        case ErrorCode::kCannotOpen:
            return ErrorKind::kCannotOpen;
        case ErrorCode::kNotOpen:
        case ErrorCode::kNoCurrentRow:
        case ErrorCode::kTransaction:
            return ErrorKind::kMisuse;
        case ErrorCode::kNoSuchField:
        case ErrorCode::kNoSuchColumn:
            return ErrorKind::kNoSuchObject;
        case ErrorCode::kInvalidName:
            return ErrorKind::kInvalidName;
        case ErrorCode::kServer:
            return ErrorKind::kOther;
    }
    // SQLite's result codes, by their primary code.
    switch (code & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return ErrorKind::kLocked;
        case SQLITE_READONLY:
        case SQLITE_PERM:
            return ErrorKind::kReadOnly;
        case SQLITE_FULL:
            return ErrorKind::kDiskFull;
        case SQLITE_IOERR:
            return ErrorKind::kDiskError;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return ErrorKind::kNotADatabase;
        case SQLITE_CANTOPEN:
            return ErrorKind::kCannotOpen;
        case SQLITE_CONSTRAINT:
        case SQLITE_MISMATCH:
            return ErrorKind::kValueRefused;
        case SQLITE_TOOBIG:
            return ErrorKind::kTooBig;
        default:
            return ErrorKind::kOther;
    }
}

namespace {

struct Reason {
    ErrorKind kind;
    std::string_view text;
};

// One sentence for each kind, in the order of the kinds.
constexpr std::array<Reason, kErrorKinds> kReasons{{
    {ErrorKind::kOther, "データベースの処理でエラーが発生しました。"},
    {ErrorKind::kLocked, "データベースは他のプログラムが使用しています。"},
    {ErrorKind::kReadOnly, "データベースは読み取り専用です。書き込むことが出来ません。"},
    {ErrorKind::kDiskFull, "ディスクの空き容量が不足しています。"},
    {ErrorKind::kDiskError, "ディスクの読み書きに失敗しました。"},
    {ErrorKind::kNoSuchFile, "データベースのファイルが見つかりません。"},
    {ErrorKind::kNotAFile, "データベースのパスはファイルではありません。"},
    {ErrorKind::kNotADatabase, "データベースではないか、壊れているか、パスワードが誤っています。"},
    {ErrorKind::kCannotOpen, "データベースを開くことが出来ません。"},
    {ErrorKind::kFileExists, "同じ名前のファイルが既に存在します。"},
    {ErrorKind::kUnterminated, "引用符または括弧が閉じられていません。"},
    {ErrorKind::kSyntax, "SQL文が誤っています。"},
    {ErrorKind::kUnsupported, "この操作には対応していません。"},
    {ErrorKind::kValueRefused, "値がデータベースの規則に合いません。"},
    {ErrorKind::kTooBig, "値が大きすぎます。"},
    {ErrorKind::kNoSuchObject, "テーブルまたは項目が存在しません。"},
    {ErrorKind::kInvalidName, "テーブル名または項目名が誤っています。"},
    {ErrorKind::kConnectionString, "接続文字列が誤っています。"},
    {ErrorKind::kMisuse, "データベースの処理でエラーが発生しました。"},
}};

constexpr bool inKindOrder() {
    for (int i = 0; i < kErrorKinds; ++i) {
        if (static_cast<int>(kReasons[static_cast<std::size_t>(i)].kind) != i) {
            return false;
        }
    }
    return true;
}
static_assert(inKindOrder(), "one reason for each kind, in the order of the kinds");

}  // namespace

Error::Error(const std::string& message, int code)
    : std::runtime_error(message), m_code(code), m_kind(kindOf(code)) {}

Error::Error(const std::string& message, ErrorCode code) : Error(message, static_cast<int>(code)) {}

std::string_view reasonInJapanese(ErrorKind kind) {
    const auto index = static_cast<std::size_t>(kind);
    return index < kReasons.size() ? kReasons[index].text : kReasons.front().text;
}

}  // namespace jet
