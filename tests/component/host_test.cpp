// The C entry point and the program in processes of their own, for what only a process
// shows: a call that cannot work fails with the reason and leaves the host running to a
// clean exit, and the QApplication the component makes is gone before the process ends,
// also where a screen reader is listening.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "databases.h"
#include "run_program.h"
#include "temp_dir.h"

namespace {

class Host : public ::testing::Test {
  protected:
    rvtest::ProgramResult host(const std::vector<std::string>& env, const std::string& mode) {
        std::vector<std::string> args{"/usr/bin/env"};
        args.insert(args.end(), env.begin(), env.end());
        args.insert(args.end(),
                    {rvtest::binDir() + "/component_test_host", mode, m_db, m_templates});
        rvtest::Child child(args);
        rvtest::ProgramResult r;
        EXPECT_TRUE(child.run(60000, r)) << "the host hangs";
        return r;
    }
    bool leftAnything() const { return ::access(m_db.c_str(), F_OK) == 0; }

    rvtest::TempDir m_dir;
    std::string m_templates = rvtest::templateLibrary(m_dir.file("base.mdb"));
    std::string m_db = m_dir.file("p\xff\xfe.mdb");  // not UTF-8: the path is kept as bytes
};

TEST_F(Host, ACallThatCannotShowTheWizardFailsWithTheReasonAndTheHostLivesOn) {
    const struct {
        std::vector<std::string> env;
        std::string mode;
        std::string reason;
    } cases[] = {
        {{"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM"},
         "once",
         "rc=1 rv_makeDB: no display available (set DISPLAY, or QT_QPA_PLATFORM=offscreen)\n"},
        {{"QT_QPA_PLATFORM=nosuchplatform"},
         "once",
         "rc=1 rv_makeDB: the Qt platform plugin \"nosuchplatform\" (QT_QPA_PLATFORM) is not "
         "installed\n"},
        {{"-u", "QT_QPA_PLATFORM", "-u", "WAYLAND_DISPLAY", "DISPLAY=:9999"},
         "once",
         "rc=1 rv_makeDB: cannot connect to the display :9999\n"},
        {{"QT_QPA_PLATFORM=offscreen"},
         "thread",
         "rc=1 rv_makeDB: the wizard can only be opened on the program's main thread\n"},
    };
    for (const auto& c : cases) {
        const rvtest::ProgramResult r = host(c.env, c.mode);
        EXPECT_EQ(r.exitCode, 0) << c.reason << r.err;
        EXPECT_EQ(r.out, c.reason);
        EXPECT_FALSE(leftAnything()) << c.reason;
    }
}

TEST_F(Host, TheWizardOpensAgainOnEveryCallOnTheBytesOfItsPath) {
    const rvtest::ProgramResult r = host({"QT_QPA_PLATFORM=offscreen"}, "twice");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "shown, file there\nrc=0 \nshown, file there\nrc=0 \n");
    EXPECT_FALSE(leftAnything()) << "Cancel removes the file it made";
}

// Where a screen reader listens (the accessibility bus up and Qt's accessibility on), the
// program's and the component's QApplication close without a crash.
TEST_F(Host, ClosingWithAScreenReaderListeningEndsTheProcessCleanly) {
    const std::string session =
        std::string(std::getenv("RV_SOURCE_DIR")) + "/tests/component/a11y_session.sh";
    const struct {
        std::vector<std::string> command;
    } cases[] = {
        {{"/usr/bin/env", "RV_MAKEDB_STARTUP_PROBE=1", rvtest::binDir() + "/rv_makedb", "-t",
          m_templates, m_db}},
        {{rvtest::binDir() + "/component_test_host", "twice", m_db, m_templates}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"/bin/bash", session};
        args.insert(args.end(), c.command.begin(), c.command.end());
        rvtest::Child child(args);
        rvtest::ProgramResult r;
        ASSERT_TRUE(child.run(90000, r)) << "the session hangs";
        if (r.exitCode == 77) {
            GTEST_SKIP() << r.err;
        }
        EXPECT_EQ(r.exitCode, 0) << c.command[0] << " (139: a crash at exit)\n" << r.err;
        EXPECT_FALSE(leftAnything());
    }
}

}  // namespace
