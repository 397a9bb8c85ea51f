// SPDX-License-Identifier: MIT
#include "jet/jetfile/jet_file.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace jetfile {

namespace {

constexpr std::string_view kJetSignature = "Standard Jet DB";
constexpr std::size_t kSignatureAt = 4;
constexpr std::size_t kMaxStderrBytes = 4096;
constexpr const char* kReaderName = "rv_jetread";

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kLimitAddressSpace = false;  // the sanitizer reserves terabytes up front
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kLimitAddressSpace = false;
#else
constexpr bool kLimitAddressSpace = true;
#endif
#else
constexpr bool kLimitAddressSpace = true;
#endif
// What the reader may take: memory, and no core file of a crash.
constexpr rlim_t kReaderAddressSpace = rlim_t{2} << 30;

bool executable(const std::string& path) {
    return ::access(path.c_str(), X_OK) == 0;
}

std::string folderOf(const std::string& file) {
    const auto slash = file.rfind('/');
    return slash == std::string::npos ? std::string(".") : file.substr(0, slash);
}

void closeFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

std::string signalName(int sig) {
    const char* name = ::sigabbrev_np(sig);
    return name ? std::string("SIG") + name : "signal " + std::to_string(sig);
}

}  // namespace

bool hasJetHeader(std::string_view firstBytes) {
    return firstBytes.size() >= kSignatureAt + kJetSignature.size() &&
           firstBytes.substr(0, kSignatureAt) == std::string_view("\x00\x01\x00\x00", 4) &&
           firstBytes.substr(kSignatureAt, kJetSignature.size()) == kJetSignature;
}

bool isJetFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    char head[32];
    std::size_t got = 0;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        while (got < sizeof head) {
            const ssize_t n = ::read(fd, head + got, sizeof head - got);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            got += static_cast<std::size_t>(n);
        }
    }
    ::close(fd);
    return hasJetHeader(std::string_view(head, got));
}

std::string readerProgram() {
    Dl_info info{};
    std::string folder;
    if (::dladdr(reinterpret_cast<void*>(&readerProgram), &info) && info.dli_fname &&
        info.dli_fname[0] == '/') {
        folder = folderOf(info.dli_fname);
    } else {
        // Linked into a program whose name dladdr gives as it was started: ask the kernel.
        std::string exe(4096, '\0');
        const ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size());
        folder = n > 0 ? folderOf(exe.substr(0, static_cast<std::size_t>(n))) : ".";
    }
    for (const std::string& candidate :
         {folder + "/" + kReaderName, folder + "/" RV_JETREAD_FROM_LIBDIR "/" + kReaderName,
          folder + "/" RV_JETREAD_FROM_BINDIR "/" + kReaderName}) {
        if (executable(candidate)) {
            return candidate;
        }
    }
    return folder + "/" + kReaderName;
}

JetFileReader::JetFileReader(const std::string& path, ReadOptions options)
    : m_path(path), m_options(std::move(options)) {
    if (m_options.program.empty()) {
        m_options.program = readerProgram();
    }
    if (!executable(m_options.program)) {
        throw ReadError("the Jet file reader " + m_options.program + " is not installed");
    }
    int out[2] = {-1, -1};
    int err[2] = {-1, -1};
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
        closeFd(out[0]);
        closeFd(out[1]);
        throw ReadError(std::string("cannot start the Jet file reader: ") + std::strerror(errno));
    }
    // Everything the child needs is made before the fork: after it, in a program that may
    // have threads, only calls that are safe there.
    std::vector<char*> argv{m_options.program.data(), m_path.data(), nullptr};
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int devNull = ::open("/dev/null", O_RDONLY);
        if (devNull < 0 || ::dup2(devNull, STDIN_FILENO) < 0 || ::dup2(out[1], STDOUT_FILENO) < 0 ||
            ::dup2(err[1], STDERR_FILENO) < 0) {
            ::_exit(127);
        }
        ::syscall(SYS_close_range, 3U, ~0U, 0U);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) {
            ::_exit(127);  // the caller is gone already
        }
        const struct rlimit noCore { 0, 0 };
        ::setrlimit(RLIMIT_CORE, &noCore);
        if (kLimitAddressSpace) {
            const struct rlimit memory { kReaderAddressSpace, kReaderAddressSpace };
            ::setrlimit(RLIMIT_AS, &memory);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    closeFd(out[1]);
    closeFd(err[1]);
    m_out = out[0];
    m_err = err[0];
    if (pid < 0) {
        closeFd(m_out);
        closeFd(m_err);
        throw ReadError(std::string("cannot start the Jet file reader: ") + std::strerror(errno));
    }
    m_pid = pid;
    if (nextEvent("the file's tables").kind != StreamEvent::Kind::kCatalog) {
        fail("the file's tables are missing");
    }
}

JetFileReader::~JetFileReader() {
    stop();
}

bool JetFileReader::next(std::size_t& table, std::vector<jet::Value>& values) {
    if (m_ended) {
        return false;
    }
    StreamEvent e = nextEvent("the end of the file");
    if (e.kind == StreamEvent::Kind::kRow) {
        table = e.table;
        values = std::move(e.values);
        return true;
    }
    if (e.kind != StreamEvent::Kind::kEnd) {
        fail("a second catalog");
    }
    // The child must now end, having said nothing more, with status 0.
    while (receive()) {
    }
    try {
        m_decoder.finish();
    } catch (const StreamError& error) {
        fail(error.what());
    }
    const std::string trouble = childTrouble();
    if (!trouble.empty()) {
        fail(trouble);
    }
    m_ended = true;
    return false;
}

StreamEvent JetFileReader::nextEvent(const char* awaited) {
    while (true) {
        std::optional<StreamEvent> e;
        try {
            e = m_decoder.next();
        } catch (const StreamError& error) {
            fail(error.what());
        }
        if (e) {
            return std::move(*e);
        }
        if (!receive()) {
            const std::string trouble = childTrouble();
            fail(trouble.empty() ? std::string("the reader ended before ") + awaited : trouble);
        }
    }
}

bool JetFileReader::receive() {
    if (m_out < 0) {
        return false;
    }
    char buffer[65536];
    while (true) {
        pollfd fds[2] = {{m_out, POLLIN, 0}, {m_err, POLLIN, 0}};
        const nfds_t count = m_err >= 0 ? 2 : 1;
        const int ready = ::poll(fds, count, static_cast<int>(m_options.idleLimit.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready == 0) {
            const auto ms = m_options.idleLimit.count();
            fail("the reader sent nothing for " +
                 (ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms") +
                 " and was stopped");
        }
        if (ready < 0) {
            fail(std::string("cannot read from the reader: ") + std::strerror(errno));
        }
        if (count == 2 && fds[1].revents != 0) {
            const ssize_t n = ::read(m_err, buffer, sizeof buffer);
            if (n > 0) {
                const std::size_t room =
                    kMaxStderrBytes - std::min(kMaxStderrBytes, m_stderr.size());
                m_stderr.append(buffer, std::min(room, static_cast<std::size_t>(n)));
            } else if (n == 0 || errno != EINTR) {
                closeFd(m_err);
            }
        }
        if (fds[0].revents != 0) {
            const ssize_t n = ::read(m_out, buffer, sizeof buffer);
            if (n > 0) {
                m_decoder.feed(buffer, static_cast<std::size_t>(n));
                return true;
            }
            if (n < 0 && errno == EINTR) {
                continue;
            }
            closeFd(m_out);
            return false;
        }
    }
}

std::string JetFileReader::childTrouble() {
    if (m_pid < 0) {
        return {};
    }
    closeFd(m_out);
    // Whatever it still said on standard error, within the limit.
    if (m_err >= 0) {
        const int flags = ::fcntl(m_err, F_GETFL);
        ::fcntl(m_err, F_SETFL, flags | O_NONBLOCK);
        char buffer[4096];
        ssize_t n = 0;
        while ((n = ::read(m_err, buffer, sizeof buffer)) > 0 &&
               m_stderr.size() < kMaxStderrBytes) {
            m_stderr.append(buffer, static_cast<std::size_t>(n));
        }
        closeFd(m_err);
    }
    int status = 0;
    // The child closed its output, so it is ending; give it the idle limit to do so.
    const auto deadline = std::chrono::steady_clock::now() + m_options.idleLimit;
    pid_t done = 0;
    while ((done = ::waitpid(m_pid, &status, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < deadline) {
        ::usleep(1000);
    }
    if (done == 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return "the reader did not end and was stopped";
    }
    m_pid = -1;
    std::string said = m_stderr;
    while (!said.empty() && (said.back() == '\n' || said.back() == '\r')) {
        said.pop_back();
    }
    for (char& c : said) {
        if (c == '\n') {
            c = ' ';
        }
    }
    if (WIFSIGNALED(status)) {
        return "the reader crashed (" + signalName(WTERMSIG(status)) + ")" +
               (said.empty() ? "" : ": " + said);
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127) {
        return "the Jet file reader " + m_options.program + " could not be started";
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0) {
        return "the reader ended with status " + std::to_string(WEXITSTATUS(status)) +
               (said.empty() ? "" : ": " + said);
    }
    return {};
}

void JetFileReader::fail(const std::string& why) {
    stop();
    throw ReadError(why);
}

void JetFileReader::stop() {
    closeFd(m_out);
    closeFd(m_err);
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        int status = 0;
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
        m_pid = -1;
    }
}

}  // namespace jetfile
