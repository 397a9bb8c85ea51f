// SPDX-License-Identifier: MIT
// The attribute vocabulary's conversions, each with the near misses that tell its rule.
#include "vocabulary/msgbox_const.h"

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

struct Case {
    const char* name;
    std::function<QString(const QString&)> convert;
    QString in, out;
};

TEST(MsgBoxConst, ConvertsByEachRulesOwnMatching) {
    using namespace MsgBox_Const;
    const auto code = [](std::optional<QString> (*f)(const QString&)) {
        return [f](const QString& cell) { return f(cell).value_or(u"<none>"_s); };
    };
    const Case cases[] = {
        // Codes to labels and back: exact, case-sensitive; anything else is empty. (The
        // template import shows every code's label.)
        {"getATTRLabel", getATTRLabel, u"T"_s, u"文字"_s},
        {"getATTRLabel", getATTRLabel, u"t"_s, u""_s},
        {"getATTR", getATTR, u"メモ"_s, u"M"_s},
        {"getATTR", getATTR, u"yesno"_s, u""_s},
        {"getONOFF", getONOFF, u"1"_s, u"ON"_s},
        {"getONOFF", getONOFF, u"on"_s, u""_s},
        {"getFlagMark", getFlagMark, u"1"_s, u"1"_s},
        {"getFlagMark", getFlagMark, u"0"_s, u""_s},
        // The builder's cells: contained, ignoring case; mail, FAX, IME take the first match.
        {"imeCode", imeCode, u"on"_s, u"1"_s},
        {"imeCode", imeCode, u"OFF"_s, u"0"_s},
        {"mailCode", mailCode, u"pcメール"_s, u"1"_s},
        {"mailCode", mailCode, u"携帯メール PCメール"_s, u"1"_s},
        {"mailCode", mailCode, u"携帯メール"_s, u"2"_s},
        {"faxCode", faxCode, u"私用fax"_s, u"2"_s},
        {"faxCode", faxCode, u"私用FAX/公用FAX"_s, u"1"_s},
        {"faxCode", faxCode, u""_s, u"0"_s},
        // Attribute and type word: the last label in list order wins; no label is none.
        {"attrCode", code(attrCode), u"yesno"_s, u"B"_s},
        {"attrCode", code(attrCode), u"メモ文字"_s, u"M"_s},
        {"attrCode", code(attrCode), u"TEXT"_s, u"<none>"_s},
        {"columnType", code(columnType), u"日付 数字"_s, u"DATE"_s},
        // Stored values of an existing field: codes contained, ignoring case.
        {"attrLabelOfStored", attrLabelOfStored, u"t"_s, u"文字"_s},
        {"attrLabelOfStored", attrLabelOfStored, u"X"_s, u"X"_s},
        {"imeLabelOfStored", imeLabelOfStored, u"1"_s, u"ON"_s},
        {"imeLabelOfStored", imeLabelOfStored, u""_s, u"OFF"_s},
        {"mailLabelOfStored", mailLabelOfStored, u"2"_s, u"携帯メール"_s},
        {"faxLabelOfStored", faxLabelOfStored, u"12"_s, u"公用FAX"_s},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.convert(c.in), c.out) << c.name << "(" << c.in.toStdString() << ")";
    }
}

TEST(MsgBoxConst, GridListsInTheirOrder) {
    EXPECT_EQ(MsgBox_Const::attributeList(), u"文字|数字|日付|YESNO|メモ"_s);
    EXPECT_EQ(MsgBox_Const::imeList(), u"ON|OFF"_s);
    EXPECT_EQ(MsgBox_Const::mailList(), u" |PCメール|携帯メール"_s);
    EXPECT_EQ(MsgBox_Const::faxList(), u" |公用FAX|私用FAX"_s);
}

}  // namespace
