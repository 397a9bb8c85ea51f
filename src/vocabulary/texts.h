// SPDX-License-Identifier: MIT
#pragma once

// The field attribute vocabulary: the codes the databases store and the labels the grid
// and the dialogs show. Every text here is stored or shown exactly as written.

#include <QStringView>
#include <array>

namespace vocabulary {

// One attribute of a field: its stored code (FIELD.ATTR, TEMP_FIELD.ATTR), its label, the
// ADDRESS column type word, whether it takes a size (a "T" column is TEXT with the size as
// width) and whether its fields use the input method.
struct Attribute {
    QStringView code;
    QStringView label;
    QStringView columnType;
    bool takesSize;
    bool takesIme;
};

// The five attributes in the order of the grid's drop-down list; the builder's label tests
// run in this order.
inline constexpr std::array<Attribute, 5> kAttributes{{
    {u"T", u"文字", u"TEXT", true, true},
    {u"N", u"数字", u"DOUBLE", false, false},
    {u"D", u"日付", u"DATE", false, false},
    {u"B", u"YESNO", u"YESNO", false, false},
    {u"M", u"メモ", u"MEMO", false, true},
}};
// The text attribute: the only one with a size, and the one a new row starts with.
inline constexpr const Attribute& kText = kAttributes[0];

// A code with its label.
struct Kind {
    QStringView code;
    QStringView label;
};

// Input-method flag (IME).
inline constexpr Kind kImeOn{u"1", u"ON"};
inline constexpr Kind kImeOff{u"0", u"OFF"};

// Mail kind (MAIL_ADDRESS_FLG) and FAX kind (FAX_NO_FLG); "0" is none, shown as an empty
// cell or the lists' blank item.
inline constexpr std::array<Kind, 2> kMailKinds{{{u"1", u"PCメール"}, {u"2", u"携帯メール"}}};
inline constexpr std::array<Kind, 2> kFaxKinds{{{u"1", u"公用FAX"}, {u"2", u"私用FAX"}}};
inline constexpr QStringView kNoneCode = u"0";

// Template flag (TEMP_FIELD.DIS_ALT_FLG) of a fixed template field, and the read-only
// marker it becomes in the grid.
inline constexpr QStringView kFixedFlag = u"1";
inline constexpr QStringView kFixedMark = u"1";

// The drop-down lists of the grid: items separated by "|"; a single blank item is none.
inline constexpr QStringView kListSeparator = u"|";
inline constexpr QStringView kBlankItem = u" ";

}  // namespace vocabulary
