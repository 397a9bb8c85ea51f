// The wizard's life over its product file, without the window: what the opening makes of
// the path (an unusable one, one another wizard holds, a database a dead run left without
// tables), what the closing may delete when another program got at the file meanwhile,
// and the host's bytes (paths, field files) kept or converted as they must be.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QStringList>
#include <cstdio>
#include <fstream>

#include "component/batch_build.h"
#include "component/host_text.h"
#include "component/wizard_life.h"
#include "controls/flex_grid_model.h"
#include "controls/msg_box.h"
#include "databases.h"
#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "raw_db.h"
#include "temp_dir.h"
#include "wizard/design_grid.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using component::WizardStatus;

const QString kDatabaseError = u"データベースがエラーです"_s;
const QString kInUse = u"このデータベースは他のプログラムで使用中です。"_s;

bool exists(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0;
}

// One wizard's life on a path: its grid and its status.
struct Wizard {
    explicit Wizard(std::string p, QString pw = u"pw"_s)
        : path(component::fromHostBytes(p)), password(std::move(pw)) {
        wizard::setupGridModel(fg1);
    }
    void open() { component::openProductDatabase(status, path, password, fg1); }
    void close() { component::closeProductDatabase(status, path, password); }
    bool build() {
        fg1.insertGridRow(fg1.gridRows(), {{}, u"MAIL1"_s, u"m"_s, u"文字"_s, u"10"_s, u"ON"_s});
        return component::createCommand(status, path, password, fg1, {});
    }

    QString path;
    QString password;
    controls::FlexGridModel fg1;
    WizardStatus status;
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

TEST_F(Life, APathTheFileSystemCannotAnswerForFailsTheOpeningAndMakesNothing) {
    std::ofstream(m_dir.file("plain")) << "x";
    ::symlink("loop", m_dir.file("loop").c_str());
    const std::string locked = m_dir.file("locked");
    ::mkdir(locked.c_str(), 0);
    const struct {
        std::string path;
        bool refusedToRoot;  // root may search any folder
    } cases[] = {
        {m_dir.file(std::string(300, 'x') + ".mdb"), true},  // a name too long
        {m_dir.file("plain/p.mdb"), true},                   // a path through a file
        {m_dir.file("loop/p.mdb"), true},                    // a loop of links
        {locked + "/p.mdb", false},                          // a folder without search permission
    };
    for (const auto& c : cases) {
        if (!c.refusedToRoot && ::geteuid() == 0) {
            continue;
        }
        Wizard w(c.path);
        w.open();
        EXPECT_TRUE(w.status.openFailed) << c.path;
        EXPECT_EQ(prompts(), QStringList{kDatabaseError}) << c.path;
        w.close();
    }
    ::chmod(locked.c_str(), 0700);
    EXPECT_EQ(::rmdir(locked.c_str()), 0) << "nothing was made in it";
}

TEST_F(Life, ASecondWizardOnAHeldFileIsTurnedAwayAndChangesNothing) {
    for (const bool existing : {false, true}) {
        if (existing) {
            rvtest::productDatabase(m_path, "pw", {});
        }
        Wizard first(m_path), second(m_path);
        first.open();
        ASSERT_FALSE(first.status.openFailed);
        const std::string held = rvtest::readBytes(m_path);
        second.open();
        EXPECT_TRUE(second.status.openFailed);
        EXPECT_EQ(prompts(), QStringList{kInUse});
        second.close();
        EXPECT_EQ(rvtest::readBytes(m_path), held) << "the second wizard changed nothing";
        EXPECT_TRUE(first.build());
        first.close();
        Wizard third(m_path);  // free again
        third.open();
        EXPECT_FALSE(third.status.openFailed);
        EXPECT_TRUE(third.status.dbExists);
        third.close();
        EXPECT_TRUE(exists(m_path));
        std::remove(m_path.c_str());
    }
}

// The race of two wizards on one new path, forced: the file the first one made is built
// into, or replaced, by another program before the first one closes without a build.
TEST_F(Life, ClosingDeletesOnlyTheEmptyFileThisWizardMadeWhileItIsStillThatFile) {
    const std::string other = m_dir.file("other.mdb");
    const struct {
        const char* meanwhile;
        std::function<void()> act;
        bool kept;
    } cases[] = {
        {"nothing", [] {}, false},
        {"built into",
         [&] {
             jet::Connection c;
             c.open(jet::ConnectionString::build(m_path, "pw"));
             c.execute("CREATE TABLE T(A LONG)");
         },
         true},
        {"replaced",
         [&] {
             jet::Catalog::create(jet::ConnectionString::build(other, "pw"));
             std::rename(other.c_str(), m_path.c_str());
         },
         true},
    };
    for (const auto& c : cases) {
        Wizard w(m_path);
        w.open();
        ASSERT_TRUE(w.status.createdFile) << c.meanwhile;
        c.act();
        w.close();
        EXPECT_EQ(exists(m_path), c.kept) << c.meanwhile;
        std::remove(m_path.c_str());
    }
    EXPECT_TRUE(prompts().isEmpty());
}

// A run that died with its wizard open leaves the empty database behind; the next run on
// that path builds it, and never deletes it.
TEST_F(Life, ADatabaseWithoutTablesIsNotYetBuiltAndIsNeverDeleted) {
    jet::Catalog::create(jet::ConnectionString::build(m_path, "pw"));
    Wizard wrong(m_path, u"wrong"_s);
    wrong.open();
    EXPECT_TRUE(wrong.status.openFailed);
    EXPECT_EQ(prompts(), QStringList{kDatabaseError});
    wrong.close();

    Wizard cancelled(m_path);
    cancelled.open();
    EXPECT_FALSE(cancelled.status.openFailed);
    EXPECT_FALSE(cancelled.status.dbExists);
    cancelled.close();
    EXPECT_TRUE(exists(m_path));

    Wizard built(m_path);
    built.open();
    EXPECT_TRUE(built.build());
    built.close();
    EXPECT_EQ(rvtest::RawDb(m_path, "pw").scalar("SELECT FIELD_ID FROM FIELD"), "MAIL1");
    EXPECT_TRUE(prompts().isEmpty());
}

TEST(HostText, BytesThatAreNotUtf8ComeBackUnchanged) {
    const std::string cases[] = {
        "/tmp/plain.mdb",
        "/tmp/住所録.mdb",
        "/tmp/\x82\xa0\x83\x41.mdb",              // Shift_JIS
        "/tmp/\xff\xfe\xc0\xaf\xed\xa0\x80.mdb",  // bytes never valid, overlong, surrogate
        "\xf0\x90\x82\x80\x80\xe6\x96",           // a valid 4-byte character, then not
    };
    for (const std::string& bytes : cases) {
        EXPECT_EQ(component::toHostBytes(component::fromHostBytes(bytes)), bytes);
    }
    EXPECT_EQ(component::fromHostBytes("/tmp/住所録.mdb"), u"/tmp/住所録.mdb"_s);
}

TEST(FieldFile, TextThatIsNotValidInItsEncodingIsRefusedWithItsLine) {
    const struct {
        std::string bytes;
        std::string encoding;
        QString text;  // or the error
    } cases[] = {
        {"\xef\xbb\xbfMAIL1\t\xe6\x96\x87\n", "UTF-8", u"MAIL1\t文\n"_s},
        {"A\nB\n\x95\xb6\x8e\x9a\n", "UTF-8", u"line 3 is not valid UTF-8"_s},
        {"A\n\xf4\x90\x80\x80\n", "UTF-8", u"line 2 is not valid UTF-8"_s},
        {"A\t\x95\xb6\x8e\x9a\n", "CP932", u"A\t文字\n"_s},
        {"A\n\x81\n", "CP932", u"line 2 is not valid CP932"_s},
        {"A", "NO-SUCH-ENCODING", u"unknown encoding NO-SUCH-ENCODING"_s},
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
