// The wizard window: its life as a host sees it (opening, activation, the create command,
// closing, what is left on disk), and each grid event and row button running its rule.
#include <gtest/gtest.h>

#include <QApplication>
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
#include "controls/indexed_toolbar.h"
#include "controls/keyed_tree.h"
#include "controls/mouse_pointer.h"
#include "controls/msg_box.h"
#include "databases.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "modal.h"
#include "raw_db.h"
#include "temp_dir.h"
#include "templates/account_browse.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using component::rv_makeDBForm;

class WizardLife : public ::testing::Test {
  protected:
    // Opens the wizard through the host's entry, runs `inside` on it, then presses Cancel
    // unless `inside` closed it.
    void run(const std::string& password, const std::function<void(rv_makeDBForm&)>& inside) {
        rvtest::whenModal([inside](QWidget* w) {
            auto* form = qobject_cast<rv_makeDBForm*>(w);
            ASSERT_NE(form, nullptr);
            inside(*form);
            if (form->isVisible()) {
                form->Command1->click();
            }
        });
        auto timedOut = rvtest::closeModalsAfter(20000);
        std::string file = m_path, pass = password, conn = m_templates;
        makeDB().CreateDatabase(file, pass, conn);
        EXPECT_FALSE(*timedOut) << "the wizard did not close";
    }
    // Fills the grid with "ID|name|attribute|size" rows and presses OK; true when it closed.
    static bool ok(rv_makeDBForm& form, const QStringList& rows) {
        for (const QString& row : rows) {
            form.fg1->addItem(u"\t"_s + QString(row).replace(u'|', u'\t') + u"\tON"_s);
        }
        form.Command2->click();
        return !form.isVisible();
    }
    QStringList prompts() const {
        const std::vector<QString> all = m_responder.prompts();
        return {all.begin(), all.end()};
    }

    rvtest::TempDir m_dir;
    std::string m_templates = rvtest::templateLibrary(m_dir.file("base.mdb"));
    std::string m_path = m_dir.file("product.mdb");
    controls::MsgBoxResponder m_responder;
};

TEST_F(WizardLife, ANewPathGetsAProtectedFileThatCancelRemoves) {
    for (const std::string password : {"secret", ""}) {
        bool sawFile = false;
        run(password, [&](rv_makeDBForm& form) {
            sawFile = QFileInfo::exists(QString::fromStdString(m_path));
            EXPECT_FALSE(form.dbExists());
            EXPECT_EQ(rvtest::readBytes(m_path).substr(0, 15) == "SQLite format 3",
                      password.empty());
            jet::Connection c;
            EXPECT_NO_THROW(c.open(jet::ConnectionString::build(m_path, password)));
            EXPECT_EQ(form.fg1->rows(), 1) << "only the heading row";
            EXPECT_NE(form.SSTree1->node(u"137"_s), nullptr) << "the library's tree";
        });
        EXPECT_TRUE(sawFile);
        EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(m_path)));
    }
}

TEST_F(WizardLife, AWrongPasswordSaysSoOnceAndClosesByItself) {
    rvtest::productDatabase(m_path, "right", {});
    const std::string before = rvtest::readBytes(m_path);
    auto timedOut = rvtest::closeModalsAfter(10000);
    std::string file = m_path, pass = "wrong", conn = m_templates;
    makeDB().CreateDatabase(file, pass, conn);
    EXPECT_FALSE(*timedOut);
    EXPECT_EQ(prompts(), QStringList{u"データベースがエラーです"_s});
    EXPECT_EQ(m_responder.calls()[0].title, u"ravLIN"_s);
    EXPECT_TRUE(m_responder.calls()[0].exclamation);
    EXPECT_EQ(rvtest::readBytes(m_path), before);
}

TEST_F(WizardLife, AnUnreadableTemplateLibraryFailsTheCallBeforeAnythingHappens) {
    std::string file = m_path, pass = "pw";
    std::string missing = rvtest::connectionString(m_dir.file("missing.mdb"));
    EXPECT_ANY_THROW(makeDB().CreateDatabase(file, pass, missing));
    EXPECT_EQ(CreateDBSql::currentWizard(), nullptr);
    EXPECT_NE(rv_makeDB_CreateDatabase(m_path.c_str(), "pw", missing.c_str()), 0);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(m_path)));
    EXPECT_NE(std::string(rv_makeDB_LastError()).find("missing.mdb"), std::string::npos);
}

TEST_F(WizardLife, TheWindowShowsItsTextsAndDisablesTheRowButtonsOnEveryActivation) {
    run("", [&](rv_makeDBForm& form) {
        EXPECT_EQ(form.windowTitle(), u"データベース作成ウイザード"_s);
        EXPECT_EQ(form.Label1->text(),
                  u"データベース項目を作成します。主な項目は右のリストにあります。"
                  u"「<< 使用」ボタンを用いることで簡単に使用することができます。"
                  u"また、左側のリストに直接設定することも可能です。"_s);
        QStringList buttons;  // caption, access key, enabled after an activation
        for (QPushButton* b : {form.Command1, form.Command2, form.Command3, form.Command4,
                               form.Command5, form.Command6, form.Command7, form.Command8}) {
            b->setEnabled(true);
            QEvent activate(QEvent::WindowActivate);
            QApplication::sendEvent(&form, &activate);
            buttons << b->text() + u' ' + b->shortcut().toString() +
                           (b->isEnabled() ? u""_s : u" off"_s);
        }
        EXPECT_EQ(buttons, (QStringList{u"キャンセル(C) "_s, u"OK(O) "_s, u"上へ(&U) Alt+U off"_s,
                                        u"<< 使用(&A) Alt+A off"_s, u"削除(&R) >> Alt+R off"_s,
                                        u"下へ(&D) Alt+D off"_s, u"設定 "_s, u"項目追加 "_s}));
        QStringList headings;
        for (int c = 1; c < form.fg1->cols(); ++c) {
            headings << form.fg1->textMatrix(0, c) + (form.fg1->isColHidden(c) ? u"*"_s : u""_s);
        }
        EXPECT_EQ(headings,
                  (QStringList{u"フィールドID"_s, u"項目名"_s, u"属性"_s, u"サイズ"_s, u"IME"_s,
                               u"メールアドレス*"_s, u"FAX番号*"_s, u"*"_s, u"*"_s}));
    });
}

TEST_F(WizardLife, OkChecksAsksAndWritesNothingUntilTheBuildSucceeds) {
    m_responder.setDefaultAnswer(controls::vbCancel);
    run("pw", [&](rv_makeDBForm& form) {
        EXPECT_FALSE(ok(form, {u"MAIL1|a|文字|"_s}));
        EXPECT_EQ(controls::mousePointer(), controls::kPointerNormal);
        form.fg1->setTextMatrix(1, 1, u"mail1"_s);
        form.fg1->setTextMatrix(1, 4, u"10"_s);
        EXPECT_FALSE(ok(form, {u"SELECT|b|数字|"_s}));  // the question, answered Cancel
        EXPECT_EQ(rvtest::RawDb(m_path, "pw").scalar("SELECT count(*) FROM sqlite_master"), "0");
        m_responder.setDefaultAnswer(controls::vbOK);
        EXPECT_FALSE(ok(form, {}));  // now the build fails on the reserved word
        EXPECT_TRUE(form.buildFailed());
        EXPECT_EQ(controls::mousePointer(), controls::kPointerNormal);
        form.fg1->setTextMatrix(2, 1, u"B"_s);
        EXPECT_TRUE(ok(form, {}));
        EXPECT_TRUE(form.dbExists());
    });
    const QString ask =
        u"メール項目が存在しないため、メールを送信することが出来ません。よろしいですか。"_s;
    EXPECT_EQ(prompts(), (QStringList{u"1行目のデータサイズは必須です｡"_s, ask, ask,
                                      u"項目ＩＤが誤っています。行= 2　項目ＩＤ=SELECT"_s, ask}));
    EXPECT_EQ(rvtest::RawDb(m_path, "pw").rows("SELECT FIELD_ID FROM FIELD ORDER BY DISP_SEQNO"),
              (std::vector<std::string>{"mail1", "B"}));
}

TEST_F(WizardLife, TheTreeEnablesUseCopiesIntoTheGridAndNeverSeesCutCopyOrPaste) {
    run("", [&](rv_makeDBForm& form) {
        controls::KeyedTree& tree = *form.SSTree1;
        for (const auto& [key, enables] : {std::pair{"137", true}, {"9", false}, {"0", false}}) {
            Q_EMIT tree.nodeClick(tree.node(QString::fromLatin1(key)));
            EXPECT_EQ(form.Command4->isEnabled(), enables) << key;
            EXPECT_EQ(form.basNodeKey, QString::fromLatin1(key));
        }
        tree.node(u"9"_s)->setSelected(true);
        tree.node(u"137"_s)->setSelected(true);
        form.Command4->setEnabled(true);
        form.Command4->click();
        EXPECT_EQ(form.fg1->textMatrix(1, 1), u"MAIL1"_s);
        EXPECT_TRUE(form.Command5->isEnabled());

        tree.setFocus();
        tree.setCurrentItem(tree.node(u"137"_s));
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        for (Qt::Key k : {Qt::Key_X, Qt::Key_C, Qt::Key_V}) {
            QTest::keyClick(&tree, k, Qt::ControlModifier);
        }
        EXPECT_TRUE(clipboard->text().isEmpty());
        tree.removeEventFilter(&form);  // unguarded, the tree copies the node's text
        QTest::keyClick(&tree, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(clipboard->text(), u"PCメール"_s);
    });
}

TEST_F(WizardLife, SettingsOpensTheTemplateBrowserAndItsClosingReloadsTheTree) {
    run("", [&](rv_makeDBForm& form) {
        rvtest::whenModal<templates::AccountBrowse>([](templates::AccountBrowse* browser) {
            templates::TemplateStore(browser->basTable).rename(u"改名"_s, u"137"_s);
            QTest::mouseClick(browser->Toolbar1->buttonWidget(11), Qt::LeftButton);
        });
        form.Command7->click();
        EXPECT_EQ(form.SSTree1->node(u"137"_s)->text(0), u"改名"_s);
    });
}

// The row numbers and IDs of the grid, "1:E1 2:E2 ...".
QString ids(const controls::FlexGrid& fg1) {
    QStringList out;
    for (int r = 1; r < fg1.rows(); ++r) {
        out << fg1.textMatrix(r, 0) + u':' + fg1.textMatrix(r, 1);
    }
    return out.join(u' ');
}

// Up, remove and down are on or off together.
bool rowButtons(const rv_makeDBForm& form) {
    EXPECT_EQ(form.Command5->isEnabled(), form.Command3->isEnabled());
    EXPECT_EQ(form.Command6->isEnabled(), form.Command3->isEnabled());
    return form.Command3->isEnabled();
}

TEST_F(WizardLife, EditsKeysAndCellMovesRunTheGridRules) {
    run("", [&](rv_makeDBForm& form) {
        controls::FlexGrid& fg1 = *form.fg1;
        form.Command8->click();
        EXPECT_EQ(fg1.currentRow(), 1);
        EXPECT_EQ(fg1.textMatrix(1, 3) + fg1.textMatrix(1, 5), u"文字ON"_s);

        // Keys typed into the size cell, then the commit.
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        const QPoint size = fg1.visualRect(fg1.gridModel()->index(0, 3)).center();
        QTest::mouseClick(fg1.viewport(), Qt::LeftButton, {}, size);
        for (char key : {'1', 'x', '0', '0', '0'}) {
            QTest::keyClick(QApplication::focusWidget(), key);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([&] { return fg1.textMatrix(1, 4) == u"100"_s; }));
        EXPECT_EQ(prompts(),
                  (QStringList{u"数字を入力してください。"_s,
                               u"1行目のデータサイズは1以上、255以下でなければなりません｡"_s}));

        // A number row: moving onto its size locks the cell and blanks the IME.
        fg1.setTextMatrix(1, 3, u"数字"_s);
        fg1.setCurrentCell(1, 1);
        fg1.setCurrentCell(1, 4);
        EXPECT_FALSE(fg1.isEditable());
        EXPECT_EQ(fg1.textMatrix(1, 5), QString());
        EXPECT_EQ(fg1.colComboList(5), u" "_s);
    });
}

TEST_F(WizardLife, AnExistingDatabaseIsLoadedAndItsRowsStayAboveAsRowButtonsArrangeTheRest) {
    rvtest::productDatabase(m_path, "pw",
                            {"INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,DISP_SEQNO) "
                             "VALUES('E1','e1','T','1',1)",
                             "INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,DISP_SEQNO) "
                             "VALUES('E2','e2','T','1',2)"});
    const std::string before = rvtest::readBytes(m_path);
    run("pw", [&](rv_makeDBForm& form) {
        controls::FlexGrid& fg1 = *form.fg1;
        EXPECT_TRUE(form.dbExists());
        EXPECT_EQ(fg1.textMatrix(2, 9), u"1"_s) << "loaded as an existing field";
        form.Command8->click();
        form.Command8->click();
        EXPECT_FALSE(rowButtons(form));
        fg1.selectRow(3);
        EXPECT_TRUE(rowButtons(form));
        fg1.selectRow(2);
        EXPECT_FALSE(rowButtons(form)) << "an existing field is selected";
        fg1.selectRow(2, false);
        fg1.setTextMatrix(3, 1, u"T1"_s);
        fg1.setTextMatrix(4, 1, u"T2"_s);

        form.Command3->click();
        EXPECT_EQ(prompts(), QStringList{u"元のレコードの上に移動できません。"_s});
        form.Command6->click();
        EXPECT_EQ(ids(fg1), u"1:E1 2:E2 3:T2 4:T1"_s);
        form.Command8->click();  // after the selected row
        EXPECT_EQ(ids(fg1), u"1:E1 2:E2 3:T2 4:T1 5:"_s);
        fg1.selectRow(5);
        form.Command5->click();
        EXPECT_EQ(ids(fg1), u"1:E1 2:E2 3:T2"_s);
        EXPECT_FALSE(form.Command5->isEnabled());
    });
    EXPECT_EQ(rvtest::readBytes(m_path), before) << "Cancel leaves an existing file alone";
}

}  // namespace
