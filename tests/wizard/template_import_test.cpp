// SPDX-License-Identifier: MIT
// The template import: which chosen fields the library gives back and in what order, and the
// plan over the grid's cells: where the rows go, with which cells, and the selection after.
#include <gtest/gtest.h>

#include "databases.h"
#include "grid_rows.h"
#include "temp_dir.h"
#include "wizard/template_import.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using wizard::ChosenNodes;
using wizard::ChosenTemplates;

// A template field as the library holds it: "ID|name|attr|size|ime|fixed".
templates::TemplateEntry entry(const QString& fields) {
    const QStringList f = fields.split(u'|');
    templates::TemplateEntry e;
    e.kind = u"A"_s;
    e.fieldId = f[0];
    e.name = f[1];
    e.attr = f[2];
    e.size = f[3];
    e.ime = f[4];
    e.fixedFlag = f[5];
    return e;
}

QStringList ids(const std::vector<templates::TemplateEntry>& entries) {
    QStringList out;
    for (const auto& e : entries) {
        out << e.fieldId;
    }
    return out;
}

// (An unreadable library is the window's test: it says so.)
TEST(TemplateImport, ChosenFieldsComeBackInLibraryOrder) {
    rvtest::TempDir dir;
    // Library order (parent, then position) differs from numbers and from the tree's order.
    const templates::LibraryOwner conn(QString::fromStdString(rvtest::templateLibrary(
        dir.file("t.mdb"), {
                               "1,0,'F','','連絡先','','',NULL,'',''",
                               "2,0,'F','','その他','','',NULL,'',''",
                               "3,1,'A','NAME','氏名','T','40',2,'1',''",
                               "4,1,'A','MAIL1','メール','T','100',1,'0','1'",
                               "5,2,'A','BIRTH','誕生日','D','',1,'',NULL",
                               "10,0,'A','TOP','先頭','T','10',1,'1',''",
                           })));
    const struct {
        QSet<qint64> chosen;
        QStringList ids;
    } cases[] = {
        {{3, 4, 10}, {u"TOP"_s, u"MAIL1"_s, u"NAME"_s}},
        {{5, 1, 0, 99}, {u"BIRTH"_s}},  // folders, the root and unknown numbers add nothing
    };
    for (const auto& c : cases) {
        const ChosenTemplates chosen = wizard::readChosenTemplates(conn, c.chosen);
        EXPECT_FALSE(chosen.unreadable);
        EXPECT_EQ(ids(chosen.entries), c.ids);
    }
}

// Each column gets its code's label (every code's label is the vocabulary's test); only a
// fixed template is read-only; a control character in the ID or the name stays behind.
TEST(TemplateImport, CodesBecomeLabelsAndOnlyFixedTemplatesAreReadOnly) {
    controls::FlexGridModel fg1;
    rvtest::fillGrid(fg1, 0, 0);
    const struct {
        QString entry, cells;
        bool fixed;
    } cases[] = {
        {u"NAME|氏名|T|40|1|"_s, u"|NAME|氏名|文字|40|ON||||"_s, false},
        {u"OPTIN|案内可|B||0|1"_s, u"|OPTIN|案内可|YESNO||OFF|||1|"_s, true},
        {u"T\u2028EL|電\t話\r\n番号\u007f\u2029|T|20|1|"_s, u"|TEL|電話番号|文字|20|ON||||"_s,
         false},
    };
    for (const auto& c : cases) {
        const wizard::ImportPlan plan =
            wizard::planImport({{entry(c.entry)}}, fg1, {}, ChosenNodes::kOne);
        ASSERT_EQ(plan.rows.size(), 1);
        EXPECT_EQ(plan.rows[0].cells.join(u'|'), c.cells) << c.entry.toStdString();
        EXPECT_EQ(plan.rows[0].fixed, c.fixed) << c.entry.toStdString();
    }
}

// Where the rows go and what is selected afterwards, over grids of existing rows E1.. and
// typed rows T1..; "A" and "B" are two template fields.
TEST(TemplateImport, TheRowsFollowTheFirstSelectedRowOrGoBelowTheExistingFields) {
    using enum ChosenNodes;
    const struct {
        int existing, typed;
        QList<int> selected;
        QString chosen;  // the IDs read, by spaces
        ChosenNodes nodes;
        QList<int> rows;  // where each goes
        QList<int> selectedAfter;
        std::optional<int> current;
    } cases[] = {
        // Nothing selected: after the last row.
        {0, 2, {}, u"A"_s, kOne, {3}, {}, 3},
        {0, 0, {}, u"A B"_s, kSeveral, {1, 2}, {1, 2}, {}},
        // After the first selected row; the rows below move down.
        {0, 5, {4, 5}, u"A B"_s, kSeveral, {5, 6}, {5, 6, 7}, {}},
        // One node: the next row becomes current.
        {0, 5, {2}, u"A"_s, kOne, {3}, {}, 3},
        // One field among several nodes: selected.
        {0, 3, {1}, u"A"_s, kSeveral, {2}, {2}, {}},
        // An existing row selected: to the end, selected; so with existing rows only.
        {2, 1, {1}, u"A B"_s, kOne, {4, 5}, {4, 5}, {}},
        {2, 0, {}, u"A"_s, kOne, {3}, {3}, {}},
        // Nothing read: nothing changes.
        {0, 3, {2}, u""_s, kOne, {}, {2}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        controls::FlexGridModel fg1;
        rvtest::fillGrid(fg1, c.existing, c.typed);
        ChosenTemplates chosen;
        for (const QString& id : c.chosen.split(u' ', Qt::SkipEmptyParts)) {
            chosen.entries.push_back(entry(id + u"|n|T|10|1|"_s));
        }
        const wizard::ImportPlan plan = wizard::planImport(chosen, fg1, c.selected, c.nodes);
        QList<int> rows;
        for (const wizard::ImportRow& row : plan.rows) {
            rows << row.row;
        }
        EXPECT_EQ(rows, c.rows);
        EXPECT_EQ(plan.selected, c.selectedAfter);
        EXPECT_EQ(plan.current, c.current);
        EXPECT_FALSE(plan.message);
    }
}

}  // namespace
