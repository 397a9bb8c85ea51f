// SPDX-License-Identifier: MIT
#pragma once

#include <sys/types.h>

#include <string>

#include "jet/connection.h"

namespace component {

// The wizard's hold on its product database file from the opening to the closing: an
// exclusive lock (flock) on a descriptor of its own, so that a second wizard on the same
// file, in this process or another, is turned away while the first is open. It is
// independent of the engine's own locks, and the kernel releases it when the process ends.
// Also remembers which file it holds, so that the closing can tell whether the path still
// names that very file. A database on a server is held the same way by a lock of the
// server's (an advisory lock of a connection kept open), which the server releases when the
// connection closes or the process dies.
class ProductFileLock {
  public:
    enum class Outcome {
        kHeld,    // the lock is ours
        kInUse,   // another wizard holds it
        kNoFile,  // nothing that can be opened at the path
    };

    ProductFileLock() = default;
    ~ProductFileLock();
    ProductFileLock(const ProductFileLock&) = delete;
    ProductFileLock& operator=(const ProductFileLock&) = delete;

    // Opens the file at `path` and takes the lock without waiting. Releases any lock held.
    // A server's database (`path` a URI) is opened with `connectionString`; a failure to
    // open it throws jet::Error.
    Outcome take(const std::string& path, const std::string& connectionString = {});
    bool held() const { return m_fd >= 0 || m_server.isOpen(); }
    // True when `path` names the file whose lock is held (same device and inode).
    bool isFileAt(const std::string& path) const;
    void release();

  private:
    int m_fd = -1;
    jet::Connection m_server;
    dev_t m_dev = 0;
    ino_t m_ino = 0;
};

}  // namespace component
