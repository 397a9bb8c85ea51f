// The design grid in the wizard window, driven as a person drives it: clicks, typed keys,
// lists and the row buttons.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "component/rv_makedb_form.h"
#include "controls/flex_grid.h"
#include "controls/msg_box.h"
#include "db_fixtures.h"
#include "jet/temp_dir.h"
#include "qt_strings.h"
#include "wizard/design_grid.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using component::rv_makeDBForm;
using P = std::vector<QString>;

class WizardGrid : public ::testing::Test {
  protected:
    // Opens the wizard on a new file, or on a product database holding `fields`
    // (FIELD_ID, FIELD_NAME pairs).
    void open(const std::vector<std::pair<std::string, std::string>>& fields = {}) {
        const std::string path = m_dir.file("product.mdb");
        if (!fields.empty()) {
            std::vector<std::string> inserts;
            int seq = 0;
            for (const auto& [id, name] : fields) {
                inserts.push_back(
                    "INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,FIELD_SIZE,IME,DISP_SEQNO) "
                    "VALUES('" +
                    id + "','" + name + "','T',20,'1'," + std::to_string(++seq) + ")");
            }
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
    }

    void TearDown() override { m_form.reject(); }

    controls::FlexGrid& fg1() { return *m_form.fg1; }

    void click(int row, int col, Qt::KeyboardModifiers modifiers = {}) {
        const QPoint at = fg1().visualRect(fg1().gridModel()->index(row - 1, col - 1)).center();
        QTest::mouseClick(fg1().viewport(), Qt::LeftButton, modifiers, at);
    }
    void doubleClick(int row, int col) {
        const QPoint at = fg1().visualRect(fg1().gridModel()->index(row - 1, col - 1)).center();
        QTest::mouseDClick(fg1().viewport(), Qt::LeftButton, {}, at);
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

TEST_F(WizardGrid, TheSizeCellRefusesLettersAsTypedAndIsCheckedOnEnter) {
    open();
    m_form.Command8->click();
    ASSERT_EQ(fg1().rows(), 2);
    EXPECT_EQ(fg1().textMatrix(1, 0), u"1"_s);

    click(1, 4);
    type("1x2");
    press(Qt::Key_Return);
    ASSERT_TRUE(settles([&] { return fg1().textMatrix(1, 4) == u"12"_s; }));
    EXPECT_EQ(m_responder.prompts(), P{u"数字を入力してください。"_s});
    EXPECT_TRUE(m_responder.calls()[0].exclamation);

    m_responder.clear();
    type("1000");
    press(Qt::Key_Return);
    ASSERT_TRUE(settles([&] { return fg1().textMatrix(1, 4) == u"100"_s; }));
    EXPECT_EQ(m_responder.prompts(),
              P{u"1行目のデータサイズは1以上、255以下でなければなりません｡"_s});

    // The ID loses its quote as it is committed, without a word.
    m_responder.clear();
    click(1, 1);
    type("a'b");
    press(Qt::Key_Tab);
    EXPECT_EQ(fg1().textMatrix(1, 1), u"ab"_s);
    EXPECT_EQ(fg1().currentCol(), 2);
    EXPECT_TRUE(m_responder.calls().empty());
}

TEST_F(WizardGrid, PickingANumberAttributeLocksTheSizeAndBlanksTheIme) {
    open();
    m_form.Command8->click();
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
    EXPECT_EQ(fg1().currentCol(), 4);
    EXPECT_EQ(fg1().textMatrix(1, 5), QString());
    type("5");
    press(Qt::Key_F2);
    EXPECT_EQ(QApplication::focusWidget(), &fg1()) << "the size of a number opens no editor";
    EXPECT_EQ(fg1().textMatrix(1, 4), QString());

    press(Qt::Key_Tab);
    press(Qt::Key_Return);
    list = fg1().findChild<QComboBox*>();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), 1);
    EXPECT_EQ(list->itemText(0), u" "_s);
    press(Qt::Key_Escape);
    EXPECT_TRUE(m_responder.calls().empty());
}

TEST_F(WizardGrid, ClicksAndCtrlClicksKeepTheRowButtonsInStepWithTheSelection) {
    open({{"E1", "既存1"}, {"E2", "既存2"}});
    m_form.Command8->click();
    m_form.Command8->click();
    ASSERT_EQ(fg1().rows(), 5);
    EXPECT_FALSE(rowCommandsEnabled());

    click(3, 1);
    EXPECT_TRUE(rowCommandsEnabled());
    click(4, 1, Qt::ControlModifier);
    EXPECT_EQ(fg1().selectedRows(), (QList<int>{3, 4}));
    EXPECT_TRUE(rowCommandsEnabled());
    click(2, 1, Qt::ControlModifier);
    EXPECT_FALSE(rowCommandsEnabled());
    // Deselecting the existing field leaves the current cell where it is.
    click(2, 1, Qt::ControlModifier);
    EXPECT_EQ(fg1().selectedRows(), (QList<int>{3, 4}));
    EXPECT_TRUE(rowCommandsEnabled());
    click(3, 1, Qt::ControlModifier);
    click(4, 1, Qt::ControlModifier);
    EXPECT_TRUE(fg1().selectedRows().isEmpty());
    EXPECT_FALSE(rowCommandsEnabled());
}

TEST_F(WizardGrid, ReadOnlyRowsTakeNoEditAndLookApart) {
    open({{"E1", "既存1"}});
    fg1().addItem(u"\tFIX\t固定\t文字\t10\tON\t\t\t1\t"_s);
    m_form.Command8->click();
    wizard::renumberRows(fg1());
    ASSERT_EQ(fg1().rows(), 4);

    for (int row : {1, 2}) {
        for (int col : {1, 3, 5}) {
            const QString before = fg1().textMatrix(row, col);
            click(row, col);
            type("x");
            press(Qt::Key_F2);
            press(Qt::Key_Return);
            doubleClick(row, col);
            EXPECT_EQ(QApplication::focusWidget(), &fg1()) << row << "," << col;
            EXPECT_EQ(fg1().textMatrix(row, col), before);
        }
    }
    click(3, 2);
    type("x");
    press(Qt::Key_Return);
    EXPECT_TRUE(settles([&] { return fg1().textMatrix(3, 2) == u"x"_s; }));

    EXPECT_EQ(fg1().cellBackground(1, 2), QColor(192, 192, 255));
    EXPECT_NE(fg1().cellForeColor(2, 2), fg1().cellForeColor(3, 2));
    EXPECT_FALSE(fg1().cellBackground(2, 2).isValid());
}

TEST_F(WizardGrid, RowButtonsMoveAndRemoveBelowTheExistingFields) {
    open({{"E1", "既存1"}});
    for (int i = 0; i < 3; ++i) {
        m_form.Command8->click();
    }
    for (int r = 2; r <= 4; ++r) {
        fg1().setTextMatrix(r, 1, u"T"_s + QString::number(r - 1));
    }
    click(2, 1);
    m_form.Command3->click();
    EXPECT_EQ(m_responder.prompts(), P{u"元のレコードの上に移動できません。"_s});
    EXPECT_FALSE(m_responder.calls()[0].exclamation);

    m_form.Command6->click();
    EXPECT_EQ(rvtest::qsl({"E1", "T2", "T1", "T3"}),
              (QStringList{fg1().textMatrix(1, 1), fg1().textMatrix(2, 1), fg1().textMatrix(3, 1),
                           fg1().textMatrix(4, 1)}));
    ASSERT_TRUE(m_form.Command5->isEnabled());
    m_form.Command5->click();
    EXPECT_EQ(fg1().rows(), 4);
    EXPECT_EQ(fg1().textMatrix(3, 1), u"T3"_s);
    EXPECT_EQ(fg1().textMatrix(3, 0), u"3"_s);
    EXPECT_FALSE(m_form.Command5->isEnabled());
}

}  // namespace
