// SPDX-License-Identifier: MIT
// The marks of the rows OK would refuse, kept over the grid's cells: one kind of refusal per
// row, each with OK's own message, taken in once control returns to the event loop, and gone
// once the row passes.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "grid_rows.h"
#include "wizard/grid_columns.h"
#include "wizard/live_checks.h"

namespace {

using namespace Qt::Literals::StringLiterals;

TEST(LiveChecks, EachRowOkWouldRefuseCarriesItsMessageUntilItPasses) {
    controls::FlexGridModel fg1;
    rvtest::fillGrid(fg1, 1, 0);  // E1
    wizard::LiveChecks checks(fg1);
    const struct {
        const char* kind;
        QString cells;  // ID|name|attribute|size
        QString note;   // its row number is 2
        QString fixed;  // ID|name|attribute|size that passes
    } cases[] = {
        // Which rows OK refuses, with which message, is the create checks' own test; that a
        // refused row is marked, the window's.
        {"the name of another row", u"A|E1名|数字|"_s,
         u"項目ID あるいは項目名は重複しています。 \r\n行： 1　と  2　重複"_s, u"A|名|数字|"_s},
    };
    const auto write = [&](const QString& cells) {
        const QStringList c = cells.split(u'|');
        for (int i = 0; i < 4; ++i) {
            fg1.setText(2, wizard::kColFieldId + i, c[i]);
        }
        QCoreApplication::processEvents();  // the marks follow once control returns
    };
    fg1.insertGridRow(2, {});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        write(c.cells);
        EXPECT_EQ(fg1.rowNote(2), c.note);
        EXPECT_EQ(fg1.rowNote(1), c.note.contains(u"重複") ? c.note : QString());
        write(c.fixed);
        EXPECT_EQ(fg1.rowNote(2), QString());
        EXPECT_EQ(fg1.rowNote(1), QString());
    }
    // A row that comes in refused is marked too.
    fg1.insertGridRow(3, {QString(), u"B"_s});
    QCoreApplication::processEvents();
    EXPECT_EQ(fg1.rowNote(3), u"3行目の 項目IDと項目名を入力してください。"_s);
}

}  // namespace
