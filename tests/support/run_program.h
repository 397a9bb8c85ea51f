#pragma once

// Running one of the project's programs in a child process, as a user or a script would.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

// A started child with its standard output and error on pipes; killed when it goes.
class Child {
  public:
    // `input`: a file for its standard input (none: /dev/null).
    explicit Child(const std::vector<std::string>& args, const std::string& input = {}) {
        int out[2], err[2];
        if (::pipe(out) != 0 || ::pipe(err) != 0) {
            throw std::runtime_error("pipe");
        }
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_addopen(&fa, 0, input.empty() ? "/dev/null" : input.c_str(),
                                         O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&fa, out[1], 1);
        posix_spawn_file_actions_adddup2(&fa, err[1], 2);
        std::vector<char*> argv(args.size() + 1, nullptr);
        std::transform(args.begin(), args.end(), argv.begin(),
                       [](const std::string& a) { return const_cast<char*>(a.c_str()); });
        const int spawned = posix_spawn(&m_pid, argv[0], &fa, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&fa);
        ::close(out[1]);
        ::close(err[1]);
        m_fds[0] = {out[0], POLLIN, 0};
        m_fds[1] = {err[0], POLLIN, 0};
        if (spawned != 0) {
            throw std::runtime_error("cannot start " + args[0]);
        }
    }
    ~Child() {
        kill();
        for (const pollfd& f : m_fds) {
            if (f.fd >= 0) {
                ::close(f.fd);
            }
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Reads its output until it ends or `timeoutMs` passes (-1: no limit); true when it
    // ended by itself.
    bool run(int timeoutMs, ProgramResult& result) {
        for (int open = 2; open > 0;) {
            if (::poll(m_fds, 2, timeoutMs) == 0) {
                return false;
            }
            for (pollfd& f : m_fds) {
                char buf[4096];
                if (f.fd >= 0 && (f.revents & (POLLIN | POLLHUP))) {
                    const ssize_t got = ::read(f.fd, buf, sizeof buf);
                    if (got > 0) {
                        (&f == m_fds ? result.out : result.err).append(buf, got);
                    } else {
                        ::close(std::exchange(f.fd, -1));
                        --open;
                    }
                }
            }
        }
        int status = 0;
        ::waitpid(std::exchange(m_pid, -1), &status, 0);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return true;
    }
    // Sends `sig` while it runs.
    void signal(int sig) {
        if (m_pid > 0) {
            ::kill(m_pid, sig);
        }
    }
    void kill() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(std::exchange(m_pid, -1), nullptr, 0);
        }
    }

  private:
    pid_t m_pid = -1;
    pollfd m_fds[2] = {};
};

inline ProgramResult runProgram(const std::vector<std::string>& args,
                                const std::string& input = {}) {
    Child child(args, input);
    ProgramResult r;
    child.run(-1, r);
    return r;
}

}  // namespace rvtest
