// SPDX-License-Identifier: MIT
// The wizard window's wiring, one check per handler: its life as a host sees it (opening,
// activation, the create command, closing, what is left on disk), the grid events and row
// buttons reaching their rules, and the keyboard.
#include <gtest/gtest.h>

#include <filesystem>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "browser/account_browse.h"
#include "browser/tree_loader.h"
#include "component/build_preview.h"
#include "component/create_db_sql.h"
#include "component/make_db.h"
#include "component/rv_makedb_form.h"
#include "component/texts.h"
#include "controls/flex_grid.h"
#include "controls/indexed_toolbar.h"
#include "controls/keyed_tree.h"
#include "controls/mouse_pointer.h"
#include "controls/msg_box.h"
#include "controls/tree_find_line.h"
#include "databases.h"
#include "jet/error.h"
#include "modal.h"
#include "pg_server.h"
#include "productdb/builder.h"
#include "raw_db.h"
#include "temp_dir.h"
#include "wizard/design_grid.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using component::rv_makeDBForm;

// The row numbers and IDs of the grid, "1:E1 2:E2 ...".
std::string ids(const controls::FlexGrid& fg1) {
    QStringList out;
    for (int r = 1; r < fg1.rows(); ++r) {
        out << fg1.textMatrix(r, 0) + u':' + fg1.textMatrix(r, 1);
    }
    return out.join(u' ').toStdString();
}

// The start of a memo field's row in a product database.
const std::string kMemo = "INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,DISP_SEQNO) VALUES";

class WizardLife : public ::testing::Test {
  protected:
    // Opens the wizard through the host's entry, runs `inside` on it once it is active, then
    // presses Cancel unless `inside` closed it.
    void run(const std::string& password, const std::function<void(rv_makeDBForm&)>& inside) {
        rvtest::whenModal([inside](QWidget* w) {
            auto* form = qobject_cast<rv_makeDBForm*>(w);
            ASSERT_NE(form, nullptr);
            form->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(form));
            form->showTree();
            inside(*form);
            if (form->isVisible()) {
                form->Command1->click();
            }
        });
        auto timedOut = rvtest::closeModalsAfter(20000);
        makeDB().CreateDatabase(m_path.c_str(), password.c_str(), m_templates.c_str());
        EXPECT_FALSE(*timedOut) << "the wizard did not close";
    }
    QStringList prompts() const {
        const std::vector<QString> all = m_responder.prompts();
        return {all.begin(), all.end()};
    }

    rvtest::TempDir m_dir;
    // Not UTF-8: the host's library path reaches the tree, the import and the browser as bytes.
    std::string m_library = m_dir.file("\x83\x41\xff.mdb");
    std::string m_templates = rvtest::templateLibrary(m_library);
    std::string m_path = m_dir.file("product.mdb");
    controls::MsgBoxResponder m_responder;
};

TEST_F(WizardLife, AWrongPasswordSaysSoOnceAndClosesByItself) {
    rvtest::productDatabase(m_path, "right", {});
    auto timedOut = rvtest::closeModalsAfter(10000);
    makeDB().CreateDatabase(m_path.c_str(), "wrong", m_templates.c_str());
    EXPECT_FALSE(*timedOut);
    EXPECT_EQ(prompts(), QStringList{u"データベースがエラーです"_s});
}

// A database on a server holds fewer fields than a file: the rows' marks count by the
// server's limit, as OK does.
TEST_F(WizardLife, OnAServerTheRowMarksCountByTheServersFieldLimit) {
    m_path = rvtest::sharedPgServer().createDatabase();
    const int most = productdb::maxFields(m_path);
    ASSERT_LT(most, productdb::maxFields());
    run(rvtest::PgServer::kPassword, [&](rv_makeDBForm& form) {
        QString rows;
        for (int i = 1; i <= most + 1; ++i) {
            rows += u"F%1\tf%1\t数字\n"_s.arg(i);
        }
        QGuiApplication::clipboard()->setText(rows);
        form.fg1->setFocus();
        QTest::keyClick(form.fg1, Qt::Key_V, Qt::ControlModifier);
        const controls::FlexGridModel& model = *form.fg1->gridModel();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !model.rowNote(most + 1).isEmpty(); }));
        EXPECT_EQ(
            model.rowNote(most + 1),
            u"%1行目の項目は作成できません。項目数は%2以下でなければなりません。"_s.arg(most + 1)
                .arg(most));
        EXPECT_EQ(model.rowNote(most), QString());
    });
}

// A library that opens but fails while its rows are read (here its table is gone) ends the
// wizard as one that cannot be opened does: the host's call fails with the reason, and the
// new file is not left behind.
TEST_F(WizardLife, ALibraryThatFailsWhileItIsReadEndsTheWizardAndTheCallerHearsWhy) {
    rvtest::RawDb(m_library, "").exec("ALTER TABLE TEMP_FIELD RENAME TO OLD_FIELD");
    auto timedOut = rvtest::closeModalsAfter(10000);
    EXPECT_THROW(makeDB().CreateDatabase(m_path.c_str(), "pw", m_templates.c_str()),
                 browser::TreeLoadError);
    EXPECT_FALSE(*timedOut);
    EXPECT_FALSE(std::filesystem::exists(m_path));
    EXPECT_EQ(prompts(), QStringList{});
}

// Folder 960 moved into the newer 961 and 971 added below it, and an entry whose parent is
// nowhere: the wizard opens with the moved folder in its place and tells once, in Japanese,
// that one entry was left out; the browser alone opens on the same library.
TEST_F(WizardLife, EntriesItCannotPlaceAreToldOnceAndTheRestOpens) {
    m_templates = rvtest::templateLibrary(
        m_dir.file("moved.mdb"),
        {"961,0,'F','','Beta','','',NULL,'',''", "960,961,'F','','Alpha','','',NULL,'',''",
         "971,960,'F','','Gamma','','',NULL,'',''", "972,55,'F','','孤','','',NULL,'',''",
         "980,971,'A','Y','Y','T','1',1,'0','0'"});
    std::string parents;
    run("", [&](rv_makeDBForm& form) {
        for (const char* key : {"960", "971", "980"}) {
            parents +=
                controls::KeyedTree::key(form.SSTree1->node(QString::fromLatin1(key))->parent())
                    .toStdString() +
                " ";
        }
    });
    EXPECT_EQ(parents, "961 960 971 ");
    EXPECT_EQ(prompts(), QStringList{controls::fill(component::kMsgEntriesLeftOut,
                                                    {u"1"_s, u"孤"_s, u"972"_s})});

    rvtest::whenModal<browser::AccountBrowse>([](browser::AccountBrowse* shown) {
        EXPECT_NE(shown->SSTree1->node(u"980"_s), nullptr);
        shown->close();
    });
    EXPECT_NO_THROW(CreateDBSql::showTemplateBrowser(
        templates::LibraryOwner(QString::fromStdString(m_templates))));
}

// OK runs the checks, the question and the build. A row OK would refuse carries OK's message
// as its heading's tooltip, with no message box while the grid changes (the prompts are
// listed in full at the end), and OK refuses with it; a failed build keeps the window open
// with the pointer back to normal; F9 (also in the grid's context menu) shows, read-only,
// exactly the statements OK then sends, and its copy button takes them all; the corrected
// grid is built and closes the window.
TEST_F(WizardLife, OkBuildsAndClosesOnlyWhenTheBuildSucceeds) {
    rvtest::productDatabase(m_path, "pw", {kMemo + "('E1','x','M','1',1)"});
    QString tip;
    run("pw", [&](rv_makeDBForm& form) {
        controls::FlexGrid& fg1 = *form.fg1;
        fg1.addItem(u"\tSELECT\tb\t数字\t\tON"_s);
        fg1.addItem(u"\tA\ta\t文字\t\tON"_s);
        QApplication::processEvents();
        tip = fg1.model()->headerData(2, Qt::Vertical, Qt::ToolTipRole).toString();
        form.Command2->click();
        fg1.setTextMatrix(3, 4, u"5"_s);
        form.Command2->click();
        EXPECT_TRUE(form.isVisible());
        EXPECT_TRUE(form.buildFailed());
        EXPECT_EQ(controls::mousePointer(), controls::kPointerNormal);
        fg1.setTextMatrix(2, 1, u"B"_s);
        QString shown;
        rvtest::whenModal<component::BuildPreview>([&](component::BuildPreview* preview) {
            EXPECT_TRUE(preview->statementText->isReadOnly());
            preview->copyButton->click();
            shown = preview->statementText->toPlainText();
            preview->closeButton->click();
        });
        QTest::keyClick(&form, Qt::Key_F9);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), shown);
        EXPECT_TRUE(shown.contains(u"ADD COLUMN  A TEXT(5)"_s)) << shown.toStdString();
        QStringList sent;
        form.statementObserver = [&](std::string_view s) {
            if (!s.starts_with('<')) {  // not a transaction marker
                sent << QString::fromUtf8(s);
            }
        };
        form.Command2->click();
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(shown, sent.join(u'\n'));
    });
    const QString ask =
        u"メール項目が存在しないため、メールを送信することが出来ません。よろしいですか。"_s;
    EXPECT_EQ(prompts(),
              (QStringList{tip, ask, u"項目ＩＤが誤っています。行= 2　項目ＩＤ=SELECT"_s, ask}));
    EXPECT_EQ(rvtest::RawDb(m_path, "pw").rows("SELECT FIELD_ID FROM FIELD ORDER BY DISP_SEQNO"),
              (std::vector<std::string>{"E1", "B", "A"}));
}

// A field node is imported by "<< 使用" (Alt+A), Enter or a double-click; a folder is not.
// Ctrl+F finds in the tree. Closing the template browser
// (設定) reloads the tree; a library that went away while the wizard was open: the reload
// names the engine's reason in the user's words, not the engine's own.
TEST_F(WizardLife, TheTreeImportsByUseEnterOrDoubleClickAndReloadsAfterTheBrowser) {
    run("", [&](rv_makeDBForm& form) {
        controls::KeyedTree& tree = *form.SSTree1;
        tree.setFocus();
        // The key moves the current node as a click would, and the click's rule follows:
        // "<< 使用" is on for a field, off for a folder.
        const auto key = [&](Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
            QTest::keyClick(&tree, k, modifiers);
            return form.basNodeKey + (form.Command4->isEnabled() ? u" on"_s : u" off"_s);
        };
        EXPECT_EQ(key(Qt::Key_P, {}), u"137 on"_s);  // PCメール, by its name
        EXPECT_EQ(key(Qt::Key_Up), u"9 off"_s);      // the folder メール
        EXPECT_EQ(key(Qt::Key_Down), u"137 on"_s);
        EXPECT_EQ(key(Qt::Key_Down), u"138 on"_s);
        EXPECT_EQ(key(Qt::Key_Space, {}), u"138 on"_s);  // adds メール2 to PCメール
        // Alt+A goes through the window's shortcuts, as the keyboard delivers it.
        QTest::keyClick(&form, Qt::Key_A, Qt::AltModifier);
        ASSERT_TRUE(QTest::qWaitFor([&] { return form.fg1->rows() == 3; }));
        EXPECT_TRUE(form.Command5->isEnabled());

        tree.setFocus();  // what the find line does is the tree's test
        QTest::keyClick(&tree, Qt::Key_F, Qt::ControlModifier);
        EXPECT_TRUE(form.findChild<controls::TreeFindLine*>()->isVisible());
        tree.setFocus();
        QTest::keyClick(&tree, Qt::Key_Return);              // PCメール and メール2 again
        for (const QString& nodeKey : {u"137"_s, u"9"_s}) {  // a field, then the folder メール
            // As a mouse delivers it: a click, then the second press as a double-click.
            const QPoint at = tree.visualItemRect(tree.node(nodeKey)).center();
            QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, at);
            QTest::mouseRelease(tree.viewport(), Qt::LeftButton, {}, at);
        }
        EXPECT_EQ(ids(*form.fg1), "1:MAIL1 2:MAIL1 3:MAIL1 4:MAIL2 5:MAIL2");
        const templates::LibraryOwner library = form.library();
        form.setLibrary(templates::LibraryOwner(
            QString::fromStdString(rvtest::connectionString(m_dir.file("gone")))));
        form.Command4_Click();  // told at the end
        form.setLibrary(library);

        rvtest::whenModal<browser::AccountBrowse>([](browser::AccountBrowse* browser) {
            templates::TemplateStore(browser->basTable.connection()).rename(u"改名"_s, u"137"_s);
            QTest::mouseClick(browser->Toolbar1->buttonWidget(11), Qt::LeftButton);
        });
        form.Command7->click();
        EXPECT_EQ(tree.node(u"137"_s)->text(0), u"改名"_s);
        std::filesystem::remove(m_library);
        form.reloadTree();
    });
    EXPECT_EQ(prompts(),
              (QStringList{u"データベースがエラーです"_s,
                           QString::fromUtf8(jet::reasonInJapanese(jet::ErrorKind::kNoSuchFile))}));
}

// The window's texts, the row buttons off on every activation; the keyboard alone reaches
// every control, Escape never closes the window, and edits, typed keys and moves of the
// current cell run the grid rules; rows copied and pasted, a field file read in.
TEST_F(WizardLife, TheWindowShowsItsTextsAndTheKeyboardReachesEveryControlAndTheClipboard) {
    run("", [&](rv_makeDBForm& form) {
        controls::FlexGrid& fg1 = *form.fg1;
        const auto focus = [] { return QApplication::focusWidget(); };
        const auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
            QTest::keyClick(focus(), key, modifiers);
        };
        EXPECT_EQ(focus(), &fg1) << "opens in the grid";
        // 項目追加 from the keyboard: a new row whose ID takes the typing; Tab ends the edit
        // and leaves the grid.
        press(Qt::Key_Tab);
        ASSERT_EQ(focus(), form.Command8);
        press(Qt::Key_Space);
        press(Qt::Key_B);
        press(Qt::Key_Tab);
        EXPECT_EQ(fg1.textMatrix(1, 1) + fg1.textMatrix(1, 3) + fg1.textMatrix(1, 5), u"b文字ON"_s);

        // From 項目追加, Tab walks the controls in screen order, passing over the buttons
        // that are off.
        QList<QWidget*> walked;
        for (int i = 0; i < 6; ++i) {
            press(Qt::Key_Tab);
            walked << focus();
        }
        EXPECT_EQ(walked, (QList<QWidget*>{form.SSTree1, form.Command7, form.Command2,
                                           form.Command1, &fg1, form.Command8}));
        press(Qt::Key_Escape);
        ASSERT_TRUE(form.isVisible());

        // Keys typed into the size cell: digits, Backspace and Enter only.
        const QPoint size = fg1.visualRect(fg1.gridModel()->index(0, 3)).center();
        QTest::mouseClick(fg1.viewport(), Qt::LeftButton, {}, size);
        for (Qt::Key key : {Qt::Key_1, Qt::Key_X, Qt::Key_0, Qt::Key_0, Qt::Key_0,
                            Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Return}) {
            QTest::keyClick(focus(), key);
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return fg1.textMatrix(1, 4) == u"10"_s; }));
        EXPECT_EQ(prompts(), QStringList{u"数字を入力してください。"_s});
        // A number row: moving onto its size locks the cell and leaves the IME no choice.
        fg1.setTextMatrix(1, 3, u"数字"_s);
        fg1.setCurrentCell(1, 1);
        fg1.setCurrentCell(1, 4);
        EXPECT_FALSE(fg1.isEditable());
        EXPECT_EQ(fg1.colComboList(5), u" "_s);

        // Rows copied out and pasted in through the grid's keys (its context menu's actions),
        // and a field file read in: each reaches the rows, the clipboard and undo.
        QStringList menu;
        for (QAction* a : fg1.actions()) {
            menu << a->text();
        }
        EXPECT_EQ(menu, (QStringList{u"コピー"_s, u"貼り付け"_s, u"項目ファイルの読み込み..."_s,
                                     u"作成内容の確認"_s}));
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText(u"フィールドID\t項目名\nMAIL1\tメール\t文字\t100\nN\tn\t数字\t5\n"_s);
        fg1.setFocus();
        QTest::keyClick(&fg1, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(ids(fg1), "1:b 2:MAIL1 3:N");
        EXPECT_EQ(fg1.selectedRows(), (QList<int>{2, 3}));
        QTest::keyClick(&fg1, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(clipboard->text(), u"MAIL1\tメール\t文字\t100\tON\t\t\nN\tn\t数字\t\t\t\t\n"_s);
        QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);  // the paste, and only it
        EXPECT_EQ(ids(fg1), "1:b");
        EXPECT_EQ(fg1.textMatrix(1, 3), u"数字"_s);

        QFile file(QString::fromStdString(m_dir.file("fields.txt")));
        form.addFieldFile(file.fileName(), u"UTF-8"_s);  // not there yet
        ASSERT_EQ(prompts().size(), 2);
        EXPECT_TRUE(prompts()[1].startsWith(file.fileName())) << prompts()[1].toStdString();
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("# fields\nA\ta\n\nB\tb\t数字\nC\tc\tfoo\n");
        file.close();
        form.addFieldFile(file.fileName(), u"UTF-8"_s);
        EXPECT_EQ(ids(fg1), "1:b 2:A 3:B 4:C");
        // A list cell that took none of its entries: one message, and its row is marked.
        const QString refused =
            u"4行目の属性は「文字、数字、日付、YESNO、メモ」のいずれかでなければなりません｡"_s;
        EXPECT_EQ(prompts().back(), refused);
        EXPECT_EQ(prompts().size(), 3);
        EXPECT_TRUE(QTest::qWaitFor([&] { return fg1.gridModel()->rowNote(4) == refused; }));

        EXPECT_EQ(form.windowTitle(), u"データベース作成ウイザード"_s);
        EXPECT_EQ(form.Label1->text(),
                  u"データベース項目を作成します。主な項目は右のリストにあります。"
                  u"「<< 使用」ボタンを用いることで簡単に使用することができます。"
                  u"また、左側のリストに直接設定することも可能です。"_s);
        for (QPushButton* b : {form.Command3, form.Command4, form.Command5, form.Command6}) {
            b->setEnabled(true);
        }
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&form, &activate);
        QStringList buttons;  // caption, and "off" when the activation disabled it
        for (QPushButton* b : {form.Command1, form.Command2, form.Command3, form.Command4,
                               form.Command5, form.Command6, form.Command7, form.Command8}) {
            buttons << b->text() + (b->isEnabled() ? u""_s : u" off"_s);
        }
        EXPECT_EQ(buttons, (QStringList{u"キャンセル(C)"_s, u"OK(O)"_s, u"上へ(&U) off"_s,
                                        u"<< 使用(&A) off"_s, u"削除(&R) >> off"_s,
                                        u"下へ(&D) off"_s, u"設定"_s, u"項目追加"_s}));
        // Screen readers name the two lists.
        EXPECT_EQ(QAccessible::queryAccessibleInterface(form.fg1)->text(QAccessible::Name),
                  u"フィールド一覧"_s);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(form.SSTree1)->text(QAccessible::Name),
                  u"項目ライブラリ"_s);
        QStringList headings;  // hidden ones marked '*'
        for (int c = 1; c < form.fg1->cols(); ++c) {
            headings << form.fg1->textMatrix(0, c) + (form.fg1->isColHidden(c) ? u"*"_s : u""_s);
        }
        EXPECT_EQ(headings,
                  (QStringList{u"フィールドID"_s, u"項目名"_s, u"属性"_s, u"サイズ"_s, u"IME"_s,
                               u"メールアドレス*"_s, u"FAX番号*"_s, u"*"_s, u"*"_s}));
    });
}

// The rows of an existing database come first, and Cancel leaves its file alone. The keys of
// undo and redo reach the grid's history, and the selection and current cell it brings back
// reach the view: a new row, an edit typed into it and a move of selected rows, undone with
// Ctrl+Z and redone with Ctrl+Y or Ctrl+Shift+Z. The row buttons follow the selection, off
// while an existing field is selected.
TEST_F(WizardLife, UndoAndRedoKeysBringBackTheRowsTheSelectionAndTheCurrentCell) {
    rvtest::productDatabase(m_path, "pw",
                            {kMemo + "('E1','x','M','1',1)", kMemo + "('E2','x','M','1',2)"});
    const std::string file = rvtest::readBytes(m_path);
    run("pw", [&](rv_makeDBForm& form) {
        controls::FlexGrid& fg1 = *form.fg1;
        const auto state = [&] {  // the rows, the selection and the current cell
            QStringList selected;
            for (int r : fg1.selectedRows()) {
                selected << QString::number(r);
            }
            return ids(fg1) + " selected " + selected.join(u',').toStdString() + " current " +
                   std::to_string(fg1.currentRow()) + "," + std::to_string(fg1.currentCol());
        };
        fg1.addItem(u"\tT1\tt1\t文字\t10\tON"_s);
        fg1.addItem(u"\tT2\tt2\t数字\t\t\t\t\t1"_s);  // a fixed template: greyed
        fg1.addItem(u"\tT3\tt3\tメモ\t\tON"_s);
        wizard::renumberRows(*fg1.gridModel());
        EXPECT_EQ(ids(fg1), "1:E1 2:E2 3:T1 4:T2 5:T3");
        // Down, the one row command whose plan would move an existing field (up and remove
        // are on when the undo table and the tree's import need them).
        fg1.setSelectedRows({3});
        EXPECT_TRUE(form.Command6->isEnabled());
        fg1.setSelectedRows({2});
        EXPECT_FALSE(form.Command6->isEnabled()) << "an existing field is selected";
        fg1.setCurrentCell(5, 2);  // the grid as it now stands is where undo begins
        const auto typeId = [&](int row, const QString& text) {
            fg1.setFocus();
            fg1.setCurrentCell(row, 1);
            for (QChar ch : text) {
                QTest::keyClicks(QApplication::focusWidget(), QString(ch));
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            ASSERT_TRUE(QTest::qWaitFor([&] { return !fg1.textMatrix(row, 1).isEmpty(); }));
        };
        const struct {
            const char* name;
            QList<int> selected;
            std::function<void()> command;
        } commands[] = {
            {"add row", {3}, [&] { form.Command8->click(); }},
            {"edit with repairs", {}, [&] { typeId(4, u"x'-y"_s); }},
            {"move up", {4, 6}, [&] { form.Command3->click(); }},
        };
        const auto press = [&](Qt::KeyboardModifiers modifiers, Qt::Key key) {
            QTest::keyClick(&form, key, modifiers);
            return state();
        };
        for (const auto& c : commands) {
            SCOPED_TRACE(c.name);
            fg1.setSelectedRows(c.selected);
            const std::string before = state();
            c.command();
            const std::string after = state();
            ASSERT_NE(after, before);
            EXPECT_EQ(press(Qt::ControlModifier, Qt::Key_Z), before);
            EXPECT_EQ(press(Qt::ControlModifier, Qt::Key_Y), after);
            EXPECT_EQ(press(Qt::ControlModifier, Qt::Key_Z), before);
            EXPECT_EQ(press(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z), after);
        }
    });
    EXPECT_EQ(prompts(), QStringList{u"使用不可の文字があるので､その文字が削除されます｡"_s});
    EXPECT_EQ(rvtest::readBytes(m_path), file) << "Cancel leaves an existing file alone";
}

// Undo and redo leave the current cell, its editability and the buttons as the command done
// by hand does: a typed row current, the fixed template 氏名 imported after it (current and
// read-only), then undone: the typed row's cell takes F2 at once.
TEST_F(WizardLife, UndoAndRedoLeaveTheCurrentCellAsTheCommandByHand) {
    run("", [&](rv_makeDBForm& form) {
        controls::FlexGrid& fg1 = *form.fg1;
        const auto state = [&] {  // the current cell, its editability, the row buttons
            std::string out = std::to_string(fg1.currentRow()) + "," +
                              std::to_string(fg1.currentCol()) +
                              (fg1.isEditable() ? " editable" : " locked");
            for (QPushButton* b : {form.Command3, form.Command5, form.Command6}) {
                out += b->isEnabled() ? " on" : " off";
            }
            return out;
        };
        form.Command8->click();
        const std::string typed = state();
        EXPECT_EQ(typed.substr(0, 12), "1,1 editable");
        form.SSTree1->node(u"105"_s)->setSelected(true);  // 氏名, a fixed template
        form.Command4_Click();
        ASSERT_EQ(ids(fg1), "1: 2:FULLNAME");
        const std::string imported = state();
        EXPECT_EQ(imported.substr(0, 10), "2,1 locked");
        const auto press = [&](Qt::Key key) {
            fg1.setFocus();
            QTest::keyClick(&form, key, Qt::ControlModifier);
            return state();
        };
        EXPECT_EQ(press(Qt::Key_Z), typed);
        QTest::keyClick(&fg1, Qt::Key_F2);
        EXPECT_TRUE(QTest::qWaitFor([&] {
            const QWidget* editor = QApplication::focusWidget();
            return editor && editor != &fg1 && fg1.isAncestorOf(editor);
        })) << "F2 opens the cell's editor";
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_EQ(press(Qt::Key_Y), imported);
    });
}

}  // namespace
