// The design grid in the wizard window, driven as a person drives it: clicks, typed keys,
// lists and the row buttons.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTest>

#include "component/rv_makedb_form.h"
#include "controls/flex_grid.h"
#include "controls/msg_box.h"
#include "db_fixtures.h"
#include "jet/temp_dir.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using component::rv_makeDBForm;
using P = std::vector<QString>;

class WizardGrid : public ::testing::Test {
  protected:
    // Opens the wizard on a new file, or on a product database holding the fields E1..
    // `existing`, and adds `typed` rows.
    void open(int existing, int typed) {
        const std::string path = m_dir.file("product.mdb");
        std::vector<std::string> inserts;
        for (int i = 1; i <= existing; ++i) {
            const std::string n = std::to_string(i);
            inserts.push_back(
                "INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,FIELD_SIZE,IME,DISP_SEQNO) VALUES('E" +
                n + "','既存" + n + "','T',20,'1'," + n + ")");
        }
        if (existing > 0) {
            rvtest::makeProductDb(path, "pw", inserts);
        }
        m_form.basFilePath = QString::fromStdString(path);
        m_form.basPass = u"pw"_s;
        m_form.basconnStr = QString::fromStdString(rvtest::makeTemplateDb(
            m_dir.file("base.mdb"), {"1,0,'F','','連絡先','','',NULL,'',''"}));
        m_form.Form_Load();
        m_form.show();
        m_form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_form));
        fg1().setFocus();
        for (int i = 0; i < typed; ++i) {
            m_form.Command8->click();
        }
    }

    void TearDown() override { m_form.reject(); }

    controls::FlexGrid& fg1() { return *m_form.fg1; }

    void click(int row, int col, Qt::KeyboardModifiers modifiers = {}) {
        const QPoint at = fg1().visualRect(fg1().gridModel()->index(row - 1, col - 1)).center();
        QTest::mouseClick(fg1().viewport(), Qt::LeftButton, modifiers, at);
    }
    // Keys go where the focus is, as typing does: the grid or its open editor.
    static void type(const char* text) {
        for (const char* c = text; *c != '\0'; ++c) {
            QTest::keyClick(QApplication::focusWidget(), *c);
        }
    }
    static void press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }
    static bool settles(const std::function<bool()>& pred) { return QTest::qWaitFor(pred, 2000); }

    bool rowCommandsEnabled() const {
        const bool up = m_form.Command3->isEnabled();
        EXPECT_EQ(m_form.Command5->isEnabled(), up);
        EXPECT_EQ(m_form.Command6->isEnabled(), up);
        return up;
    }

    rvtest::TempDir m_dir;
    controls::MsgBoxResponder m_responder;
    rv_makeDBForm m_form;
};

TEST_F(WizardGrid, TheSizeCellRefusesLettersAsTyped) {
    open(0, 1);
    click(1, 4);
    type("1x23");
    press(Qt::Key_Backspace);
    press(Qt::Key_Return);
    ASSERT_TRUE(settles([&] { return fg1().textMatrix(1, 4) == u"12"_s; }));
    EXPECT_EQ(m_responder.prompts(), P{u"数字を入力してください。"_s});
    EXPECT_TRUE(m_responder.calls()[0].exclamation);

    // The ID takes letters, and loses its quote as it is committed, without a word.
    m_responder.clear();
    click(1, 1);
    type("a'b");
    press(Qt::Key_Tab);
    EXPECT_EQ(fg1().textMatrix(1, 1), u"ab"_s);
    EXPECT_TRUE(m_responder.calls().empty());
}

TEST_F(WizardGrid, PickingANumberAttributeLocksTheSizeAndBlanksTheIme) {
    open(0, 1);
    fg1().setTextMatrix(1, 4, u"20"_s);
    click(1, 3);
    press(Qt::Key_F2);
    auto* list = fg1().findChild<QComboBox*>();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(settles([&] { return list->view()->isVisible(); }));
    QTest::keyClick(list->view(), Qt::Key_Down);
    QTest::keyClick(list->view(), Qt::Key_Return);
    ASSERT_TRUE(settles([&] { return fg1().textMatrix(1, 3) == u"数字"_s; }));
    EXPECT_EQ(fg1().textMatrix(1, 4), QString());
    EXPECT_EQ(fg1().textMatrix(1, 5), u"ON"_s);  // until the current cell moves

    ASSERT_TRUE(settles([&] {
        return QApplication::focusWidget() == &fg1() && fg1().findChild<QComboBox*>() == nullptr;
    }));
    press(Qt::Key_Tab);
    EXPECT_EQ(fg1().textMatrix(1, 5), QString());
    type("5");
    press(Qt::Key_F2);
    EXPECT_EQ(QApplication::focusWidget(), &fg1()) << "the size of a number opens no editor";
    EXPECT_EQ(fg1().textMatrix(1, 4), QString());
    EXPECT_TRUE(m_responder.calls().empty());
}

TEST_F(WizardGrid, RowButtonsFollowCtrlClicksAndWorkBelowTheExistingFields) {
    open(2, 2);
    ASSERT_EQ(fg1().rows(), 5);
    EXPECT_FALSE(rowCommandsEnabled());
    click(3, 1);
    EXPECT_TRUE(rowCommandsEnabled());
    click(4, 1, Qt::ControlModifier);
    EXPECT_EQ(fg1().selectedRows(), (QList<int>{3, 4}));
    EXPECT_TRUE(rowCommandsEnabled());
    click(2, 1, Qt::ControlModifier);
    EXPECT_FALSE(rowCommandsEnabled());
    click(2, 1, Qt::ControlModifier);
    EXPECT_EQ(fg1().selectedRows(), (QList<int>{3, 4}));
    EXPECT_TRUE(rowCommandsEnabled());
    click(3, 1, Qt::ControlModifier);
    click(4, 1, Qt::ControlModifier);
    EXPECT_TRUE(fg1().selectedRows().isEmpty());
    EXPECT_FALSE(rowCommandsEnabled());

    fg1().setTextMatrix(3, 1, u"T1"_s);
    fg1().setTextMatrix(4, 1, u"T2"_s);
    const auto ids = [&] {
        QStringList out;
        for (int r = 1; r < fg1().rows(); ++r) {
            out << fg1().textMatrix(r, 1);
        }
        return out.join(u' ');
    };
    click(3, 1);
    m_form.Command3->click();
    EXPECT_EQ(m_responder.prompts(), P{u"元のレコードの上に移動できません。"_s});
    m_form.Command6->click();
    EXPECT_EQ(ids(), u"E1 E2 T2 T1"_s);
    m_form.Command5->click();
    EXPECT_EQ(ids(), u"E1 E2 T2"_s);
    EXPECT_EQ(fg1().textMatrix(3, 0), u"3"_s);
    EXPECT_FALSE(m_form.Command5->isEnabled());
}

}  // namespace
