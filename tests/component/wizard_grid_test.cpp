// The design grid in the wizard window: each grid event and row button runs its rule.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include "component/rv_makedb_form.h"
#include "controls/flex_grid.h"
#include "controls/msg_box.h"
#include "databases.h"
#include "temp_dir.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using component::rv_makeDBForm;

class WizardGrid : public ::testing::Test {
  protected:
    // Opens the wizard on a product database holding the fields E1.. `existing` (none: a new
    // file), shown and active, and adds `typed` rows with "項目追加".
    void open(int existing, int typed) {
        const std::string path = m_dir.file("product.mdb");
        if (existing > 0) {
            std::vector<std::string> inserts;
            for (int i = 1; i <= existing; ++i) {
                const std::string n = std::to_string(i);
                inserts.push_back(
                    "INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,DISP_SEQNO) "
                    "VALUES('E" +
                    n + "','既存" + n + "','T','1'," + n + ")");
            }
            rvtest::productDatabase(path, "pw", inserts);
        }
        m_form.basFilePath = QString::fromStdString(path);
        m_form.basPass = u"pw"_s;
        m_form.basconnStr = QString::fromStdString(rvtest::templateLibrary(m_dir.file("base.mdb")));
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
    QString ids() {
        QStringList out;
        for (int r = 1; r < fg1().rows(); ++r) {
            out << fg1().textMatrix(r, 0) + u':' + fg1().textMatrix(r, 1);
        }
        return out.join(u' ');
    }
    bool rowButtons() const {
        EXPECT_EQ(m_form.Command5->isEnabled(), m_form.Command3->isEnabled());
        EXPECT_EQ(m_form.Command6->isEnabled(), m_form.Command3->isEnabled());
        return m_form.Command3->isEnabled();
    }

    rvtest::TempDir m_dir;
    controls::MsgBoxResponder m_responder;
    rv_makeDBForm m_form;
};

TEST_F(WizardGrid, EditsKeysAndCellMovesRunTheGridRules) {
    open(0, 1);
    EXPECT_EQ(fg1().currentRow(), 1);
    EXPECT_EQ(fg1().textMatrix(1, 3) + fg1().textMatrix(1, 5), u"文字ON"_s);

    // A key typed into the size cell, then the commit.
    const QPoint size = fg1().visualRect(fg1().gridModel()->index(0, 3)).center();
    QTest::mouseClick(fg1().viewport(), Qt::LeftButton, {}, size);
    for (char key : {'1', 'x', '0', '0', '0'}) {
        QTest::keyClick(QApplication::focusWidget(), key);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fg1().textMatrix(1, 4) == u"100"_s; }));
    EXPECT_EQ(m_responder.prompts(),
              (std::vector{u"数字を入力してください。"_s,
                           u"1行目のデータサイズは1以上、255以下でなければなりません｡"_s}));

    // A number row: moving onto its size locks the cell and blanks the IME.
    fg1().setTextMatrix(1, 3, u"数字"_s);
    fg1().setCurrentCell(1, 1);
    fg1().setCurrentCell(1, 4);
    EXPECT_FALSE(fg1().isEditable());
    EXPECT_EQ(fg1().textMatrix(1, 5), QString());
    EXPECT_EQ(fg1().colComboList(5), u" "_s);
}

TEST_F(WizardGrid, RowButtonsFollowTheSelectionAndArrangeTheRows) {
    open(2, 2);
    EXPECT_FALSE(rowButtons());
    fg1().selectRow(3);
    EXPECT_TRUE(rowButtons());
    fg1().selectRow(2);
    EXPECT_FALSE(rowButtons()) << "an existing field is selected";
    fg1().selectRow(2, false);
    fg1().setTextMatrix(3, 1, u"T1"_s);
    fg1().setTextMatrix(4, 1, u"T2"_s);

    m_form.Command3->click();
    EXPECT_EQ(m_responder.prompts(), std::vector{u"元のレコードの上に移動できません。"_s});
    m_form.Command6->click();
    EXPECT_EQ(ids(), u"1:E1 2:E2 3:T2 4:T1"_s);
    m_form.Command8->click();  // after the selected row
    EXPECT_EQ(ids(), u"1:E1 2:E2 3:T2 4:T1 5:"_s);
    fg1().selectRow(5);
    m_form.Command5->click();
    EXPECT_EQ(ids(), u"1:E1 2:E2 3:T2"_s);
    EXPECT_FALSE(m_form.Command5->isEnabled());
}

}  // namespace
