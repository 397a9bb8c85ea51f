// SPDX-License-Identifier: MIT
// The template library shipped as base.mdb, imported into the grid at once, passes the
// create command's checks and builds one product database. (That the field editor takes
// each field: its import into an empty library; every window test shows it in a tree.)
#include <gtest/gtest.h>

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
    controls::FlexGridModel grid;
    wizard::setupGridModel(grid);
    QStringList fixed;
    for (jet::Recordset rs = store.selectFields(); !rs.eof(); rs.moveNext()) {
        const templates::TemplateEntry e = templates::entryAt(rs);
        EXPECT_TRUE(e.fixedFlag == u"1"_s || e.fixedFlag == u"0"_s) << e.fieldId.toStdString();
        if (e.fixedFlag == u"1"_s) {
            fixed << e.fieldId;
        }
        const QString label = MsgBox_Const::getATTRLabel(e.attr);
        const QString ime = MsgBox_Const::getONOFF(e.ime);
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
