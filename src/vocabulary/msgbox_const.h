// SPDX-License-Identifier: MIT
#pragma once

// MsgBox_Const: the conversions between the vocabulary's codes and labels. None fails:
// anything unknown gives an empty string (or nullopt where "no label" must be told apart).

#include <QString>
#include <optional>

#include "vocabulary/texts.h"

namespace MsgBox_Const {

// Code to label, by exact (case-sensitive) equality.
QString getATTRLabel(const QString& code);  // "T" -> "文字" ... "M" -> "メモ"
QString getONOFF(const QString& code);      // "1" -> "ON", "0" -> "OFF"
QString getFlagMark(const QString& flag);   // "1" -> "1", else empty
// Label to code, by exact equality: "文字" -> "T" ... "メモ" -> "M".
QString getATTR(const QString& label);

// The attribute whose label is exactly `label`, or nullptr.
const vocabulary::Attribute* attributeOfLabel(QStringView label);

// Grid cell to code, as the builder writes a row: a cell matches a label when it contains
// it, ignoring letter case.
QString mailCode(const QString& cell);  // "PCメール" -> "1", else "携帯メール" -> "2", else "0"
QString faxCode(const QString& cell);  // "公用FAX" -> "1", else "私用FAX" -> "2", else "0"
QString imeCode(const QString& cell);  // "ON" -> "1", else "0"
// Every label is tested in list order and the last one contained wins; nullopt when the
// cell holds none (the builder then keeps what it had).
std::optional<QString> attrCode(const QString& cell);
std::optional<QString> columnType(const QString& cell);

// Stored value to label, as the fields of an existing product database are shown: a value
// matches a code when it contains it, ignoring case.
QString mailLabelOfStored(const QString& stored);  // "1" -> "PCメール", "2" -> "携帯メール"
QString faxLabelOfStored(const QString& stored);   // "1" -> "公用FAX", "2" -> "私用FAX"
QString imeLabelOfStored(const QString& stored);   // "1" -> "ON", else "OFF"
// The five codes are tested in list order, each on what the previous test left; a value
// with none of them stays as it is.
QString attrLabelOfStored(const QString& stored);

// The drop-down lists of the grid.
QString attributeList();  // "文字|数字|日付|YESNO|メモ"
QString imeList();        // "ON|OFF"
QString mailList();       // " |PCメール|携帯メール"
QString faxList();        // " |公用FAX|私用FAX"

}  // namespace MsgBox_Const
