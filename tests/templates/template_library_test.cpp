// SPDX-License-Identifier: MIT
// The template library shipped as base.mdb: the field editor takes each field, and the
// whole library, imported into the grid at once, passes the create command's checks and
// builds one product database. (Every window test shows it in a tree.)
#include <gtest/gtest.h>

#include <QRegularExpression>

#include "controls/flex_grid_model.h"
#include "databases.h"
#include "jet/catalog.h"
#include "jet/connection_string.h"
#include "temp_dir.h"
#include "templates/store.h"
#include "vocabulary/msgbox_const.h"
#include "wizard/create_checks.h"
#include "wizard/design_grid.h"

namespace {

using namespace Qt::Literals::StringLiterals;

TEST(TemplateLibrary, EveryFieldFitsTheEditorAndTheWholeLibraryBuildsOneProductDatabase) {
    rvtest::TempDir dir;
    jet::Connection db;
    db.open(rvtest::templateLibrary(dir.file("b.mdb")));
    templates::TemplateStore store(db);
    const QRegularExpression id(u"^[A-Za-z0-9]{1,31}$"_s);
    const QStringList refusedIds = {u"MEMO"_s,  u"YESNO"_s, u"TEXT"_s, u"INT"_s, u"DOUBLE"_s,
                                    u"FLOAT"_s, u"CHAR"_s,  u"BYTE"_s, u"MAX"_s, u"NUMBER"_s,
                                    u"DATE"_s,  u"TIME"_s,  u"LONG"_s};
    controls::FlexGridModel grid;
    wizard::setupGridModel(grid);
    QStringList fixed;
    for (jet::Recordset rs = store.selectFields(); !rs.eof(); rs.moveNext()) {
        const templates::TemplateEntry e = templates::entryAt(rs);
        SCOPED_TRACE(e.fieldId.toStdString());
        const QString label = MsgBox_Const::getATTRLabel(e.attr);
        const QString ime = MsgBox_Const::getONOFF(e.ime);
        EXPECT_TRUE(id.match(e.fieldId).hasMatch() && !refusedIds.contains(e.fieldId.toUpper()));
        EXPECT_TRUE(e.name.size() <= 31 && !e.name.contains(u'\''));
        EXPECT_FALSE(label.isEmpty() || ime.isEmpty());
        EXPECT_TRUE(label == u"文字"_s || e.size.isEmpty());
        EXPECT_TRUE(e.fixedFlag == u"1"_s || e.fixedFlag == u"0"_s);
        if (e.fixedFlag == u"1"_s) {
            fixed << e.fieldId;
        }
        grid.insertGridRow(grid.gridRows(), {{}, e.fieldId, e.name, label, e.size, ime});
    }
    EXPECT_GE(grid.gridRows(), 51);
    EXPECT_TRUE(fixed.contains(u"MAIL1"_s) && fixed.contains(u"FAX1"_s));
    EXPECT_EQ(wizard::checkCreate(grid).message.prompt(), QString());

    const std::string product = dir.file("p.mdb");
    jet::Catalog::create(jet::ConnectionString::build(product, ""));
    productdb::BuildState state;
    const auto result = productdb::buildDB(wizard::newFields(grid), {product, {}}, state);
    EXPECT_TRUE(result.built) << result.row << " " << result.reason;
}

}  // namespace
