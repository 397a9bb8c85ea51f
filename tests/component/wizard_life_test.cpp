// The wizard's life as a host sees it: opening, activation, closing, and what is left
// on disk afterwards.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "component/create_db_sql.h"
#include "component/make_db.h"
#include "component/rv_makedb.h"
#include "component/rv_makedb_form.h"
#include "controls/flex_grid.h"
#include "controls/keyed_tree.h"
#include "controls/msg_box.h"
#include "db_fixtures.h"
#include "jet/temp_dir.h"
#include "modal.h"

namespace {

using component::rv_makeDBForm;

class WizardLife : public ::testing::Test {
  protected:
    void SetUp() override {
        m_templates = rvtest::makeTemplateDb(m_dir.file("base.mdb"),
                                             {"1,0,'F','','連絡先','','',NULL,'',''",
                                              "2,1,'A','MAIL1','PCメール','T','100',1,'0','1'"});
        m_path = m_dir.file("product.mdb");
    }

    // Opens the wizard through the host's entry, runs `inside` on it, then presses
    // Cancel unless `inside` closed it.
    void run(const std::string& password, const std::function<void(rv_makeDBForm&)>& inside) {
        rvtest::whenModal([inside](QWidget* w) {
            auto* form = qobject_cast<rv_makeDBForm*>(w);
            ASSERT_NE(form, nullptr);
            inside(*form);
            if (form->isVisible()) {
                form->Command1->click();
            }
        });
        auto timedOut = rvtest::closeModalsAfter(10000);
        std::string file = m_path, pass = password, conn = m_templates;
        makeDB().CreateDatabase(file, pass, conn);
        EXPECT_FALSE(*timedOut) << "the wizard did not close";
    }

    rvtest::TempDir m_dir;
    std::string m_templates;
    std::string m_path;
};

TEST_F(WizardLife, NewPathCreatesAnEncryptedFileThatCancelRemoves) {
    bool sawFile = false;
    run("secret", [&](rv_makeDBForm& form) {
        sawFile = QFileInfo::exists(QString::fromStdString(m_path));
        EXPECT_FALSE(form.dbExists());
        EXPECT_FALSE(form.openFailed());
        EXPECT_NE(rvtest::readBytes(m_path).substr(0, 15), "SQLite format 3");
        jet::Connection c;
        EXPECT_NO_THROW(c.open(jet::ConnectionString::build(m_path, "secret")));
        EXPECT_EQ(form.fg1->rows(), 1) << "only the heading row";
        EXPECT_EQ(form.SSTree1->nodeCount(), 3);
    });
    EXPECT_TRUE(sawFile);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(m_path)));
}

TEST_F(WizardLife, EmptyPasswordMakesAPlainFile) {
    run("", [&](rv_makeDBForm&) {
        EXPECT_EQ(rvtest::readBytes(m_path).substr(0, 15), "SQLite format 3");
    });
}

TEST_F(WizardLife, ExistingDatabaseIsLoadedAndLeftAlone) {
    rvtest::makeProductDb(m_path, "pw",
                          {"INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,DISP_SEQNO) "
                           "VALUES('NAME','氏名','T','1',1)"});
    const std::string before = rvtest::readBytes(m_path);
    run("pw", [&](rv_makeDBForm& form) {
        EXPECT_TRUE(form.dbExists());
        ASSERT_EQ(form.fg1->rows(), 2);
        EXPECT_EQ(form.fg1->textMatrix(1, 1), QStringLiteral("NAME"));
        EXPECT_EQ(form.fg1->textMatrix(1, 9), QStringLiteral("1"));
    });
    EXPECT_EQ(rvtest::readBytes(m_path), before);
}

TEST_F(WizardLife, WrongPasswordSaysSoOnceAndClosesByItself) {
    rvtest::makeProductDb(m_path, "right", {});
    const std::string before = rvtest::readBytes(m_path);
    controls::MsgBoxResponder responder;
    auto timedOut = rvtest::closeModalsAfter(10000);
    std::string file = m_path, pass = "wrong", conn = m_templates;
    makeDB().CreateDatabase(file, pass, conn);
    EXPECT_FALSE(*timedOut);
    ASSERT_EQ(responder.calls().size(), 1u);
    EXPECT_EQ(responder.calls()[0].prompt, QStringLiteral("データベースがエラーです"));
    EXPECT_EQ(responder.calls()[0].title, QStringLiteral("ravLIN"));
    EXPECT_TRUE(responder.calls()[0].exclamation);
    EXPECT_EQ(rvtest::readBytes(m_path), before);
}

TEST_F(WizardLife, UnreadableTemplateLibraryFailsTheCallBeforeAnythingHappens) {
    for (std::string conn :
         {std::string("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + m_dir.file("missing.mdb"),
          std::string("Provider=SQLOLEDB;Data Source=x")}) {
        std::string file = m_path, pass = "pw";
        EXPECT_ANY_THROW(makeDB().CreateDatabase(file, pass, conn)) << conn;
        EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(m_path)));
        EXPECT_EQ(CreateDBSql::currentWizard(), nullptr);
    }
    const std::string bad =
        std::string("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + m_dir.file("missing.mdb");
    EXPECT_NE(rv_makeDB_CreateDatabase(m_path.c_str(), "pw", bad.c_str()), 0);
    EXPECT_NE(std::string(rv_makeDB_LastError()).find("missing.mdb"), std::string::npos);
}

TEST_F(WizardLife, RowButtonsAreDisabledOnEveryActivation) {
    run("", [&](rv_makeDBForm& form) {
        for (QPushButton* b : {form.Command3, form.Command4, form.Command5, form.Command6}) {
            EXPECT_FALSE(b->isEnabled());
            b->setEnabled(true);
        }
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&form, &activate);
        for (QPushButton* b : {form.Command3, form.Command4, form.Command5, form.Command6}) {
            EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
        }
        for (QPushButton* b : {form.Command1, form.Command2, form.Command7, form.Command8}) {
            EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();
        }
    });
}

TEST_F(WizardLife, WindowShowsItsTextsExactly) {
    run("", [&](rv_makeDBForm& form) {
        EXPECT_EQ(form.windowTitle(), QStringLiteral("データベース作成ウイザード"));
        EXPECT_EQ(form.Label1->text(),
                  QStringLiteral("データベース項目を作成します。主な項目は右のリストにあります。"
                                 "「<< 使用」ボタンを用いることで簡単に使用することができます。"
                                 "また、左側のリストに直接設定することも可能です。"));
        const std::vector<std::pair<QPushButton*, QString>> captions = {
            {form.Command1, QStringLiteral("キャンセル(C)")},
            {form.Command2, QStringLiteral("OK(O)")},
            {form.Command3, QStringLiteral("上へ(&U)")},
            {form.Command4, QStringLiteral("<< 使用(&A)")},
            {form.Command5, QStringLiteral("削除(&R) >>")},
            {form.Command6, QStringLiteral("下へ(&D)")},
            {form.Command7, QStringLiteral("設定")},
            {form.Command8, QStringLiteral("項目追加")}};
        for (const auto& [b, text] : captions) {
            EXPECT_EQ(b->text(), text);
        }
        const QStringList headings = {QString(),
                                      QStringLiteral("フィールドID"),
                                      QStringLiteral("項目名"),
                                      QStringLiteral("属性"),
                                      QStringLiteral("サイズ"),
                                      QStringLiteral("IME"),
                                      QStringLiteral("メールアドレス"),
                                      QStringLiteral("FAX番号")};
        for (int c = 1; c < headings.size(); ++c) {
            EXPECT_EQ(form.fg1->textMatrix(0, c), headings[c]);
        }
        EXPECT_EQ(form.fg1->cols(), 10);
        for (int c : {6, 7, 8, 9}) {
            EXPECT_TRUE(form.fg1->isColHidden(c)) << c;
        }
    });
}

TEST_F(WizardLife, AccessKeysAreTheCaptionsLetters) {
    // The off-screen platform delivers no shortcut events, so this checks the keys the
    // buttons registered; Qt presses a button on its key.
    run("", [&](rv_makeDBForm& form) {
        EXPECT_EQ(form.Command3->shortcut(), QKeySequence(QStringLiteral("Alt+U")));
        EXPECT_EQ(form.Command6->shortcut(), QKeySequence(QStringLiteral("Alt+D")));
        EXPECT_EQ(form.Command5->shortcut(), QKeySequence(QStringLiteral("Alt+R")));
        EXPECT_EQ(form.Command4->shortcut(), QKeySequence(QStringLiteral("Alt+A")));
        EXPECT_TRUE(form.Command2->shortcut().isEmpty()) << "OK(O) has no access key";
    });
}

TEST_F(WizardLife, ClickingAFieldNodeEnablesUse) {
    run("", [&](rv_makeDBForm& form) {
        Q_EMIT form.SSTree1->nodeClick(form.SSTree1->node(QStringLiteral("2")));
        EXPECT_TRUE(form.Command4->isEnabled());
        EXPECT_EQ(form.basNodeKey, QStringLiteral("2"));
        Q_EMIT form.SSTree1->nodeClick(form.SSTree1->node(QStringLiteral("1")));
        EXPECT_FALSE(form.Command4->isEnabled());
        Q_EMIT form.SSTree1->nodeClick(form.SSTree1->node(QStringLiteral("0")));
        EXPECT_FALSE(form.Command4->isEnabled());
    });
}

TEST_F(WizardLife, UseCopiesTheSelectedTemplatesIntoTheGrid) {
    run("", [&](rv_makeDBForm& form) {
        form.SSTree1->node(QStringLiteral("1"))->setSelected(true);
        form.SSTree1->node(QStringLiteral("2"))->setSelected(true);
        form.Command4->setEnabled(true);  // as the click on the field node left it
        form.Command4->click();
        ASSERT_EQ(form.fg1->rows(), 2);
        EXPECT_EQ(form.fg1->textMatrix(1, 1), QStringLiteral("MAIL1"));
        EXPECT_EQ(form.fg1->textMatrix(1, 8), QStringLiteral("1"));
        EXPECT_TRUE(form.fg1->isRowSelected(1));
        EXPECT_TRUE(form.Command5->isEnabled());
    });
}

TEST_F(WizardLife, TheTreeNeverSeesCutCopyOrPaste) {
    run("", [&](rv_makeDBForm& form) {
        controls::KeyedTree& tree = *form.SSTree1;
        tree.addNode(QStringLiteral("0"), QStringLiteral("99"), QStringLiteral("Copy"));
        tree.setFocus();
        tree.setCurrentItem(tree.node(QStringLiteral("2")));
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        for (Qt::Key k : {Qt::Key_X, Qt::Key_C, Qt::Key_V}) {
            QTest::keyClick(&tree, k, Qt::ControlModifier);
        }
        EXPECT_TRUE(clipboard->text().isEmpty());

        QTest::keyClick(&tree, Qt::Key_C);
        EXPECT_EQ(tree.currentItem(), tree.node(QStringLiteral("99"))) << "C alone searches";
        QTest::keyClick(&tree, Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(tree.selectedItems().size(), 4) << "Ctrl+A selects all";

        // Unguarded, the tree copies the current node's text.
        tree.removeEventFilter(&form);
        QTest::keyClick(&tree, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(clipboard->text(), QStringLiteral("Copy"));
    });
}

}  // namespace
