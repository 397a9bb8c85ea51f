// SPDX-License-Identifier: MIT
#pragma once

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace rvtest {

// A program on a pseudo-terminal of its own: what is typed goes in as keys, and what it shows
// is read back. Killed when it goes.
class Terminal {
  public:
    Terminal(const std::string& program, const std::vector<std::string>& args,
             const std::string& home) {
        m_pid = ::forkpty(&m_fd, nullptr, nullptr, nullptr);
        if (m_pid == 0) {
            ::setenv("HOME", home.c_str(), 1);
            ::signal(SIGINT, SIG_DFL);
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (const std::string& a : args) {
                argv.push_back(const_cast<char*>(a.c_str()));
            }
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
    }
    ~Terminal() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        ::close(m_fd);
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    void type(const std::string& keys) {
        ASSERT_EQ(::write(m_fd, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    }
    // Reads what it shows until `text` appears after what was found last; false when it
    // does not within `seconds`.
    bool waitFor(const std::string& text, int seconds = 10) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (true) {
            if (const auto at = m_shown.find(text, m_seen); at != std::string::npos) {
                m_seen = at + text.size();
                return true;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            pollfd p{m_fd, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) != 1) {
                return false;
            }
            char buf[4096];
            const ssize_t got = ::read(m_fd, buf, sizeof buf);
            if (got <= 0) {
                return false;
            }
            m_shown.append(buf, static_cast<std::size_t>(got));
        }
    }
    // Waits for `prompt`, then until the line editor has the terminal (no longer line by
    // line): keys typed before that would go to the terminal's own line editing, and a
    // Ctrl+D there could be lost in the switch. False when it does not within 10 seconds.
    bool waitForPrompt(const std::string& prompt) {
        return waitFor(prompt) && waitForMode([](tcflag_t flags) { return !(flags & ICANON); });
    }
    // Waits for `prompt`, then until what is typed is no longer shown (a password is being
    // read): keys typed before the switch would be thrown away with it.
    bool waitForPasswordPrompt(const std::string& prompt) {
        return waitFor(prompt) && waitForMode([](tcflag_t flags) { return !(flags & ECHO); });
    }
    // Its exit code once it has ended.
    int exitCode() {
        int status = 0;
        ::waitpid(std::exchange(m_pid, -1), &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    const std::string& shown() const { return m_shown; }

  private:
    // Until the terminal's local modes pass `reached`; false when they do not within 10
    // seconds. What it shows meanwhile is kept.
    template <typename Reached>
    bool waitForMode(Reached reached) {
        for (int tries = 0; tries < 1000; ++tries) {
            termios mode{};
            if (::tcgetattr(m_fd, &mode) == 0 && reached(mode.c_lflag)) {
                return true;
            }
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 10) == 1) {
                char buf[4096];
                const ssize_t got = ::read(m_fd, buf, sizeof buf);
                if (got > 0) {
                    m_shown.append(buf, static_cast<std::size_t>(got));
                }
            }
        }
        return false;
    }

    int m_fd = -1;
    pid_t m_pid = -1;
    std::string m_shown;
    std::size_t m_seen = 0;
};

}  // namespace rvtest
