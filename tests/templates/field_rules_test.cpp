// SPDX-License-Identifier: MIT
// The field editor's rules over values, with the near misses that tell each rule (the ID
// filter is seen through the dialog, where one message a change is its point).
#include "templates/field_rules.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

using namespace Qt::StringLiterals;
using namespace templates;

TEST(FieldRules, ReservedIdsAreWholeWordsInAnyCaseAndSizesWholeNumbersFrom1To255) {
    for (const auto& [ids, reserved] :
         {std::pair{u"Memo|date|LONG|<>|yesNo"_s, true}, {u"Memo2|MEMO1| MAX|<"_s, false}}) {
        for (const QString& id : ids.split(u'|')) {
            EXPECT_EQ(isReservedFieldId(id), reserved) << id.toStdString();
        }
    }
    for (const auto& [sizes, out] :
         {std::pair{u"|1|255|007"_s, false}, {u"0|256|300|1a|-1"_s, true}}) {
        for (const QString& size : sizes.split(u'|')) {
            EXPECT_EQ(sizeOutOfRange(size), out) << size.toStdString();
        }
    }
}

TEST(FieldRules, TheSizeBoxTakesDigitEnterAndBackspaceKeysAndKeysThatTypeNothing) {
    for (const auto& [texts, passes] : {std::pair{u"5|\r|\b|\t|"_s, true}, {u"a|-|５"_s, false}}) {
        for (const QString& text : texts.split(u'|')) {
            EXPECT_EQ(sizeKeyPasses(0, {}, text), passes) << text.toStdString();
        }
    }
}

}  // namespace
