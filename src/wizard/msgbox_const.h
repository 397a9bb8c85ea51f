#pragma once

// MsgBox_Const: the field attribute vocabulary. Codes are what the databases store,
// labels what the grid and the dialogs show.

#include <QString>
#include <QStringView>
#include <array>
#include <optional>

#include "wizard/texts.h"

namespace MsgBox_Const {

// One attribute: stored code, shown label, ADDRESS column type word. A "T" column is
// TEXT with the field's size as width; the builder adds the width.
struct AttributeKind {
    QStringView code;
    QStringView label;
    QStringView columnType;
};

// In the order of the grid's drop-down list; the builder's label tests run in this order.
inline constexpr std::array<AttributeKind, 5> kAttributeKinds{{
    {wizard::kAttrCodeText, wizard::kAttrLabelText, wizard::kColumnTypeText},
    {wizard::kAttrCodeNumber, wizard::kAttrLabelNumber, wizard::kColumnTypeNumber},
    {wizard::kAttrCodeDate, wizard::kAttrLabelDate, wizard::kColumnTypeDate},
    {wizard::kAttrCodeYesNo, wizard::kAttrLabelYesNo, wizard::kColumnTypeYesNo},
    {wizard::kAttrCodeMemo, wizard::kAttrLabelMemo, wizard::kColumnTypeMemo},
}};

// Code to label, by exact (case-sensitive) equality. Anything unknown gives an empty
// string; none of these fails.
QString getATTRLabel(const QString& code);  // "T" -> "文字" ... "M" -> "メモ"
QString getONOFF(const QString& code);      // "1" -> "ON", "0" -> "OFF"
QString getFlagMark(const QString& flag);   // "1" -> "1", else empty

// Grid cell to code, as the builder writes a row. A cell matches a label when it
// contains it, ignoring letter case.

// Mail kind: "PCメール" -> "1", else "携帯メール" -> "2", else "0".
QString mailCode(const QString& cell);
// FAX kind: "公用FAX" -> "1", else "私用FAX" -> "2", else "0".
QString faxCode(const QString& cell);
// IME: "ON" -> "1", else "0".
QString imeCode(const QString& cell);

// Attribute code and column type word: every label is tested in list order and the last
// one contained wins. nullopt when the cell holds no label; the builder then keeps what
// it had.
std::optional<QString> attrCode(const QString& cell);
std::optional<QString> columnType(const QString& cell);

}  // namespace MsgBox_Const
