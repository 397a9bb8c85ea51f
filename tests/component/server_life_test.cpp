// SPDX-License-Identifier: MIT
// The wizard's life on a database on a PostgreSQL server: not yet built while it holds no
// product table, held against a second wizard by the server's lock, extended with only the
// new fields, and a refused login taken as the file's cannot-open path.
#include <gtest/gtest.h>

#include <QStringList>

#include "component/wizard_life.h"
#include "controls/flex_grid_model.h"
#include "controls/msg_box.h"
#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "pg_server.h"
#include "wizard/design_grid.h"

namespace {

using namespace Qt::Literals::StringLiterals;

struct Wizard {
    explicit Wizard(const std::string& uri,
                    const QString& pw = QString::fromLatin1(rvtest::PgServer::kPassword))
        : path(QString::fromStdString(uri)), password(pw) {
        wizard::setupGridModel(fg1);
        component::openProductDatabase(status, path, password, fg1);
    }
    ~Wizard() { component::closeProductDatabase(status, path, password); }
    bool build(const QString& id) {
        fg1.insertGridRow(fg1.gridRows(), {{}, id, id + u"名"_s, u"文字"_s, u"10"_s, u"ON"_s});
        return component::createCommand(status, path, password, fg1, {});
    }
    QString path, password;
    controls::FlexGridModel fg1;
    component::WizardStatus status;
};

// The names of the tables and of FIELD's rows, in order.
std::string tablesAndFields(const std::string& uri) {
    jet::Connection c;
    c.open(jet::ConnectionString::build(uri, rvtest::PgServer::kPassword));
    std::string out;
    for (const jet::TableInfo& t : jet::Catalog(c).tables()) {
        out += t.name + " ";
        if (t.name == "FIELD") {
            for (auto rs = c.execute("select FIELD_ID, DISP_SEQNO from FIELD ORDER BY DISP_SEQNO");
                 !rs.eof(); rs.moveNext()) {
                out += rs.field(0).toString() + rs.field(1).toString() + " ";
            }
        }
    }
    return out;
}

class ServerLife : public ::testing::Test {
  protected:
    QStringList prompts() {
        const std::vector<QString> all = m_responder.prompts();
        m_responder.clear();
        return {all.begin(), all.end()};
    }
    std::string m_uri = rvtest::sharedPgServer().createDatabase();
    controls::MsgBoxResponder m_responder;
};

TEST_F(ServerLife, NotYetBuiltHeldAgainstASecondWizardThenExtendedWithOnlyNewFields) {
    // Tables of another program's are no product tables.
    {
        jet::Connection other;
        other.open(jet::ConnectionString::build(m_uri, rvtest::PgServer::kPassword));
        other.execute("CREATE TABLE other(a LONG)");
    }
    {
        Wizard cancelled(m_uri);
        EXPECT_FALSE(cancelled.status.openFailed);
        EXPECT_FALSE(cancelled.status.dbExists);
    }
    EXPECT_EQ(tablesAndFields(m_uri), "other ") << "Cancel leaves it as it was";
    {
        Wizard first(m_uri);
        EXPECT_TRUE(Wizard(m_uri).status.openFailed);
        EXPECT_EQ(prompts(), QStringList{u"このデータベースは他のプログラムで使用中です。"_s});
        EXPECT_TRUE(first.build(u"MAIL1"_s));
    }
    Wizard extending(m_uri);
    EXPECT_FALSE(extending.status.openFailed) << "free again";
    EXPECT_TRUE(extending.status.dbExists);
    EXPECT_EQ(extending.fg1.gridRows(), 2) << "the existing field loaded";
    EXPECT_TRUE(extending.build(u"tel"_s));
    const std::string after = tablesAndFields(m_uri);
    EXPECT_NE(after.find("FIELD MAIL11 tel2 "), std::string::npos) << after;
    EXPECT_EQ(prompts(), QStringList{});
}

TEST_F(ServerLife, ARefusedLoginIsTheFilesCannotOpenPathWithTheServersReason) {
    Wizard w(m_uri, u"wrong-password"_s);
    EXPECT_TRUE(w.status.openFailed);
    EXPECT_EQ(prompts(), QStringList{u"データベースがエラーです"_s});
    EXPECT_TRUE(w.status.openFailure.starts_with("cannot open postgresql://rv@/"))
        << w.status.openFailure;
    EXPECT_NE(w.status.openFailure.find("password authentication failed"), std::string::npos);
    EXPECT_EQ(w.status.openFailure.find("wrong-password"), std::string::npos);
}

}  // namespace
