// Template fields copied from the tree into the design grid: which, in what order, where,
// and with which cells.
#include <gtest/gtest.h>

#include "controls/flex_grid.h"
#include "controls/keyed_tree.h"
#include "controls/msg_box.h"
#include "db_fixtures.h"
#include "jet/temp_dir.h"
#include "qt_strings.h"
#include "templates/tree_loader.h"
#include "wizard/design_grid.h"
#include "wizard/grid_rules.h"
#include "wizard/template_import.h"
#include "wizard/tree_key_guard.h"

namespace {

using wizard::RemoveCommand;

class TemplateImport : public ::testing::Test {
  protected:
    void SetUp() override {
        // Tree order differs from library order: top-level fields show after the folders.
        const std::vector<std::string> rows = {
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
        };
        m_conn = QString::fromStdString(rvtest::makeTemplateDb(m_dir.file("t.mdb"), rows));
        templates::loadTemplateTree(m_tree, m_conn, templates::LoadErrors::kStop);
        wizard::setupGrid(m_grid);
    }

    RemoveCommand import(std::initializer_list<const char*> nodes) {
        for (const char* key : nodes) {
            m_tree.node(QString::fromLatin1(key))->setSelected(true);
        }
        return wizard::importTemplates(m_grid, m_tree, m_conn);
    }
    // Rows with the given IDs; existing fields carry both markers.
    void addRows(const QStringList& ids, bool existing = false) {
        for (const QString& id : ids) {
            m_grid.addItem(QStringLiteral("\t%1\t\t文字\t\tON\t\t\t%2\t%2")
                               .arg(id, existing ? QStringLiteral("1") : QString()));
        }
        wizard::renumberRows(m_grid);
    }
    QStringList column(int c) const {
        QStringList cells;
        for (int r = 1; r < m_grid.rows(); ++r) {
            cells << m_grid.textMatrix(r, c);
        }
        return cells;
    }
    QStringList row(int r) const {
        QStringList cells;
        for (int c = 0; c < 10; ++c) {
            cells << m_grid.textMatrix(r, c);
        }
        return cells;
    }

    rvtest::TempDir m_dir;
    QString m_conn;
    controls::KeyedTree m_tree;
    controls::FlexGrid m_grid;
};

TEST_F(TemplateImport, SelectedFieldsComeInLibraryOrderAndFoldersAddNothing) {
    EXPECT_EQ(import({"0", "1", "3", "4", "10"}), RemoveCommand::kEnable);
    ASSERT_EQ(m_grid.rows(), 4);
    EXPECT_EQ(row(1), (rvtest::qsl({"1", "TOP", "先頭", "文字", "10", "ON", "", "", "", ""})));
    EXPECT_EQ(row(2),
              (rvtest::qsl({"2", "MAIL1", "メール", "文字", "100", "OFF", "", "", "1", ""})));
    EXPECT_EQ(row(3), (rvtest::qsl({"3", "NAME", "氏名", "文字", "40", "ON", "", "", "", ""})));
    EXPECT_EQ(m_grid.selectedRows(), (QList<int>{1, 2, 3})) << "several nodes: new rows selected";
}

TEST_F(TemplateImport, CodesBecomeLabelsAndOnlyFixedTemplatesAreReadOnly) {
    import({"5", "6", "7", "8", "9"});
    EXPECT_EQ(column(1), (rvtest::qsl({"BIRTH", "COUNT", "OPTIN", "NOTE", "ODD"})));
    EXPECT_EQ(column(3), (rvtest::qsl({"日付", "数字", "YESNO", "メモ", ""})));
    EXPECT_EQ(column(4), (rvtest::qsl({"", "", "", "", ""})));
    EXPECT_EQ(column(5), (rvtest::qsl({"", "", "OFF", "ON", ""})));
    EXPECT_EQ(column(8), (rvtest::qsl({"", "", "1", "", ""})));
    for (int r = 1; r < m_grid.rows(); ++r) {
        wizard::currentCellChange(m_grid, r, 1);
        EXPECT_EQ(m_grid.isEditable(), r != 3) << r;
    }
}

TEST_F(TemplateImport, NothingSelectedInTheGridInsertsAfterTheLastRow) {
    addRows({QStringLiteral("T1"), QStringLiteral("T2")});
    EXPECT_EQ(import({"3"}), RemoveCommand::kLeave);
    EXPECT_EQ(column(1), (rvtest::qsl({"T1", "T2", "NAME"})));
    EXPECT_EQ(column(0), (rvtest::qsl({"1", "2", "3"})));
    EXPECT_EQ(m_grid.currentRow(), 3) << "one node: the new row becomes current";
    EXPECT_TRUE(m_grid.selectedRows().isEmpty());
}

TEST_F(TemplateImport, BelowAnExistingFieldTheRowsGoToTheEnd) {
    addRows({QStringLiteral("E1"), QStringLiteral("E2")}, true);
    addRows({QStringLiteral("T1")});
    m_grid.selectRow(1);
    EXPECT_EQ(import({"3", "4"}), RemoveCommand::kEnable);
    EXPECT_EQ(column(1), (rvtest::qsl({"E1", "E2", "T1", "MAIL1", "NAME"})));
    EXPECT_EQ(m_grid.selectedRows(), (QList<int>{4, 5}));
}

TEST_F(TemplateImport, AfterASelectedTypedRowTheRowsFormOneBlock) {
    addRows({QStringLiteral("T1"), QStringLiteral("T2"), QStringLiteral("T3"), QStringLiteral("T4"),
             QStringLiteral("T5")});
    m_grid.selectRow(4);
    EXPECT_EQ(import({"3", "4"}), RemoveCommand::kEnable);
    EXPECT_EQ(column(1), (rvtest::qsl({"T1", "T2", "T3", "T4", "MAIL1", "NAME", "T5"})));
    EXPECT_EQ(column(0), (rvtest::qsl({"1", "2", "3", "4", "5", "6", "7"})));
    EXPECT_EQ(m_grid.selectedRows(), (QList<int>{5, 6}));
}

TEST_F(TemplateImport, AnUnreadableLibrarySaysSoOnceAndLeavesTheGrid) {
    addRows({QStringLiteral("T1")});
    m_tree.node(QStringLiteral("3"))->setSelected(true);
    controls::MsgBoxResponder responder;
    wizard::importTemplates(
        m_grid, m_tree,
        QString::fromStdString(jet::ConnectionString::build(m_dir.file("missing.mdb"), "")));
    ASSERT_EQ(responder.calls().size(), 1u);
    EXPECT_EQ(responder.calls()[0].prompt, QStringLiteral("データベースがエラーです"));
    EXPECT_EQ(responder.calls()[0].title, QStringLiteral("ravLIN"));
    EXPECT_TRUE(responder.calls()[0].exclamation);
    EXPECT_EQ(column(1), (rvtest::qsl({"T1"})));
}

TEST(TreeKeyGuard, OnlyCtrlAloneWithXCOrVIsHeldBack) {
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        bool guarded;
    } cases[] = {
        {Qt::Key_X, Qt::ControlModifier, true},
        {Qt::Key_C, Qt::ControlModifier, true},
        {Qt::Key_V, Qt::ControlModifier | Qt::KeypadModifier, true},
        {Qt::Key_C, Qt::NoModifier, false},
        {Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier, false},
        {Qt::Key_V, Qt::ControlModifier | Qt::AltModifier, false},
        {Qt::Key_A, Qt::ControlModifier, false},
        {Qt::Key_F2, Qt::NoModifier, false},
        {Qt::Key_F3, Qt::ControlModifier, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wizard::isGuardedTreeKey(c.key, c.modifiers), c.guarded)
            << c.key << " " << c.modifiers.toInt();
    }
}

}  // namespace
