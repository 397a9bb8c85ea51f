// Template fields copied from the tree into the design grid: which, in what order, where,
// and with which cells.
#include <gtest/gtest.h>

#include "browser/tree_loader.h"
#include "controls/flex_grid.h"
#include "controls/keyed_tree.h"
#include "controls/msg_box.h"
#include "controls/tree_find_line.h"
#include "databases.h"
#include "grid_rows.h"
#include "temp_dir.h"
#include "wizard/design_grid.h"
#include "wizard/template_import.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using wizard::RemoveCommand;

class TemplateImport : public ::testing::Test {
  protected:
    void SetUp() override {
        // Tree order differs from library order: top-level fields show after the folders.
        m_conn = QString::fromStdString(rvtest::templateLibrary(
            m_dir.file("t.mdb"), {
                                     "1,0,'F','','連絡先','','',NULL,'',''",
                                     "2,0,'F','','その他','','',NULL,'',''",
                                     "3,1,'A','NAME','氏名','T','40',2,'1',''",
                                     "4,1,'A','MAIL1','メール','T','100',1,'0','1'",
                                     "5,2,'A','BIRTH','誕生日','D','',1,'',NULL",
                                     "6,2,'A','COUNT','回数','N','',2,NULL,'0'",
                                     "7,2,'A','OPTIN','案内可','B','',3,'0','1'",
                                     "8,2,'A','NOTE','備考','M','',4,'1',''",
                                     "9,2,'A','ODD','不明','X',NULL,5,'x',NULL",
                                     "10,0,'A','TOP','先頭','T','10',1,'1',''",
                                 }));
        browser::loadTemplateTree(m_tree, m_conn, browser::LoadErrors::kStop);
        wizard::setupGrid(m_grid);
    }

    RemoveCommand import(std::initializer_list<const char*> nodes) {
        for (const char* key : nodes) {
            m_tree.node(QString::fromLatin1(key))->setSelected(true);
        }
        return wizard::importTemplates(m_grid, m_tree, m_conn);
    }
    // Column `c` of the rows, joined by '|'.
    QString column(int c) const { return rvtest::gridColumn(*m_grid.gridModel(), c).join(u'|'); }

    rvtest::TempDir m_dir;
    QString m_conn;
    controls::KeyedTree m_tree;
    controls::FlexGrid m_grid;
};

TEST_F(TemplateImport, SelectedFieldsComeInLibraryOrderAndFoldersAddNothing) {
    EXPECT_EQ(import({"0", "1", "3", "4", "10"}), RemoveCommand::kEnable);
    ASSERT_EQ(m_grid.rows(), 4);
    const controls::FlexGridModel& cells = *m_grid.gridModel();
    EXPECT_EQ(rvtest::gridRow(cells, 1), QStringLiteral("1|TOP|先頭|文字|10|ON||||"));
    EXPECT_EQ(rvtest::gridRow(cells, 2), QStringLiteral("2|MAIL1|メール|文字|100|OFF|||1|"));
    EXPECT_EQ(rvtest::gridRow(cells, 3), QStringLiteral("3|NAME|氏名|文字|40|ON||||"));
    EXPECT_EQ(m_grid.selectedRows(), (QList<int>{1, 2, 3})) << "several nodes: new rows selected";
}

TEST_F(TemplateImport, CodesBecomeLabelsAndOnlyFixedTemplatesAreReadOnly) {
    import({"5", "6", "7", "8", "9"});
    EXPECT_EQ(column(1), u"BIRTH|COUNT|OPTIN|NOTE|ODD"_s);
    EXPECT_EQ(column(3), u"日付|数字|YESNO|メモ|"_s);
    EXPECT_EQ(column(4), u"||||"_s);
    EXPECT_EQ(column(5), u"||OFF|ON|"_s);
    EXPECT_EQ(column(8), u"||1||"_s);
}

TEST_F(TemplateImport, TheRowsFollowTheFirstSelectedRowOrGoBelowTheExistingFields) {
    const struct {
        int existing, typed, selected;
        std::initializer_list<const char*> nodes;
        QString ids;
        QList<int> selectedAfter;
        int current;  // -1: not looked at
    } cases[] = {
        {0, 2, -1, {"3"}, u"T1|T2|NAME"_s, {}, 3},
        {2, 1, 1, {"3", "4"}, u"E1|E2|T1|MAIL1|NAME"_s, {4, 5}, -1},
        {0, 5, 4, {"3", "4"}, u"T1|T2|T3|T4|MAIL1|NAME|T5"_s, {5, 6}, -1},
    };
    for (const auto& c : cases) {
        rvtest::fillGrid(*m_grid.gridModel(), c.existing, c.typed);
        m_tree.clearSelection();
        if (c.selected != -1) {
            m_grid.selectRow(c.selected);
        }
        EXPECT_EQ(import(c.nodes),
                  c.selectedAfter.isEmpty() ? RemoveCommand::kLeave : RemoveCommand::kEnable);
        EXPECT_EQ(column(1), c.ids);
        EXPECT_EQ(column(0), u"1|2|3|4|5|6|7"_s.left(2 * m_grid.rows() - 3)) << "renumbered";
        EXPECT_EQ(m_grid.selectedRows(), c.selectedAfter);
        if (c.current != -1) {
            EXPECT_EQ(m_grid.currentRow(), c.current) << "one node: the new row becomes current";
        }
    }
}

TEST_F(TemplateImport, AFilteredTreeImportsOnlyWhatItShows) {
    import({"3"});  // 氏名, selected before the find and hidden by it
    controls::TreeFindLine find(m_tree);
    find.openFind();
    find.setText(u"i"_s);  // MAIL1, BIRTH, OPTIN and the folders above them
    m_tree.selectAll();
    EXPECT_EQ(import({}), RemoveCommand::kEnable);
    EXPECT_EQ(column(1), u"NAME|MAIL1|BIRTH|OPTIN"_s);
}

TEST_F(TemplateImport, AnUnreadableLibrarySaysSoOnceAndLeavesTheGrid) {
    rvtest::fillGrid(*m_grid.gridModel(), 0, 1);
    m_tree.node(QStringLiteral("3"))->setSelected(true);
    controls::MsgBoxResponder responder;
    wizard::importTemplates(
        m_grid, m_tree, QString::fromStdString(rvtest::connectionString(m_dir.file("none.mdb"))));
    ASSERT_EQ(responder.calls().size(), 1u);
    EXPECT_EQ(responder.calls()[0].prompt, QStringLiteral("データベースがエラーです"));
    EXPECT_TRUE(responder.calls()[0].exclamation);
    EXPECT_EQ(column(1), u"T1"_s);
}

}  // namespace
