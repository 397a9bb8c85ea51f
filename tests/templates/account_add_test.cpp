// The field editor opened from the template browser's toolbar: what each mode starts with,
// the checks while typing and on OK, the statements a successful OK sends (through the
// connection's observer), what it leaves in the table (read back raw) and in the tree, and
// what a refused statement leaves behind.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "controls/indexed_toolbar.h"
#include "controls/msg_box.h"
#include "databases.h"
#include "modal.h"
#include "raw_db.h"
#include "temp_dir.h"
#include "templates/account_add.h"
#include "templates/account_browse.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using controls::KeyedTree;
using templates::AccountAdd;
using templates::AccountBrowse;
using Rows = std::vector<std::string>;

// A: x3, x4 (fixed).  B: E: a1 (a stored ID with a refused character). B holds no position.
const Rows kLibrary = {
    "1,0,'F','','A','','',NULL,'',''",      "2,0,'F','','B','','',NULL,'',''",
    "3,1,'A','X3','x3','T','20',4,'0','0'", "4,1,'A','X4','x4','M','',5,'1','1'",
    "5,2,'F','','E','','',NULL,'',''",      "6,5,'A','A-1','a1','N','',1,'','0'",
};
const std::string kIdsAndNames = "select FIELD_ID,FIELD_NAME from TEMP_FIELD where kind='A'";

void type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// What the size box and the IME list show: "+" on, "-" off; the IME entries, "*" current.
QString inputs(const AccountAdd& d) {
    QString out = (d.Text3->isEnabled() ? u"+"_s : u"-"_s) + d.Text3->text() + u' ' +
                  (d.Combo2->isEnabled() ? u"+"_s : u"-"_s);
    for (int i = 0; i < d.Combo2->count(); ++i) {
        out += (i == d.Combo2->currentIndex() ? u"*"_s : u""_s) + d.Combo2->itemText(i) + u'=' +
               d.Combo2->itemData(i).toString();
    }
    return out;
}

class Editor : public ::testing::Test {
  protected:
    void SetUp() override {
        browser.basconnStr = QString::fromStdString(rvtest::templateLibrary(m_path, kLibrary));
        ASSERT_TRUE(browser.Form_Load());
        browser.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&browser));
        browser.basTable.setObserver([this](std::string_view s) { sent.emplace_back(s); });
    }
    KeyedTree::Node* node(const std::string& key) {
        return browser.SSTree1->node(QString::fromStdString(key));
    }
    // Clicks node `key`, presses `button` and runs `inside` on the field editor; closes it
    // when `inside` left it open.
    void inEditor(const std::string& key, int button,
                  const std::function<void(AccountAdd&)>& inside) {
        KeyedTree& tree = *browser.SSTree1;
        tree.scrollToItem(node(key));
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {},
                          tree.visualItemRect(node(key)).center());
        sent.clear();
        responder.clear();
        rvtest::whenModal<AccountAdd>([inside](AccountAdd* dialog) {
            inside(*dialog);
            dialog->close();
        });
        auto timedOut = rvtest::closeModalsAfter(10000);
        QTest::mouseClick(browser.Toolbar1->buttonWidget(button), Qt::LeftButton);
        EXPECT_FALSE(*timedOut);
    }
    std::string rows() {
        std::string out;
        for (const std::string& r :
             rvtest::RawDb(m_path, "")
                 .rows("SELECT FIELD_NO,P_FIELD_NO,FIELD_ID,FIELD_NAME,ATTR,FIELD_SIZE,SORTBY,IME "
                       "FROM "
                       "TEMP_FIELD WHERE KIND='A' ORDER BY 1")) {
            out += r + "\n";
        }
        return out;
    }
    QStringList prompts() const {
        const std::vector<QString> all = responder.prompts();
        return {all.begin(), all.end()};
    }

    rvtest::TempDir m_dir;
    std::string m_path = m_dir.file("t.mdb");
    controls::MsgBoxResponder responder;
    AccountBrowse browser;
    std::vector<std::string> sent;
};

TEST_F(Editor, AddStartsWithTextAndOnAndTheAttributeDecidesSizeAndIme) {
    inEditor("1", AccountBrowse::kAddField, [this](AccountAdd& d) {
        EXPECT_EQ(d.windowTitle(), u"項目の追加"_s);
        EXPECT_EQ(QStringList({d.Frame1->title(), d.Label3->text(), d.Label4->text(),
                               d.Label5->text(), d.Label6->text(), d.Label7->text(),
                               d.Command1->text(), d.Command2->text()})
                      .join(u' '),
                  u"項目 項目ID 項目名 属性 サイズ IME OK(&O) ｷｬﾝｾﾙ(&C)"_s);
        EXPECT_EQ(d.Label3->buddy(), d.Text1);
        EXPECT_FALSE(d.Text1->testAttribute(Qt::WA_InputMethodEnabled));
        EXPECT_EQ(d.Text1->maxLength() + d.Text2->maxLength() + d.Text3->maxLength(), 65);
        EXPECT_EQ(d.Combo1->currentText() + d.Combo1->itemText(4), u"文字メモ"_s);
        EXPECT_EQ(inputs(d), u"+ +*ON=1OFF=0"_s);
        d.Text3->setText(u"20"_s);
        d.Combo2->setCurrentIndex(1);
        // Each pick of 文字 or メモ sets the IME back to ON; the others use neither box.
        const std::pair<int, QString> picks[] = {
            {4, u"- +*ON=1OFF=0"_s}, {1, u"- -"_s}, {3, u"- -"_s}, {0, u"+ +*ON=1OFF=0"_s}};
        for (const auto& [index, shown] : picks) {
            d.Combo1->setCurrentIndex(index);
            EXPECT_EQ(inputs(d), shown) << index;
        }
        // The ID: one message a change; the name: apostrophes go.
        type(d.Text1, u"a-b"_s);
        d.Text1->insert(u"日本c'"_s);
        type(d.Text2, u"x'y"_s);
        EXPECT_EQ(d.Text1->text() + u' ' + d.Text2->text(), u"abc xy"_s);
        EXPECT_EQ(prompts(), QStringList(2, u"使用不可の文字があるので､その文字が削除されます｡"_s));
        EXPECT_TRUE(responder.calls()[0].exclamation);
        // The size: digit keys only, emptied at a third digit over 255 and at a 0.
        responder.clear();
        type(d.Text3, u"2a55"_s);
        const QString kept = d.Text3->text();
        d.Text3->clear();
        type(d.Text3, u"300"_s);
        type(d.Text3, u"0"_s);
        EXPECT_EQ(kept + u'|' + d.Text3->text(), u"255|"_s);
        EXPECT_EQ(prompts(), (QStringList{u"数字を入力してください。"_s,
                                          u" 数値が1以上、255以下であるか確認してください。"_s,
                                          u" 数値が1以上、255以下であるか確認してください。"_s}));
        QTest::keyClick(&d, Qt::Key_Escape);
        EXPECT_TRUE(d.isVisible());
        d.Command2->click();  // cancel
    });
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(browser.SSTree1->nodeCount(), 7);
}

TEST_F(Editor, AddWritesTheFieldAfterTheLastPositionOfTheFolderAndAddsItsNode) {
    const struct {
        const char* selected;
        QString id, name;
        int attr;
        const char* size;
        const char* values;
    } adds[] = {
        {"2", u"Tel"_s, u"電話"_s, 0, "20", "'2', 'A', 'Tel','電話','T','20','1','1'"},
        {"7", u"x4"_s, u"数"_s, 1, "", "'2', 'A', 'x4','数','N','','2',''"},  // X4 is another
        {"2", u"Memo2"_s, u"メモ2"_s, 4, "", "'2', 'A', 'Memo2','メモ2','M','','3','1'"},
    };
    std::string number = "7";
    for (const auto& a : adds) {
        node("2")->setExpanded(false);
        inEditor(a.selected, AccountBrowse::kAddField, [&](AccountAdd& d) {
            d.Text1->setText(a.id);
            d.Text2->setText(a.name);
            d.Combo1->setCurrentIndex(a.attr);
            d.Text3->setText(QString::fromLatin1(a.size));
            QTest::keyClick(d.Text3, Qt::Key_Return);  // the default button
            EXPECT_FALSE(d.isVisible());
        });
        EXPECT_EQ(sent, (Rows{std::string("select * from TEMP_FIELD where FIELD_NO= ") + a.selected,
                              kIdsAndNames,
                              "SELECT SORTBY FROM TEMP_FIELD WHERE P_FIELD_NO = 2 ORDER BY "
                              "SORTBY DESC",
                              std::string("INSERT INTO TEMP_FIELD(P_FIELD_NO,KIND,FIELD_ID,"
                                          "FIELD_NAME,ATTR,FIELD_SIZE,SORTBY,IME)  VALUES( ") +
                                  a.values + ")",
                              "select max(FIELD_NO) from TEMP_FIELD"}));
        KeyedTree::Node* added = node(number);
        ASSERT_NE(added, nullptr);
        EXPECT_EQ(added, browser.atNode);
        EXPECT_EQ(added->parent(), node("2"));
        EXPECT_EQ(KeyedTree::lastSibling(added), added);
        EXPECT_TRUE(node("2")->isExpanded());
        EXPECT_FALSE(added->isSelected());
        EXPECT_EQ(added->text(0) + KeyedTree::image(added) + KeyedTree::nodeColor(added).name(),
                  a.name + u"f1#005000"_s);
        number = std::to_string(std::stoi(number) + 1);
    }
    EXPECT_TRUE(prompts().isEmpty());
}

TEST_F(Editor, OkRefusesMissingTextReservedIdsAndDuplicatesInOrder) {
    const char* const enter = "正確な文字を入力してください。";
    const char* const reserved = "この項目ＩＤは使用できません";
    const char* const duplicate = "項目ID あるいは項目名は重複しています。 ";
    const struct {
        QString id, name;
        const char* prompt;
        bool exclamation;
    } cases[] = {
        {u""_s, u"n"_s, enter, false},         {u"i"_s, u""_s, enter, false},
        {u"Memo"_s, u"x4"_s, reserved, false}, {u"x3"_s, u"x4"_s, duplicate, true},
        {u"X3"_s, u"n"_s, duplicate, true},    {u"n"_s, u"a1"_s, duplicate, true},
    };
    inEditor("3", AccountBrowse::kAddField, [&](AccountAdd& d) {
        for (const auto& c : cases) {
            responder.clear();
            d.Text1->setText(c.id);
            d.Text2->setText(c.name);
            d.Command1->click();
            ASSERT_EQ(prompts(), QStringList{QString::fromUtf8(c.prompt)}) << c.id.toStdString();
            EXPECT_EQ(responder.calls()[0].exclamation, c.exclamation);
            EXPECT_TRUE(d.isVisible());
        }
    });
    EXPECT_EQ(std::count(sent.begin(), sent.end(), kIdsAndNames), 3);
    EXPECT_EQ(rows().find("'n'"), std::string::npos);
    EXPECT_EQ(browser.SSTree1->nodeCount(), 7);
}

TEST_F(Editor, CopyStartsFromTheRowAndNeedsANewIdAndName) {
    inEditor("3", AccountBrowse::kCopyField, [&](AccountAdd& d) {
        EXPECT_EQ(d.windowTitle(), u"フィールド複写"_s);
        EXPECT_EQ(d.Text1->text() + d.Text2->text() + d.Combo1->currentText(), u"X3x3文字"_s);
        EXPECT_EQ(inputs(d), u"+20 +ON=1*OFF=0"_s);
        d.Command1->click();
        d.Text1->setText(u"X5"_s);
        d.Command1->click();
        EXPECT_EQ(prompts(), QStringList(2, u"項目ID あるいは項目名は重複しています。 "_s));
        d.Text2->setText(u"x5"_s);
        d.Command1->click();
    });
    EXPECT_TRUE(
        sent[sent.size() - 2].ends_with("IME)  VALUES( '1', 'A', 'X5','x5','T','20','6','0')"))
        << sent[sent.size() - 2];
    EXPECT_EQ(node("7")->parent(), node("1"));
}

TEST_F(Editor, EditKeepsItsOwnIdAndNameAndChangesTheRowAndTheNodeInPlace) {
    inEditor("3", AccountBrowse::kEditField, [](AccountAdd& d) { d.Command1->click(); });
    EXPECT_EQ(sent, (Rows{"select * from TEMP_FIELD where FIELD_NO= 3", kIdsAndNames,
                          "UPDATE TEMP_FIELD SET FIELD_ID='X3', FIELD_NAME = 'x3', ATTR = 'T', "
                          "FIELD_SIZE = '20', IME = '0'where FIELD_NO= 3"}));
    inEditor("6", AccountBrowse::kEditField, [&](AccountAdd& d) {
        // The stored ID's refused character was reported before the dialog showed.
        EXPECT_EQ(prompts(), QStringList{u"使用不可の文字があるので､その文字が削除されます｡"_s});
        EXPECT_EQ(d.windowTitle(), u"項目の修正"_s);
        EXPECT_EQ(d.Text1->text() + d.basFIELDIDCopy, u"A1A-1"_s);
        EXPECT_TRUE(d.Text3->isEnabled() && d.Combo2->isEnabled());  // whatever the attribute
        d.Text1->setText(u"A-1"_s);
        d.Text2->setText(u"x3"_s);  // a field of another folder
        d.Command1->click();
        EXPECT_EQ(prompts().size(), 3);
        d.Text2->setText(u"a1"_s);
        d.Combo1->setCurrentIndex(0);
        d.Text3->setText(u"9"_s);
        d.Text2->setText(u"新名"_s);
        d.Command1->click();
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(node("6")->text(0), u"新名"_s);
    EXPECT_NE(rows().find("6|5|A1|新名|T|9|1|1"), std::string::npos) << rows();
}

TEST_F(Editor, AFixedFieldCanOnlyBeLookedAtAndCancelWritesNothing) {
    const std::string before = rows();
    inEditor("4", AccountBrowse::kEditField, [](AccountAdd& d) {
        for (QWidget* w : std::initializer_list<QWidget*>{d.Text1, d.Text2, d.Text3, d.Combo1,
                                                          d.Combo2, d.Command1}) {
            EXPECT_FALSE(w->isEnabled()) << w->metaObject()->className();
        }
        EXPECT_EQ(d.Text1->text() + d.Combo1->currentText() + d.Combo2->currentText(),
                  u"X4メモON"_s);
        QTest::keyClick(&d, Qt::Key_Return);
        EXPECT_TRUE(d.isVisible());
    });
    EXPECT_EQ(sent, Rows{"select * from TEMP_FIELD where FIELD_NO= 4"});
    EXPECT_EQ(rows(), before);
}

TEST_F(Editor, AStatementTheEngineRefusesKeepsTheDialogAndLeavesNothingBehind) {
    rvtest::RawDb(m_path, "")
        .exec(
            "CREATE TRIGGER no_q BEFORE INSERT ON TEMP_FIELD WHEN new.FIELD_ID='Q' BEGIN "
            "SELECT RAISE(ABORT,'Q is kept out'); END");
    rvtest::RawDb(m_path, "")
        .exec(
            "CREATE TRIGGER keep3 BEFORE UPDATE ON TEMP_FIELD WHEN old.FIELD_NO=3 BEGIN "
            "SELECT RAISE(ABORT,'entry 3 is kept'); END");
    const std::string before = rows();
    for (const auto& [button, kept] : {std::pair{int(AccountBrowse::kCopyField), "Q is kept out"},
                                       {AccountBrowse::kEditField, "entry 3 is kept"}}) {
        inEditor("3", button, [&](AccountAdd& d) {
            d.Text1->setText(u"Q"_s);
            d.Text2->setText(u"q"_s);
            d.Command1->click();
            ASSERT_EQ(prompts().size(), 1);
            EXPECT_TRUE(prompts()[0].contains(QString::fromUtf8(kept)))
                << prompts()[0].toStdString();
            EXPECT_EQ(responder.calls()[0].title, u"ravLIN"_s);
            EXPECT_TRUE(d.isVisible());
            EXPECT_EQ(d.Text1->text() + d.Text2->text(), u"Qq"_s);
            EXPECT_EQ(node("3")->text(0), u"x3"_s);
        });
    }
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(browser.SSTree1->nodeCount(), 7);
    EXPECT_FALSE(browser.basTable.inTransaction());
}

}  // namespace
