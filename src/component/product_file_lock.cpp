// SPDX-License-Identifier: MIT
#include "component/product_file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "jet/connection_string.h"

namespace component {

ProductFileLock::~ProductFileLock() {
    release();
}

namespace {
// The lock every wizard takes on a product database on a server.
constexpr std::string_view kWizardLock = "rv_makeDB product database";
}  // namespace

ProductFileLock::Outcome ProductFileLock::take(const std::string& path,
                                               const std::string& connectionString) {
    release();
    if (jet::ConnectionString::namesServer(path)) {
        m_server.open(connectionString);
        if (!m_server.tryLock(kWizardLock)) {
            m_server.close();
            return Outcome::kInUse;
        }
        return Outcome::kHeld;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0) {
            ::close(fd);
        }
        return Outcome::kNoFile;
    }
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        return Outcome::kInUse;
    }
    // Any other refusal means a file system without such locks: the file is held unguarded.
    m_fd = fd;
    m_dev = st.st_dev;
    m_ino = st.st_ino;
    return Outcome::kHeld;
}

bool ProductFileLock::isFileAt(const std::string& path) const {
    struct stat st {};
    return m_fd >= 0 && ::stat(path.c_str(), &st) == 0 && st.st_dev == m_dev && st.st_ino == m_ino;
}

void ProductFileLock::release() {
    m_server.close();
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

}  // namespace component
