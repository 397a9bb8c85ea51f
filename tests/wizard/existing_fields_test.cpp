// Fields of an existing product database, loaded into the design grid's cells.
#include <gtest/gtest.h>

#include <QColor>

#include "databases.h"
#include "grid_rows.h"
#include "jet/catalog.h"
#include "jet/connection_string.h"
#include "jet/error.h"
#include "qt_strings.h"
#include "temp_dir.h"
#include "wizard/existing_fields.h"

namespace {

class ExistingFields : public ::testing::Test {
  protected:
    QString product(const std::vector<std::string>& inserts) {
        rvtest::productDatabase(m_path, "pw", inserts);
        return QString::fromStdString(jet::ConnectionString::build(m_path, "pw"));
    }
    QStringList row(int r) {
        QStringList cells;
        for (int c = 0; c < 10; ++c) {
            cells << m_grid.text(r, c);
        }
        return cells;
    }
    void SetUp() override { rvtest::fillGrid(m_grid, 0, 0); }

    rvtest::TempDir m_dir;
    std::string m_path = m_dir.file("p.mdb");
    controls::FlexGridModel m_grid;
};

TEST_F(ExistingFields, CodesBecomeLabelsInTheEnginesOrderAndRowsAreMarked) {
    wizard::loadExistingDB(
        m_grid,
        product({"INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,MAIL_ADDRESS_FLG,DISP_SEQNO) "
                 "VALUES('OPTIN','案内可','B','0','2',2)",
                 "INSERT INTO FIELD VALUES('MAIL1','メール','T',100,'0','1','0',1,NULL,NULL)",
                 "INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,FAX_NO_FLG,DISP_SEQNO) "
                 "VALUES('FAX2','FAX','t','1','2',3)"}));
    ASSERT_EQ(m_grid.gridRows(), 4);
    EXPECT_EQ(
        row(1),
        (rvtest::qsl({"1", "OPTIN", "案内可", "YESNO", "", "OFF", "携帯メール", "", "2", "1"})));
    EXPECT_EQ(
        row(2),
        (rvtest::qsl({"2", "MAIL1", "メール", "文字", "100", "OFF", "PCメール", "", "1", "1"})));
    EXPECT_EQ(row(3),
              (rvtest::qsl({"3", "FAX2", "FAX", "文字", "", "ON", "", "私用FAX", "3", "1"})));
    for (int r = 1; r <= 3; ++r) {
        for (int c = 0; c <= 9; ++c) {
            EXPECT_EQ(m_grid.background(r, c),
                      c >= 1 && c <= 8 ? std::optional(QColor(192, 192, 255).rgba()) : std::nullopt)
                << r << "," << c;
        }
    }
}

TEST_F(ExistingFields, AnEmptyFieldTableLeavesTheHeadingAloneAndNoTableIsAnError) {
    wizard::loadExistingDB(m_grid, product({}));
    EXPECT_EQ(m_grid.gridRows(), 1);
    const std::string other = m_dir.file("other.mdb");
    jet::Catalog::create(jet::ConnectionString::build(other, ""));
    EXPECT_THROW(wizard::loadExistingDB(
                     m_grid, QString::fromStdString(jet::ConnectionString::build(other, ""))),
                 jet::Error);
}

}  // namespace
