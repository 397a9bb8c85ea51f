#pragma once

// Running one of the project's programs in a child process, as a user or a script would.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
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

// A started child with its standard output and error on pipes.
class Child {
  public:
    // `input`: a file for its standard input (none: /dev/null).
    explicit Child(const std::vector<std::string>& args, const std::string& input = {}) {
        int outPipe[2], errPipe[2];
        if (::pipe(outPipe) != 0 || ::pipe(errPipe) != 0) {
            throw std::runtime_error("pipe");
        }
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_addopen(&fa, 0, input.empty() ? "/dev/null" : input.c_str(),
                                         O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&fa, outPipe[1], 1);
        posix_spawn_file_actions_adddup2(&fa, errPipe[1], 2);
        posix_spawn_file_actions_addclose(&fa, outPipe[0]);
        posix_spawn_file_actions_addclose(&fa, errPipe[0]);
        std::vector<char*> argv;
        for (const auto& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, argv[0], &fa, nullptr, argv.data(), environ) != 0) {
            throw std::runtime_error("cannot start " + args[0]);
        }
        posix_spawn_file_actions_destroy(&fa);
        ::close(outPipe[1]);
        ::close(errPipe[1]);
        m_out = outPipe[0];
        m_err = errPipe[0];
    }
    ~Child() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        ::close(m_out);
        ::close(m_err);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Reads its output until it ends or `timeoutMs` passes (-1: no limit); true when it
    // ended by itself.
    bool run(int timeoutMs, ProgramResult& result) {
        pollfd fds[2] = {{m_out, POLLIN, 0}, {m_err, POLLIN, 0}};
        int open = 2;
        while (open > 0) {
            const int n = ::poll(fds, 2, timeoutMs);
            if (n == 0) {
                return false;
            }
            for (auto& f : fds) {
                if (f.fd >= 0 && (f.revents & (POLLIN | POLLHUP))) {
                    char buf[4096];
                    const ssize_t got = ::read(f.fd, buf, sizeof buf);
                    if (got <= 0) {
                        f.fd = -1;
                        --open;
                    } else {
                        (f.fd == m_out ? result.out : result.err).append(buf, got);
                    }
                }
            }
        }
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return true;
    }
    void kill() {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

  private:
    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
};

inline ProgramResult runProgram(const std::vector<std::string>& args,
                                const std::string& input = {}) {
    Child child(args, input);
    ProgramResult r;
    child.run(-1, r);
    return r;
}

}  // namespace rvtest
