// SPDX-License-Identifier: MIT
#pragma once

// Columns of the design grid fg1. Row 0 holds the headings, column 0 the row numbers;
// each data row is one field definition.

#include <QStringView>
#include <iterator>

namespace wizard {

enum GridColumn : int {
    kColNumber = 0,
    kColFieldId = 1,
    kColFieldName = 2,
    kColAttr = 3,
    kColSize = 4,
    kColIme = 5,
    kColMail = 6,
    kColFax = 7,
    kColReadOnly = 8,  // non-empty: no cell of the row can be edited
    kColExisting = 9,  // non-empty: the field is already in the product database
    kGridColumns = 10,
};

// What the existing-field marker (column 9) holds.
inline constexpr QStringView kExistingMark = u"1";

inline constexpr QStringView kHeadingFieldId = u"フィールドID";
inline constexpr QStringView kHeadingFieldName = u"項目名";
inline constexpr QStringView kHeadingAttr = u"属性";
inline constexpr QStringView kHeadingSize = u"サイズ";
inline constexpr QStringView kHeadingIme = u"IME";
inline constexpr QStringView kHeadingMail = u"メールアドレス";
inline constexpr QStringView kHeadingFax = u"FAX番号";

// The heading of a column from 1 to 7; empty for the others.
constexpr QStringView columnHeading(int col) {
    constexpr QStringView kHeadings[] = {{},           kHeadingFieldId, kHeadingFieldName,
                                         kHeadingAttr, kHeadingSize,    kHeadingIme,
                                         kHeadingMail, kHeadingFax};
    return col >= 0 && col < static_cast<int>(std::size(kHeadings)) ? kHeadings[col]
                                                                    : QStringView();
}

// The cell note (FlexGridModel::setCellNote) of a list cell that refused what came in for it:
// the row is refused by OK until an entry is set there.
inline constexpr QStringView kRefusedEntryNote = u"1";

// Background of the rows loaded from an existing product database, RGB(192, 192, 255) as
// an opaque ARGB number.
inline constexpr unsigned int kExistingRowArgb = 0xFFC0C0FFu;
// Text of the rows that cannot be edited because their template is fixed, RGB(128, 128, 128).
inline constexpr unsigned int kReadOnlyTextArgb = 0xFF808080u;

}  // namespace wizard
