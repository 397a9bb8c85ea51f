// SPDX-License-Identifier: MIT
// The template browser and its folder editor, driven through their widgets: the buttons a
// click leaves on, one check of each command's wiring (what it leaves in the tree and in
// the table, read raw), and what a failure or an entry the tree does not show leaves behind.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <optional>

#include "browser/folder_add.h"
#include "open_browser.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using browser::AccountBrowse;
using browser::FolderAdd;
using controls::KeyedTree;
using Rows = std::vector<std::string>;

// A: B: C: x4 (fixed), three levels down.  D: E: x7, G: x10; x8.  x11, x12 (fixed) on top.
const Rows kLibrary = {
    "1,0,'F','','A','','',NULL,'',''",        "2,1,'F','','B','','',NULL,'',''",
    "3,2,'F','','C','','',NULL,'',''",        "4,3,'A','X4','x4','T','9',1,'0','1'",
    "5,0,'F','','D','','',NULL,'',''",        "6,5,'F','','E','','',NULL,'',''",
    "7,6,'A','X7','x7','T','9',1,'0','0'",    "8,5,'A','X8','x8','T','9',1,'0','0'",
    "9,6,'F','','G','','',NULL,'',''",        "10,9,'A','X10','x10','T','9',1,'0','0'",
    "11,0,'A','X11','x11','T','9',1,'0','0'", "12,0,'A','X12','x12','T','9',2,'0','1'",
};

// Types text key by key, Japanese included.
void type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

struct Session : rvtest::OpenBrowser {
    explicit Session(const Rows& library = kLibrary) : OpenBrowser(library, controls::vbCancel) {}
    // Buttons 1, 2, 3, 5, 6, 7, 9: their number when on, '-' when off.
    std::string buttons() const {
        std::string out;
        for (int b : {1, 2, 3, 5, 6, 7, 9}) {
            out += browser.Toolbar1->isButtonEnabled(b) ? char('0' + b) : '-';
        }
        return out;
    }
    std::string numbers() { return raw("SELECT FIELD_NO FROM TEMP_FIELD ORDER BY 1"); }
    std::string row(const char* number) {
        return raw(std::string("SELECT FIELD_NO,P_FIELD_NO,KIND,FIELD_NAME FROM TEMP_FIELD WHERE "
                               "FIELD_NO=") +
                   number);
    }
};
class Browser : public ::testing::Test, public Session {};

TEST_F(Browser, TheButtonsFollowTheClickedNodeAndAFieldOrFolderDeletionTurnsThemOff) {
    EXPECT_EQ(browser.windowTitle(), u"項目一覧"_s);
    QStringList captions;
    for (int b = 1; b <= browser.Toolbar1->buttonCount(); ++b) {
        captions << (browser.Toolbar1->isSeparator(b) ? u"|"_s : browser.Toolbar1->caption(b));
    }
    EXPECT_EQ(captions.join(u' '), u"追加 修正 削除 | 追加 修正 削除 | 複写 | 閉じる"_s);
    EXPECT_EQ(buttons(), "-------");
    for (const auto& [key, on] : {std::pair{"0", "1------"}, {"5", "1235---"}, {"7", "---5679"}}) {
        click(key);
        EXPECT_EQ(buttons(), on) << key;
    }
    QTest::keyClick(&tree(), Qt::Key_Up);  // the keys move like a click
    EXPECT_EQ(browser.basNodeKey, u"10"_s);

    click("12");
    press(AccountBrowse::kDeleteField);
    click("8");
    responder.queueAnswer(controls::vbOK);
    press(AccountBrowse::kDeleteField);
    EXPECT_EQ(prompts(),
              (QStringList{u"これは削除できない項目です"_s, u"削除してもよろしいですか。"_s}));
    EXPECT_EQ(node("8"), nullptr);
    EXPECT_EQ(buttons(), "-------");

    // A folder: a fixed field below it or Cancel keeps it; OK deletes it whole.
    responder.clear();
    click("1");
    press(AccountBrowse::kDeleteFolder);
    click("5");
    press(AccountBrowse::kDeleteFolder);
    EXPECT_EQ(prompts(), (QStringList{u"削除不可項目が含まれているので、フォルダを削除できません"_s,
                                      u"削除してもよろしいですか。"_s}));
    EXPECT_FALSE(responder.calls()[0].okCancel || responder.calls()[0].exclamation);
    EXPECT_TRUE(responder.calls()[1].okCancel);
    EXPECT_EQ(numbers(), "1 2 3 4 5 6 7 9 10 11 12");
    click("5");
    responder.queueAnswer(controls::vbOK);
    press(AccountBrowse::kDeleteFolder);
    EXPECT_EQ(numbers(), "1 2 3 4 11 12");
    EXPECT_EQ(node("5"), nullptr);
    EXPECT_EQ(buttons(), "-------");
}

// The text typed, and the one the tree and the table then hold.
TEST_F(Browser, ARenameInPlaceSendsItsTextAndARefusedOneKeepsTheOldText) {
    for (const auto& [key, typed, kept] :
         {std::tuple{"8", u"新名"_s, u"新名"_s}, {"7", u"x'y"_s, u"x7"_s}}) {
        responder.clear();
        click(key);
        QTest::keyClick(&tree(), Qt::Key_F2);
        type(QApplication::focusWidget(), typed);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QApplication::processEvents();  // the editor hands its text over from the event loop
        EXPECT_EQ(node(key)->text(0), kept) << key;
        EXPECT_EQ(raw(std::string("SELECT FIELD_NAME FROM TEMP_FIELD WHERE FIELD_NO=") + key),
                  kept.toStdString());
        EXPECT_EQ(responder.calls().size(), kept == typed ? 0u : 1u) << key;
    }
}

TEST_F(Browser, TheFolderEditorAddsAFolderBelowTheSelectedNodeAndRenamesAsTyped) {
    click("5");
    node("5")->setExpanded(false);
    inDialog<FolderAdd>(AccountBrowse::kAddFolder, [](FolderAdd& dialog) {
        EXPECT_EQ(dialog.windowTitle(), u"フォルダの追加"_s);
        type(dialog.Text1, u"新'規"_s);
        QTest::keyClick(dialog.Text1, Qt::Key_Home);
        type(dialog.Text1, u"'x"_s);  // the cursor stays behind what it followed
        EXPECT_EQ(dialog.Text1->text(), u"x新規"_s);
        dialog.Command2->click();
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(row("13"), "13|5|F|x新規");
    KeyedTree::Node* added = node("13");
    ASSERT_TRUE(added != nullptr && added == browser.atNode && added->parent() == node("5"));
    EXPECT_TRUE(KeyedTree::lastSibling(added) == added && node("5")->isExpanded() &&
                !added->isSelected());

    inDialog<FolderAdd>(AccountBrowse::kRenameFolder, [this](FolderAdd& dialog) {
        EXPECT_EQ(dialog.windowTitle() + dialog.Text1->text(), u"フォルダの修正D"_s);
        dialog.Text1->setText(u"'''"_s);
        dialog.Command2->click();
        EXPECT_EQ(prompts(), QStringList{u"正確な文字を入力してください。"_s});
        QTest::keyClick(&dialog, Qt::Key_Escape);
        ASSERT_TRUE(dialog.isVisible());
        dialog.Text1->setText(u"%2%1名"_s);
        QTest::keyClick(dialog.Text1, Qt::Key_Return);  // the default button
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(row("5") + node("5")->text(0).toStdString(), "5|0|F|%2%1名%2%1名");
}

// A folder moved into a folder made after it, a folder added below the moved one, another
// move that loads the tree again: the moved folder shows below the newer one with what was
// added below it, without a word.
TEST(BrowserSequence, AFolderMovedIntoANewerFolderKeepsWhatIsBelowIt) {
    Session t({"1,0,'F','','M','','',NULL,'',''", "2,0,'F','','X','','',NULL,'',''",
               "3,0,'A','F3','f3','T','9',1,'0','0'"});
    t.click("1");
    t.drag("1", "2");
    t.click("1");
    t.inDialog<FolderAdd>(AccountBrowse::kAddFolder, [](FolderAdd& dialog) {
        dialog.Text1->setText(u"N"_s);
        dialog.Command2->click();
    });
    t.click("4");
    t.drag("3", "2");
    ASSERT_NE(t.node("4"), nullptr);
    EXPECT_EQ(KeyedTree::key(t.node("4")->parent()), u"1"_s);
    EXPECT_EQ(KeyedTree::key(t.node("1")->parent()), u"2"_s);
    EXPECT_TRUE(t.prompts().isEmpty()) << t.prompts().join(u'\n').toStdString();
}

// Folder D deleted by another program while it is selected: a folder added below it
// writes nothing; the browser says so and loads the tree again.
TEST_F(Browser, AFolderDeletedMeanwhileTakesNothingBelowIt) {
    click("5");
    rvtest::RawDb(m_path, "").exec("DELETE FROM TEMP_FIELD WHERE FIELD_NO=5");
    inDialog<FolderAdd>(AccountBrowse::kAddFolder, [](FolderAdd& dialog) {
        dialog.Text1->setText(u"新規"_s);
        dialog.Command2->click();
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(prompts(),
              QStringList{
                  u"この項目は他のプログラムによって削除されています。一覧を読み込み直します。"_s});
    EXPECT_EQ(numbers(), "1 2 3 4 6 7 8 9 10 11 12");
    EXPECT_EQ(node("5"), nullptr);
    EXPECT_EQ(buttons(), "-------");
}

// Opened on a library it cannot use (from the wizard): the reason is shown, the window
// opens with the root alone and every action button off, and its closing runs as always,
// handing the library back.
TEST(BrowserOpening, ALibraryThatCannotBeOpenedOpensWithTheRootAloneAndEveryButtonOff) {
    rvtest::TempDir dir;
    const templates::LibraryOwner missing(
        QString::fromStdString(rvtest::connectionString(dir.file("missing.mdb"))));
    controls::MsgBoxResponder responder;
    std::optional<templates::LibraryOwner> handedBack;
    AccountBrowse browser([&](const templates::LibraryOwner& library) { handedBack = library; });
    bool anyOn = true;
    rvtest::whenModal<AccountBrowse>([&anyOn](AccountBrowse* shown) {
        Q_EMIT shown->SSTree1->nodeClick(shown->SSTree1->node(u"0"_s));
        anyOn = shown->Toolbar1->isButtonEnabled(AccountBrowse::kAddFolder);
        shown->close();
    });
    EXPECT_FALSE(browser.showAccountForm(missing));
    ASSERT_EQ(responder.calls().size(), 1u);
    EXPECT_TRUE(
        responder.calls()[0].prompt.contains(u"データベースのファイルが見つかりません。"_s));
    EXPECT_EQ(browser.SSTree1->nodeCount(), 1);
    EXPECT_FALSE(anyOn);
    EXPECT_EQ(handedBack, missing);
}

// Rows it can never place are left out without a word; the rest shows and works as usual.
TEST(BrowserOpening, RowsThatCannotBePlacedAreLeftOutAndTheRestWorks) {
    rvtest::OpenBrowser open(
        {"1,0,'F','','親','','',NULL,'',''", "5,9,'F','','孤','','',NULL,'',''"}, controls::vbOK);
    EXPECT_TRUE(open.responder.calls().empty());
    EXPECT_EQ(open.tree().nodeCount(), 2);
    open.click("1");
    EXPECT_TRUE(open.browser.Toolbar1->isButtonEnabled(AccountBrowse::kRenameFolder));
}

}  // namespace
