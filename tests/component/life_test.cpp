// SPDX-License-Identifier: MIT
// The wizard's life over its product file, without the window: what the opening makes of
// the path (unusable, held by another wizard, a database a dead run left without tables)
// and what the closing may delete when another program got at the file meanwhile; the same
// life on a database of a PostgreSQL server; and field files refused or converted by their
// encoding.
#include <gtest/gtest.h>

#include <QStringList>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "component/batch_build.h"
#include "component/wizard_life.h"
#include "controls/flex_grid_model.h"
#include "controls/msg_box.h"
#include "databases.h"
#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "pg_server.h"
#include "raw_db.h"
#include "temp_dir.h"
#include "wizard/design_grid.h"

namespace {

using namespace Qt::Literals::StringLiterals;

// One wizard's life on a path.
struct Wizard {
    explicit Wizard(const std::string& p, const QString& pw = u"pw"_s)
        : path(QString::fromStdString(p)), password(pw) {
        wizard::setupGridModel(fg1);
        component::openProductDatabase(status, path, password, fg1);
    }
    ~Wizard() { component::closeProductDatabase(status, path, password); }
    bool build(const QString& id = u"MAIL1"_s) {
        fg1.insertGridRow(fg1.gridRows(), {{}, id, id + u"名"_s, u"文字"_s, u"10"_s, u"ON"_s});
        return component::createCommand(status, path, password, fg1, {});
    }
    QString path, password;
    controls::FlexGridModel fg1;
    component::WizardStatus status;
};

class Life : public ::testing::Test {
  protected:
    QStringList prompts() {
        const std::vector<QString> all = m_responder.prompts();
        m_responder.clear();
        return {all.begin(), all.end()};
    }
    rvtest::TempDir m_dir;
    std::string m_path = m_dir.file("p.mdb");
    controls::MsgBoxResponder m_responder;
};

// A path through a file; also a name too long, a loop of links, a folder without search
// permission (which root is never refused): each fails the test of the path alike.
TEST_F(Life, APathTheFileSystemCannotAnswerForFailsTheOpeningAndMakesNothing) {
    std::ofstream(m_dir.file("plain")) << "x";
    EXPECT_TRUE(Wizard(m_dir.file("plain/p.mdb")).status.openFailed);
    EXPECT_EQ(prompts(), QStringList{u"データベースがエラーです"_s});
}

TEST_F(Life, ASecondWizardOnAHeldFileIsTurnedAwayAndChangesNothing) {
    for (const bool existing : {false, true}) {
        if (existing) {
            rvtest::productDatabase(m_path, "pw", {});
        }
        {
            Wizard first(m_path);
            const std::string held = rvtest::readBytes(m_path);
            EXPECT_TRUE(Wizard(m_path).status.openFailed);
            EXPECT_EQ(prompts(), QStringList{u"このデータベースは他のプログラムで使用中です。"_s});
            EXPECT_EQ(rvtest::readBytes(m_path), held) << "the second wizard changed nothing";
            EXPECT_TRUE(first.build());
        }
        EXPECT_FALSE(Wizard(m_path).status.openFailed) << "free again";
        std::remove(m_path.c_str());
    }
}

// The race of two wizards on one new path, forced: before the first one closes without a
// build, another program builds into the file it made, or replaces it.
TEST_F(Life, ClosingDeletesOnlyTheEmptyFileThisWizardMadeWhileItIsStillThatFile) {
    const std::string other = m_dir.file("other.mdb");
    const std::pair<bool, std::function<void()>> cases[] = {
        {false, [] {}},
        {true, [&] { rvtest::RawDb(m_path, "pw").exec("CREATE TABLE T(A LONG)"); }},
        {true,
         [&] {
             jet::Catalog::create(jet::ConnectionString::build(other, "pw"));
             std::rename(other.c_str(), m_path.c_str());
         }},
    };
    for (const auto& [kept, meanwhile] : cases) {
        {
            Wizard w(m_path);
            ASSERT_TRUE(w.status.createdFile);
            meanwhile();
        }
        EXPECT_EQ(std::filesystem::exists(m_path), kept);
        std::remove(m_path.c_str());
    }
}

// A run killed with its wizard open leaves an empty database behind, touch or a failed copy
// an empty file: either is not yet built, kept by Cancel and by a failed build as it was,
// and built into with the wizard's password by the next run.
TEST_F(Life, ADatabaseWithoutTablesIsNotYetBuiltAndIsNeverDeleted) {
    for (const bool emptyFile : {false, true}) {
        if (emptyFile) {
            std::ofstream(m_path).close();
        } else {
            jet::Catalog::create(jet::ConnectionString::build(m_path, "pw"));
        }
        const std::string before = rvtest::readBytes(m_path);
        {
            Wizard cancelled(m_path);
            EXPECT_FALSE(cancelled.status.openFailed);
            EXPECT_FALSE(cancelled.status.dbExists);
            cancelled.fg1.insertGridRow(1, {{}, u"B A D"_s, u"m"_s, u"文字"_s, u"10"_s, u"ON"_s});
            EXPECT_FALSE(cancelled.build());
        }
        EXPECT_EQ(rvtest::readBytes(m_path), before) << "Cancel keeps it as it was";
        Wizard built(m_path);
        EXPECT_TRUE(built.build());
        EXPECT_TRUE(built.status.dbExists);
        EXPECT_EQ(rvtest::RawDb(m_path, "pw").scalar("SELECT FIELD_ID FROM FIELD"), "MAIL1");
        std::remove(m_path.c_str());
    }
}

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

// On a server: not yet built while it holds no product table, held against a second wizard
// by the server's lock, extended with only the new fields, and a refused login taken as the
// file's cannot-open path.
class ServerLife : public Life {
  protected:
    std::string m_uri = rvtest::sharedPgServer().createDatabase();
    const QString m_password = QString::fromLatin1(rvtest::PgServer::kPassword);
};

TEST_F(ServerLife, NotYetBuiltHeldAgainstASecondWizardThenExtendedWithOnlyNewFields) {
    // Tables of another program's are no product tables.
    {
        jet::Connection other;
        other.open(jet::ConnectionString::build(m_uri, rvtest::PgServer::kPassword));
        other.execute("CREATE TABLE other(a LONG)");
    }
    {
        Wizard cancelled(m_uri, m_password);
        EXPECT_FALSE(cancelled.status.openFailed);
        EXPECT_FALSE(cancelled.status.dbExists);
    }
    EXPECT_EQ(tablesAndFields(m_uri), "other ") << "Cancel leaves it as it was";
    {
        Wizard first(m_uri, m_password);
        EXPECT_TRUE(Wizard(m_uri, m_password).status.openFailed);
        EXPECT_EQ(prompts(), QStringList{u"このデータベースは他のプログラムで使用中です。"_s});
        EXPECT_TRUE(first.build(u"MAIL1"_s));
    }
    Wizard extending(m_uri, m_password);
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
    // What the engine says (without the password: the engine's test) reaches the status.
    EXPECT_NE(w.status.openFailure.find("password authentication failed"), std::string::npos)
        << w.status.openFailure;
}

TEST(FieldFile, TextThatIsNotValidInItsEncodingIsRefusedWithItsLine) {
    const struct {
        std::string bytes, encoding;
        QString text;  // or the error
    } cases[] = {
        {"\xef\xbb\xbfMAIL1\t\xe6\x96\x87\n", "UTF-8", u"MAIL1\t文\n"_s},
        {"A\nB\n\x95\xb6\x8e\x9a\n", "UTF-8", u"line 3 is not valid UTF-8"_s},
        {"A\n\x81\n", "CP932", u"line 2 is not valid CP932"_s},
        {"A", "NO-SUCH", u"unknown encoding NO-SUCH"_s},
    };
    for (const auto& c : cases) {
        QString got;
        try {
            got = component::fieldFileText(c.bytes, c.encoding);
        } catch (const std::exception& e) {
            got = QString::fromUtf8(e.what());
        }
        EXPECT_EQ(got, c.text) << c.encoding;
    }
}

}  // namespace
