#include "wizard/msgbox_const.h"

#include <gtest/gtest.h>

#include <QString>

using namespace Qt::StringLiterals;
using namespace MsgBox_Const;

namespace {

TEST(LabelsOfCodes, MapEveryCodeAndNothingElse) {
    EXPECT_EQ(getATTRLabel(u"T"_s), u"文字"_s);
    EXPECT_EQ(getATTRLabel(u"N"_s), u"数字"_s);
    EXPECT_EQ(getATTRLabel(u"D"_s), u"日付"_s);
    EXPECT_EQ(getATTRLabel(u"B"_s), u"YESNO"_s);
    EXPECT_EQ(getATTRLabel(u"M"_s), u"メモ"_s);
    EXPECT_EQ(getONOFF(u"1"_s), u"ON"_s);
    EXPECT_EQ(getONOFF(u"0"_s), u"OFF"_s);
    EXPECT_EQ(getFlagMark(u"1"_s), u"1"_s);

    // Exact, case-sensitive equality: near misses give an empty string, never a guess.
    for (const QString& code : {u"t"_s, u"TEXT"_s, u"T "_s, u"文字"_s, QString()})
        EXPECT_TRUE(getATTRLabel(code).isEmpty()) << code.toStdString();
    for (const QString& code : {u"on"_s, u"ON"_s, u"2"_s, u" 1"_s, QString()})
        EXPECT_TRUE(getONOFF(code).isEmpty()) << code.toStdString();
    for (const QString& flag : {u"0"_s, u"True"_s, u"-1"_s, QString()})
        EXPECT_TRUE(getFlagMark(flag).isEmpty()) << flag.toStdString();
}

TEST(BuilderCodes, MailAndFaxFirstMatchDecidesAndBlankIsNone) {
    EXPECT_EQ(mailCode(u"PCメール"_s), u"1"_s);
    EXPECT_EQ(mailCode(u"携帯メール"_s), u"2"_s);
    EXPECT_EQ(mailCode(u"pcメール"_s), u"1"_s);
    // Both labels in one cell: the first test wins even when the other stands first.
    EXPECT_EQ(mailCode(u"携帯メール PCメール"_s), u"1"_s);
    EXPECT_EQ(mailCode(u" "_s), u"0"_s);
    EXPECT_EQ(mailCode(QString()), u"0"_s);
    EXPECT_EQ(mailCode(u"メール"_s), u"0"_s);

    EXPECT_EQ(faxCode(u"公用FAX"_s), u"1"_s);
    EXPECT_EQ(faxCode(u"私用fax"_s), u"2"_s);
    EXPECT_EQ(faxCode(u"私用FAX/公用FAX"_s), u"1"_s);
    EXPECT_EQ(faxCode(u" "_s), u"0"_s);
}

TEST(BuilderCodes, ImeMatchesOnAsSubstringIgnoringCase) {
    EXPECT_EQ(imeCode(u"ON"_s), u"1"_s);
    EXPECT_EQ(imeCode(u"on"_s), u"1"_s);  // getONOFF refuses this one; the builder does not
    EXPECT_EQ(imeCode(u"OFF"_s), u"0"_s);
    EXPECT_EQ(imeCode(u" "_s), u"0"_s);
    EXPECT_EQ(imeCode(u"MONO"_s), u"1"_s);  // a substring is enough
}

TEST(BuilderCodes, AttributeAndTypeLastMatchWins) {
    EXPECT_EQ(attrCode(u"文字"_s), u"T"_s);
    EXPECT_EQ(attrCode(u"yesno"_s), u"B"_s);
    EXPECT_EQ(columnType(u"文字"_s), u"TEXT"_s);
    EXPECT_EQ(columnType(u"数字"_s), u"DOUBLE"_s);
    EXPECT_EQ(columnType(u"日付"_s), u"DATE"_s);
    EXPECT_EQ(columnType(u"YesNo"_s), u"YESNO"_s);
    EXPECT_EQ(columnType(u"メモ"_s), u"MEMO"_s);

    // Two labels in one cell: the later one in list order decides, whatever the cell's order.
    EXPECT_EQ(attrCode(u"メモ文字"_s), u"M"_s);
    EXPECT_EQ(attrCode(u"日付 数字"_s), u"D"_s);
    EXPECT_EQ(columnType(u"YESNO 文字"_s), u"YESNO"_s);
}

TEST(BuilderCodes, NoLabelIsDistinguishableFromAnyCode) {
    for (const QString& cell : {QString(), u" "_s, u"T"_s, u"TEXT"_s, u"文"_s}) {
        EXPECT_FALSE(attrCode(cell).has_value()) << cell.toStdString();
        EXPECT_FALSE(columnType(cell).has_value()) << cell.toStdString();
    }
}

}  // namespace
