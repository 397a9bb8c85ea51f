// SPDX-License-Identifier: MIT
#pragma once

// Running one of the project's programs in a child process, as a user or a script would.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace rvtest {

inline std::string binDir() {
    const char* d = std::getenv("RV_BIN_DIR");
    return d ? d : ".";
}

struct ProgramResult {
    int exitCode = -1;  // -1 when killed by a signal
    std::string out;
    std::string err;
};

// A started child, its standard output and error kept in memory files; killed when it goes.
class Child {
  public:
    // `input`: a file for its standard input (none: /dev/null).
    explicit Child(std::vector<std::string> args, const std::string& input = {}) {
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_addopen(&fa, 0, input.empty() ? "/dev/null" : input.c_str(),
                                         O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&fa, m_out, 1);
        posix_spawn_file_actions_adddup2(&fa, m_err, 2);
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        // As a user starts it, whatever this test run ignores (nohup, a CI runner): the
        // termination signals at their defaults, so that the program's own handling shows.
        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGINT);
        sigaddset(&defaults, SIGTERM);
        posix_spawnattr_setsigdefault(&attr, &defaults);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF);
        const int spawned = posix_spawn(&m_pid, argv[0], &fa, &attr, argv.data(), environ);
        posix_spawnattr_destroy(&attr);
        posix_spawn_file_actions_destroy(&fa);
        if (spawned != 0) {
            throw std::runtime_error("cannot start " + args[0]);
        }
    }
    ~Child() {
        kill();
        ::close(m_out);
        ::close(m_err);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Waits until it ends or `timeoutMs` passes (-1: no limit); true when it ended by itself.
    bool run(int timeoutMs, ProgramResult& result) {
        pollfd p{static_cast<int>(::syscall(SYS_pidfd_open, m_pid, 0)), POLLIN, 0};
        const bool ended = ::poll(&p, 1, timeoutMs) == 1;
        ::close(p.fd);
        if (ended) {
            int status = 0;
            ::waitpid(std::exchange(m_pid, -1), &status, 0);
            result = {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text(m_out), text(m_err)};
        }
        return ended;
    }
    // Sends `sig` while it runs.
    void signal(int sig) { ::kill(m_pid, sig); }
    void kill() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(std::exchange(m_pid, -1), nullptr, 0);
        }
    }

  private:
    static std::string text(int fd) {
        std::string all;
        char buf[4096];
        for (ssize_t got; (got = ::pread(fd, buf, sizeof buf, off_t(all.size()))) > 0;) {
            all.append(buf, static_cast<size_t>(got));
        }
        return all;
    }

    pid_t m_pid = -1;
    int m_out = ::memfd_create("out", MFD_CLOEXEC);
    int m_err = ::memfd_create("err", MFD_CLOEXEC);
};

inline ProgramResult runProgram(const std::vector<std::string>& args,
                                const std::string& input = {}) {
    Child child(args, input);
    ProgramResult r;
    child.run(-1, r);
    return r;
}

}  // namespace rvtest
