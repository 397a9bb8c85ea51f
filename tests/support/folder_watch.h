// SPDX-License-Identifier: MIT
#pragma once

// Waiting for a file to appear in, or leave, a folder (inotify), to act at that moment.

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <string>

namespace rvtest {

// Watches a folder for the first event of a kind on a name with a given ending.
struct FolderWatch {
    explicit FolderWatch(const std::string& folder) {
        inotify_add_watch(fd, folder.c_str(), IN_CREATE | IN_DELETE | IN_MOVED_TO);
    }
    ~FolderWatch() { ::close(fd); }
    bool waitFor(uint32_t mask, const std::string& ending) const {
        alignas(inotify_event) char buf[4096];
        for (pollfd p{fd, POLLIN, 0}; ::poll(&p, 1, 20000) == 1;) {
            const ssize_t n = ::read(fd, buf, sizeof buf);
            for (ssize_t at = 0; at < n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(buf + at);
                const std::string name = e->len > 0 ? e->name : "";
                if ((e->mask & mask) && name.size() >= ending.size() &&
                    name.compare(name.size() - ending.size(), ending.size(), ending) == 0) {
                    return true;
                }
                at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
            }
        }
        return false;
    }
    const int fd = inotify_init1(IN_CLOEXEC);
};

}  // namespace rvtest
