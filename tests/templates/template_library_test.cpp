// The template library shipped as base.mdb: the wizard must be able to show it, the field
// editor to take each field, and the product database to hold all of them at once.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSet>

#include "controls/keyed_tree.h"
#include "databases.h"
#include "jet/catalog.h"
#include "jet/connection_string.h"
#include "productdb/builder.h"
#include "temp_dir.h"
#include "templates/store.h"
#include "templates/tree_loader.h"
#include "vocabulary/msgbox_const.h"

namespace {

using namespace Qt::Literals::StringLiterals;

TEST(TemplateLibrary, LoadsAsANestedTreeOfFoldersAndFields) {
    rvtest::TempDir dir;
    controls::KeyedTree tree;
    templates::loadTemplateTree(tree,
                                QString::fromStdString(rvtest::templateLibrary(dir.file("b.mdb"))),
                                templates::LoadErrors::kStop);
    EXPECT_GE(tree.nodeCount(), 60);
    int nested = 0;  // entries in a folder within a folder
    for (int i = 0; i < tree.nodeCount(); ++i) {
        const QTreeWidgetItem* parent = tree.nodeAt(i)->parent();
        nested += parent && parent->parent() && parent->parent()->parent() ? 1 : 0;
    }
    EXPECT_GT(nested, 0);
}

TEST(TemplateLibrary, EveryFieldFitsTheEditorAndAllBuildOneProductDatabase) {
    rvtest::TempDir dir;
    jet::Connection db;
    db.open(rvtest::templateLibrary(dir.file("b.mdb")));
    templates::TemplateStore store(db);
    const QRegularExpression id(u"^[A-Za-z0-9]{1,31}$"_s);
    const QSet<QString> refusedIds = {u"MEMO"_s,  u"YESNO"_s, u"TEXT"_s, u"INT"_s, u"DOUBLE"_s,
                                      u"FLOAT"_s, u"CHAR"_s,  u"BYTE"_s, u"MAX"_s, u"NUMBER"_s,
                                      u"DATE"_s,  u"TIME"_s,  u"LONG"_s};
    QSet<QString> names;
    QStringList fixed;
    std::vector<productdb::NewField> fields;
    for (jet::Recordset rs = store.selectFields(); !rs.eof(); rs.moveNext()) {
        const templates::TemplateEntry e = templates::entryAt(rs);
        SCOPED_TRACE(e.fieldId.toStdString());
        EXPECT_TRUE(id.match(e.fieldId).hasMatch() && !refusedIds.contains(e.fieldId.toUpper()));
        EXPECT_TRUE(!e.name.isEmpty() && e.name.size() <= 31 && !e.name.contains(u'\''));
        EXPECT_FALSE(names.contains(e.name));
        names.insert(e.name);
        const QString label = MsgBox_Const::getATTRLabel(e.attr);
        const bool text = label == u"文字"_s;
        EXPECT_FALSE(label.isEmpty());
        EXPECT_EQ(text, e.size.toInt() >= 1 && e.size.toInt() <= 255 &&
                            e.size == QString::number(e.size.toInt()));
        EXPECT_TRUE(text || e.size.isEmpty());
        EXPECT_FALSE(MsgBox_Const::getONOFF(e.ime).isEmpty());
        EXPECT_TRUE(e.fixedFlag == u"1"_s || e.fixedFlag == u"0"_s);
        if (e.fixedFlag == u"1"_s) {
            fixed << e.fieldId;
        }
        fields.push_back(
            {e.fieldId, e.name, label, e.size, MsgBox_Const::getONOFF(e.ime), {}, {}, false});
    }
    EXPECT_GE(fields.size(), 50u);
    EXPECT_TRUE(fixed.contains(u"MAIL1"_s) && fixed.contains(u"FAX1"_s));

    const std::string product = dir.file("p.mdb");
    jet::Catalog::create(jet::ConnectionString::build(product, ""));
    productdb::BuildState state;
    const auto result = productdb::buildDB(fields, {QString::fromStdString(product), {}}, state);
    EXPECT_TRUE(result.built) << result.row << " " << result.reason;
}

}  // namespace
