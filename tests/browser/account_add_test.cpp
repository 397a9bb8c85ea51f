// SPDX-License-Identifier: MIT
// The field editor from the browser's toolbar: each mode's start, the checks while typing and
// on OK, the statements OK sends, what it leaves in the table (read raw) and the tree.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "browser/account_add.h"
#include "open_browser.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using browser::AccountAdd;
using browser::AccountBrowse;
using Rows = std::vector<std::string>;

// A: x3, x4 (fixed).  B: E: a1, whose stored ID holds a refused character.  B has no position.
const Rows kLibrary = {
    "1,0,'F','','A','','',NULL,'',''",      "2,0,'F','','B','','',NULL,'',''",
    "3,1,'A','X3','x3','T','20',4,'0','0'", "4,1,'A','X4','x4','M','',5,'1','1'",
    "5,2,'F','','E','','',NULL,'',''",      "6,5,'A','A-1','a1','N','',1,'','0'"};
const QString kRefused = u"使用不可の文字があるので､その文字が削除されます｡"_s;
const QString kDuplicate = u"項目ID あるいは項目名は重複しています。 "_s;

// The size box and the IME list: "+" on, "-" off; the IME shown / its number of entries.
QString inputs(const AccountAdd& d) {
    return u"%1%2 %3%4/%5"_s
        .arg(u"-+"_s[d.Text3->isEnabled()], d.Text3->text(), u"-+"_s[d.Combo2->isEnabled()],
             d.Combo2->currentText())
        .arg(d.Combo2->count());
}

class Editor : public ::testing::Test, public rvtest::OpenBrowser {
  protected:
    Editor() : OpenBrowser(kLibrary, controls::vbOK) {}
    controls::KeyedTree::Node* node(int key) { return OpenBrowser::node(std::to_string(key)); }
    // Selects node `key`, presses `button`, runs `inside` on the field editor and closes it.
    void inEditor(int key, int button, const std::function<void(AccountAdd&)>& inside) {
        Q_EMIT browser.SSTree1->nodeClick(node(key));
        sent.clear();
        responder.clear();
        inDialog<AccountAdd>(button, inside);
    }
    std::string fields() {
        return raw(
            "SELECT FIELD_NO||':'||FIELD_ID||':'||FIELD_NAME||':'||ATTR||':'||FIELD_SIZE||':'||"
            "SORTBY||':'||IME FROM TEMP_FIELD WHERE KIND='A'");
    }
    QStringList prompts() const {
        QStringList out;
        for (const auto& call : responder.calls()) {
            out << call.prompt + u"!"_s.first(call.exclamation);
        }
        return out;
    }
};

TEST_F(Editor, AddStartsWithTextAndOnTheAttributeDecidesSizeAndImeAndCancelWritesNothing) {
    inEditor(1, AccountBrowse::kAddField, [this](AccountAdd& d) {
        EXPECT_EQ(QStringList({d.windowTitle(), d.Frame1->title(), d.Label3->text(),
                               d.Label4->text(), d.Label5->text(), d.Label6->text(),
                               d.Label7->text(), d.Command1->text(), d.Command2->text()})
                      .join(u' '),
                  u"項目の追加 項目 項目ID 項目名 属性 サイズ IME OK(&O) ｷｬﾝｾﾙ(&C)"_s);
        EXPECT_EQ(d.Combo1->currentText() + d.Combo1->itemText(4) + inputs(d),
                  u"文字メモ+ +ON/2"_s);
        d.Text3->setText(u"20"_s);
        d.Combo2->setCurrentIndex(1);
        // Each pick of 文字 or メモ sets the IME back to ON; the others use neither box.
        for (const auto& [index, shown] :
             {std::pair{4, u"- +ON/2"_s}, {1, u"- -/0"_s}, {3, u"- -/0"_s}, {0, u"+ +ON/2"_s}}) {
            d.Combo1->setCurrentIndex(index);
            EXPECT_EQ(inputs(d), shown) << index;
        }
        // ASCII letters and digits only: one message a change, however many it refuses, and
        // none for the apostrophe alone.
        QTest::keyClicks(d.Text1, u"a-b'"_s);
        d.Text1->insert(u"日本Ａ１ｱc'_/:@[`{ Z09"_s);
        QTest::keyClicks(d.Text2, u"x'y"_s);
        QTest::keyClicks(d.Text3, u"2a55"_s);  // a letter is discarded, a fourth digit does not fit
        const QString typed = d.Text1->text() + d.Text2->text() + d.Text3->text();
        d.Text3->clear();
        QTest::keyClicks(d.Text3, u"300"_s);
        EXPECT_EQ(typed + d.Text3->text(), u"abcZ09xy255"_s);
        EXPECT_EQ(prompts(),
                  QStringList({kRefused + u'!', kRefused + u'!', u"数字を入力してください。!"_s,
                               u" 数値が1以上、255以下であるか確認してください。!"_s}));
        d.Command2->click();
    });
    EXPECT_TRUE(sent.empty());
}

// OK hands the draft to the library: a field added beside the selected one, in its folder,
// or a refused draft that keeps the dialog open.
TEST_F(Editor, AddAndCopyWriteBesideTheSelectedEntryAndARefusedDraftKeepsTheDialog) {
    inEditor(2, AccountBrowse::kAddField, [&](AccountAdd& d) {
        d.Text1->setText(u"Tel"_s);
        d.Text2->setText(u"電話"_s);
        d.Text3->setText(u"20"_s);
        QTest::keyClick(d.Text1, Qt::Key_Return);  // the default button
        EXPECT_FALSE(d.isVisible());
    });
    ASSERT_TRUE(node(7) != nullptr && node(7)->parent() == node(2));
    EXPECT_EQ(node(7)->text(0), u"電話"_s);
    const std::tuple<QString, QString, QString> cases[] = {
        {u"X3"_s, u"x3"_s, kDuplicate + u'!'},  // unchanged
        {u""_s, u"n"_s, u"正確な文字を入力してください。"_s},
        {u"Memo"_s, u"x4"_s, u"この項目ＩＤは使用できません"_s},
        {u"X5"_s, u"x5"_s, {}},
    };
    inEditor(3, AccountBrowse::kCopyField, [&](AccountAdd& d) {
        EXPECT_EQ(d.windowTitle() + d.Text1->text() + d.Text2->text() + d.Combo1->currentText() +
                      inputs(d),
                  u"フィールド複写X3x3文字+20 +OFF/2"_s);
        for (const auto& [id, name, prompt] : cases) {
            responder.clear();
            d.Text1->setText(id);
            d.Text2->setText(name);
            d.Command1->click();
            EXPECT_EQ(prompts().join(u""_s), prompt) << id.toStdString();
            EXPECT_EQ(d.isVisible(), !prompt.isEmpty());
        }
    });
    EXPECT_EQ(fields(),
              "3:X3:x3:T:20:4:0 4:X4:x4:M::5:1 6:A-1:a1:N::1: 7:Tel:電話:T:20:1:1 "
              "8:X5:x5:T:20:6:0");
    EXPECT_EQ(node(8)->parent(), node(1));
}

TEST_F(Editor, EditChangesRowAndNodeInPlaceUnlessTheFieldIsFixedOrTheEngineRefuses) {
    inEditor(6, AccountBrowse::kEditField, [&](AccountAdd& d) {
        EXPECT_EQ(prompts(), QStringList{kRefused + u'!'});  // before the dialog showed
        EXPECT_EQ(d.windowTitle() + d.Text1->text() + d.basFIELDIDCopy, u"項目の修正A1A-1"_s);
        EXPECT_TRUE(d.Text3->isEnabled() && d.Combo2->isEnabled());  // whatever the attribute
        d.Combo1->setCurrentIndex(0);
        d.Text3->setText(u"9"_s);
        d.Text2->setText(u"新名"_s);
        d.Command1->click();
    });
    EXPECT_EQ(node(6)->text(0), u"新名"_s);
    inEditor(4, AccountBrowse::kEditField, [](AccountAdd& d) {
        EXPECT_EQ(d.Text1->text() + d.Combo1->currentText() + d.Combo2->currentText(),
                  u"X4メモON"_s);
        EXPECT_FALSE(d.Text1->isEnabled() || d.Text2->isEnabled() || d.Text3->isEnabled() ||
                     d.Combo1->isEnabled() || d.Combo2->isEnabled() || d.Command1->isEnabled());
        QTest::keyClick(&d, Qt::Key_Return);
        EXPECT_TRUE(d.isVisible());
    });

    // A statement the engine refuses keeps the dialog and leaves nothing behind.
    rvtest::RawDb(m_path, "")
        .exec(
            "CREATE TRIGGER no_update BEFORE UPDATE ON TEMP_FIELD BEGIN SELECT "
            "RAISE(ABORT,'kept'); "
            "END");
    inEditor(3, AccountBrowse::kEditField, [&](AccountAdd& d) {
        d.Text2->setText(u"q"_s);
        d.Command1->click();
        EXPECT_EQ(prompts(), QStringList{u"値がデータベースの規則に合いません。"_s});  // no icon
        EXPECT_EQ(responder.calls().at(0).title, u"ravLIN"_s);
        EXPECT_TRUE(d.isVisible() && d.Text2->text() == u"q"_s);
    });
    EXPECT_EQ(node(3)->text(0), u"x3"_s);
    EXPECT_EQ(fields(), "3:X3:x3:T:20:4:0 4:X4:x4:M::5:1 6:A1:新名:T:9:1:1");
}

}  // namespace
