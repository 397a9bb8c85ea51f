// The field editor's rules over values, with the near misses that tell each rule.
#include "templates/field_rules.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using namespace templates;

TEST(FieldRules, TheIdKeepsAsciiLettersAndDigitsAndTellsOfAnythingButTheApostrophe) {
    const struct {
        QString typed, kept;
        bool refused;
    } cases[] = {
        {u"AZaz09"_s, u"AZaz09"_s, false}, {u"a-b"_s, u"ab"_s, true},
        {u"a'b''"_s, u"ab"_s, false},      {u"日本abc"_s, u"abc"_s, true},
        {u"x_y.z @"_s, u"xyz"_s, true},    {u"Ａ１ｱ"_s, u""_s, true},
        {u"'/:@[`{"_s, u""_s, true},  // the neighbours of the allowed ranges
    };
    for (const auto& c : cases) {
        const FilteredFieldId out = filterFieldId(c.typed);
        EXPECT_EQ(out.text, c.kept) << c.typed.toStdString();
        EXPECT_EQ(out.refused, c.refused) << c.typed.toStdString();
    }
}

TEST(FieldRules, ReservedIdsAreWholeWordsInAnyCase) {
    for (const QString& id : {u"Memo"_s, u"date"_s, u"LONG"_s, u"<>"_s, u"yesNo"_s}) {
        EXPECT_TRUE(isReservedFieldId(id)) << id.toStdString();
    }
    for (const QString& id : {u"Memo2"_s, u"MEMO1"_s, u"DATE2"_s, u" MAX"_s, u"<"_s, u""_s}) {
        EXPECT_FALSE(isReservedFieldId(id)) << id.toStdString();
    }
}

TEST(FieldRules, TheSizeTakesDigitKeysAndWholeNumbersFromOneTo255) {
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        QString text;
        bool passes;
    } keys[] = {
        {Qt::Key_5, {}, u"5"_s, true},
        {Qt::Key_Return, {}, u"\r"_s, true},
        {Qt::Key_Backspace, {}, u"\b"_s, true},
        {Qt::Key_Left, {}, {}, true},
        {Qt::Key_Tab, {}, u"\t"_s, true},
        {Qt::Key_A, {}, u"a"_s, false},
        {Qt::Key_Minus, {}, u"-"_s, false},
        {0, {}, u"５"_s, false},
        {Qt::Key_V, Qt::ControlModifier, u"\x16"_s, false},
        {Qt::Key_5, Qt::ControlModifier, u"5"_s, false},
        {Qt::Key_C, Qt::ControlModifier, {}, false},
    };
    for (const auto& k : keys) {
        EXPECT_EQ(sizeKeyPasses(k.key, k.modifiers, k.text), k.passes) << k.key;
    }
    for (const QString& size : {u""_s, u"1"_s, u"255"_s, u"007"_s}) {
        EXPECT_FALSE(sizeOutOfRange(size)) << size.toStdString();
    }
    for (const QString& size : {u"0"_s, u"256"_s, u"300"_s, u"000"_s, u"1a"_s, u"-1"_s}) {
        EXPECT_TRUE(sizeOutOfRange(size)) << size.toStdString();
    }
}

}  // namespace
