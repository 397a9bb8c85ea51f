#pragma once

// Columns of the design grid fg1. Row 0 holds the headings, column 0 the row numbers;
// each data row is one field definition.

#include <QColor>
#include <QStringView>

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

// Background of the rows loaded from an existing product database.
inline constexpr QColor kExistingRowColor = QColor(192, 192, 255);
// Text of the rows that cannot be edited because their template is fixed.
inline constexpr QColor kReadOnlyTextColor = QColor(128, 128, 128);

// Widths in twips, column 0 to 7.
inline constexpr int kColumnWidthsTwips[] = {300, 1200, 960, 960, 795, 705, 960, 960};

}  // namespace wizard
