// SPDX-License-Identifier: MIT
// The C entry point in a host process of its own (component_test_host), for what only a
// process shows: a call that cannot work fails with the reason and the host lives on to a
// clean exit; the QApplication made for a call is gone before the process ends, also where
// a screen reader listens (and so is rv_makedb's own).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>

#include "databases.h"
#include "run_program.h"
#include "temp_dir.h"

namespace {

class Host : public ::testing::Test {
  protected:
    rvtest::ProgramResult run(std::vector<std::string> args) {
        rvtest::Child child(args);
        rvtest::ProgramResult r;
        EXPECT_TRUE(child.run(90000, r)) << "it hangs: " << args[0];
        return r;
    }
    std::vector<std::string> host(const std::string& mode) {
        return {rvtest::binDir() + "/component_test_host", mode, m_db, m_templates};
    }
    bool leftAnything() const { return ::access(m_db.c_str(), F_OK) == 0; }

    rvtest::TempDir m_dir;
    std::string m_templates = rvtest::templateLibrary(m_dir.file("base.mdb"));
    std::string m_db = m_dir.file("p\xff\xfe.mdb");  // not UTF-8: the path is kept as bytes
};

// A call that cannot show the wizard fails with the reason and the host lives on; one that
// can opens the wizard again on every call, on the bytes of its path, and Cancel removes
// the file it made.
TEST_F(Host, EveryCallOpensTheWizardOrFailsWithTheReasonAndTheHostLivesOn) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"QT_QPA_PLATFORM=nosuch", "once"},
         "rc=1 rv_makeDB: the Qt platform plugin \"nosuch\" (QT_QPA_PLATFORM) is not installed\n"},
        {{"-u", "QT_QPA_PLATFORM", "-u", "WAYLAND_DISPLAY", "DISPLAY=:9999", "once"},
         "rc=1 rv_makeDB: cannot connect to the display :9999\n"},
        {{"thread"},
         "rc=1 rv_makeDB: the wizard can only be opened on the program's main thread\n"},
        {{"twice"}, "shown, file there\nrc=0 \nshown, file there\nrc=0 \n"},
    };
    for (const auto& [env, out] : cases) {
        std::vector<std::string> args{"/usr/bin/env"};
        args.insert(args.end(), env.begin(), env.end() - 1);
        const std::vector<std::string> h = host(env.back());
        args.insert(args.end(), h.begin(), h.end());
        const rvtest::ProgramResult r = run(args);
        EXPECT_EQ(r.exitCode, 0) << out << r.err;
        EXPECT_EQ(r.out, out);
        EXPECT_FALSE(leftAnything()) << out;
    }
}

TEST_F(Host, ClosingWithAScreenReaderListeningEndsTheProcessCleanly) {
    const std::string session =
        std::string(std::getenv("RV_SOURCE_DIR")) + "/tests/component/a11y_session.sh";
    for (std::vector<std::string> command :
         {std::vector<std::string>{"/usr/bin/env", "RV_MAKEDB_STARTUP_PROBE=1",
                                   rvtest::binDir() + "/rv_makedb", "-t", m_templates, m_db},
          host("twice")}) {
        command.insert(command.begin(), {"/bin/bash", session});
        const rvtest::ProgramResult r = run(command);
        if (r.exitCode == 77) {
            GTEST_SKIP() << r.err;
        }
        EXPECT_EQ(r.exitCode, 0) << command[2] << " (139: it crashed at exit)\n" << r.err;
        EXPECT_FALSE(leftAnything());
    }
}

}  // namespace
