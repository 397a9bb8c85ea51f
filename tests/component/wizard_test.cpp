// The wizard window: its life as a host sees it (opening, activation, the create command,
// closing, what is left on disk), and each grid event and row button running its rule.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
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

// The row numbers and IDs of the grid, "1:E1 2:E2 ...".
QString ids(const controls::FlexGrid& fg1) {
    QStringList out;
    for (int r = 1; r < fg1.rows(); ++r) {
        out << fg1.textMatrix(r, 0) + u':' + fg1.textMatrix(r, 1);
    }
    return out.join(u' ');
}

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
        // Caption; what a screen reader reads: name and access key; enabled after an activation.
        QStringList buttons;
        for (QPushButton* b : {form.Command1, form.Command2, form.Command3, form.Command4,
                               form.Command5, form.Command6, form.Command7, form.Command8}) {
            b->setEnabled(true);
            QEvent activate(QEvent::WindowActivate);
            QApplication::sendEvent(&form, &activate);
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(b);
            buttons << b->text() + u" | "_s + a->text(QAccessible::Name) + u' ' +
                           a->actionInterface()
                               ->keyBindingsForAction(QAccessibleActionInterface::pressAction())
                               .join(u',') +
                           (b->isEnabled() ? u""_s : u" off"_s);
        }
        EXPECT_EQ(
            buttons,
            (QStringList{u"キャンセル(C) | キャンセル(C) "_s, u"OK(O) | OK(O) "_s,
                         u"上へ(&U) | 上へ(U) Alt+U off"_s, u"<< 使用(&A) | << 使用(A) Alt+A off"_s,
                         u"削除(&R) >> | 削除(R) >> Alt+R off"_s, u"下へ(&D) | 下へ(D) Alt+D off"_s,
                         u"設定 | 設定 "_s, u"項目追加 | 項目追加 "_s}));
        QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(form.fg1);
        QAccessibleInterface* library = QAccessible::queryAccessibleInterface(form.SSTree1);
        EXPECT_EQ(grid->role(), QAccessible::Table);
        EXPECT_EQ(grid->text(QAccessible::Name), u"フィールド一覧"_s);
        EXPECT_EQ(library->role(), QAccessible::Tree);
        EXPECT_EQ(library->text(QAccessible::Name), u"項目ライブラリ"_s);
        // As small as the window goes, every caption and heading is whole.
        form.resize(1, 1);
        QApplication::processEvents();
        for (QPushButton* b : form.findChildren<QPushButton*>()) {
            EXPECT_GE(b->width(), b->sizeHint().width()) << b->text().toStdString();
        }
        EXPECT_GE(form.Label1->height(), form.Label1->heightForWidth(form.Label1->width()));
        QHeaderView& header = *form.fg1->horizontalHeader();
        EXPECT_GE(form.fg1->viewport()->width(), header.length());
        for (int c = 0; c < header.count(); ++c) {
            EXPECT_GE(header.sectionSize(c), header.sectionSizeHint(c)) << c;
        }
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

TEST_F(WizardLife, TheTreeFromTheKeyboardEnablesUseAltAImportsAndCutCopyPasteNeverReachIt) {
    run("", [&](rv_makeDBForm& form) {
        controls::KeyedTree& tree = *form.SSTree1;
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        tree.setFocus();
        // The key moves the current node as a click would, and the click's rule follows.
        const struct {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            const char* node;
            bool enables;
        } steps[] = {
            {Qt::Key_P, {}, "137", true},                   // PCメール, by the start of its name
            {Qt::Key_Up, Qt::ControlModifier, "9", false},  // the folder メール
            {Qt::Key_Down, Qt::ControlModifier, "137", true},
            {Qt::Key_Down, Qt::ControlModifier, "138", true},
            {Qt::Key_Down, Qt::ControlModifier, "139", true},
            {Qt::Key_Space, {}, "139", true},  // adds メール3 to PCメール
        };
        for (const auto& step : steps) {
            QTest::keyClick(&tree, step.key, step.modifiers);
            EXPECT_EQ(form.basNodeKey, QString::fromLatin1(step.node)) << step.key;
            EXPECT_EQ(form.Command4->isEnabled(), step.enables) << step.key;
        }
        // Alt+A goes through the window's shortcuts, as the keyboard delivers it.
        QTest::keyClick(&form, Qt::Key_A, Qt::AltModifier);
        ASSERT_TRUE(QTest::qWaitFor([&] { return form.fg1->rows() == 3; }));
        EXPECT_EQ(ids(*form.fg1), u"1:MAIL1 2:MAIL3"_s);
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

TEST_F(WizardLife, TheKeyboardAloneReachesEveryControlAndEscapeNeverCloses) {
    run("", [&](rv_makeDBForm& form) {
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        const auto focus = [] { return QApplication::focusWidget(); };
        const auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
            QTest::keyClick(focus(), key, modifiers);
        };
        EXPECT_EQ(focus(), form.fg1) << "opens in the grid";

        // 項目追加 from the keyboard: the new row's ID takes the typing.
        press(Qt::Key_Tab);
        ASSERT_EQ(focus(), form.Command8);
        press(Qt::Key_Space);
        EXPECT_EQ(focus(), form.fg1);
        EXPECT_EQ(form.fg1->currentCol(), 1);
        for (Qt::Key key : {Qt::Key_A, Qt::Key_1}) {
            press(key);
        }
        press(Qt::Key_Escape);  // cancels the edit, keeps the window
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.fg1->textMatrix(1, 1), QString());
        press(Qt::Key_Escape);  // with no edit open
        EXPECT_TRUE(form.isVisible());
        press(Qt::Key_B);
        press(Qt::Key_Tab);  // ends the edit and leaves the grid
        EXPECT_EQ(form.fg1->textMatrix(1, 1), u"b"_s);
        EXPECT_EQ(focus(), form.Command8);

        // Tab walks the controls in screen order, Shift+Tab back; Ctrl+Tab leaves the grid.
        for (QPushButton* b : {form.Command3, form.Command4, form.Command5, form.Command6}) {
            b->setEnabled(true);
        }
        const QList<QWidget*> order = {form.fg1,      form.Command8, form.Command3, form.Command6,
                                       form.Command4, form.Command5, form.SSTree1,  form.Command7,
                                       form.Command2, form.Command1, form.fg1};
        form.fg1->setFocus();
        QList<QWidget*> forward = {focus()}, back = {form.fg1};
        for (int i = 1; i < order.size(); ++i) {
            press(Qt::Key_Tab);
            forward << focus();
        }
        for (int i = 1; i < order.size(); ++i) {
            press(Qt::Key_Backtab, Qt::ShiftModifier);
            back.prepend(focus());
        }
        EXPECT_EQ(forward, order);
        EXPECT_EQ(back, order);
        press(Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_EQ(focus(), form.Command8);
        press(Qt::Key_Escape);
        EXPECT_TRUE(form.isVisible());
    });
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
