// Fields of an existing product database, loaded into the design grid.
#include <gtest/gtest.h>

#include "controls/flex_grid.h"
#include "db_fixtures.h"
#include "jet/temp_dir.h"
#include "qt_strings.h"
#include "wizard/design_grid.h"
#include "wizard/existing_fields.h"

namespace {

class ExistingFields : public ::testing::Test {
  protected:
    QString product(const std::vector<std::string>& inserts) {
        const std::string path = m_dir.file("p.mdb");
        rvtest::makeProductDb(path, "pw", inserts);
        return QString::fromStdString(jet::ConnectionString::build(path, "pw"));
    }
    QStringList row(int r) {
        QStringList cells;
        for (int c = 0; c < 10; ++c) {
            cells << m_grid.textMatrix(r, c);
        }
        return cells;
    }
    void SetUp() override { wizard::setupGrid(m_grid); }

    rvtest::TempDir m_dir;
    controls::FlexGrid m_grid;
};

TEST_F(ExistingFields, CodesBecomeLabelsAndRowsAreMarked) {
    wizard::loadExistingDB(
        m_grid,
        product({"INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,MAIL_ADDRESS_FLG,DISP_SEQNO) "
                 "VALUES('OPTIN','案内可','B','0','2',2)",
                 "INSERT INTO FIELD VALUES('MAIL1','メール','T',100,'0','1','0',1,NULL,NULL)",
                 "INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,FAX_NO_FLG,DISP_SEQNO) "
                 "VALUES('FAX2','FAX','t','1','2',3)"}));
    ASSERT_EQ(m_grid.rows(), 4);
    EXPECT_EQ(
        row(1),
        (rvtest::qsl({"1", "OPTIN", "案内可", "YESNO", "", "OFF", "携帯メール", "", "2", "1"})));
    EXPECT_EQ(
        row(2),
        (rvtest::qsl({"2", "MAIL1", "メール", "文字", "100", "OFF", "PCメール", "", "1", "1"})));
    EXPECT_EQ(row(3),
              (rvtest::qsl({"3", "FAX2", "FAX", "文字", "", "ON", "", "私用FAX", "3", "1"})));
    for (int r = 1; r <= 3; ++r) {
        for (int c = 1; c <= 8; ++c) {
            EXPECT_EQ(m_grid.cellBackground(r, c), QColor(192, 192, 255)) << r << "," << c;
        }
        EXPECT_NE(m_grid.cellBackground(r, 9), QColor(192, 192, 255));
    }
}

TEST_F(ExistingFields, AnEmptyFieldTableLeavesTheHeadingAlone) {
    wizard::loadExistingDB(m_grid, product({}));
    EXPECT_EQ(m_grid.rows(), 1);
}

TEST_F(ExistingFields, ADatabaseWithoutFieldTableIsAnError) {
    const std::string path = m_dir.file("other.mdb");
    jet::Catalog::create(jet::ConnectionString::build(path, ""));
    EXPECT_ANY_THROW(wizard::loadExistingDB(
        m_grid, QString::fromStdString(jet::ConnectionString::build(path, ""))));
}

}  // namespace
