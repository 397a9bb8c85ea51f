// SPDX-License-Identifier: MIT
#include "templates/library_place.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace templates {

namespace {

// The library in a data folder given as it stands in a variable; empty when it is not an
// absolute path.
QString inDataFolder(const QString& folder) {
    if (!folder.startsWith(u'/')) {
        return {};
    }
    return QDir::cleanPath(folder + u'/' + kLibraryInDataFolder.toString());
}

QStringList sharedLibraries(const DataFolders& folders) {
    const QString dirs = folders.dataDirs.isEmpty() ? QStringLiteral("/usr/local/share:/usr/share")
                                                    : folders.dataDirs;
    QStringList out;
    for (const QString& folder : dirs.split(u':', Qt::SkipEmptyParts)) {
        if (const QString library = inDataFolder(folder); !library.isEmpty()) {
            out << library;
        }
    }
    return out;
}

bool isFile(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

// The same file, also when reached by another spelling or a link.
bool sameFile(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

[[noreturn]] void fail(const std::string& what, const QString& path, int error) {
    throw std::runtime_error("cannot " + what + " " + path.toStdString() + ": " +
                             std::strerror(error));
}

// Makes `folder` and the folders above it that are missing, each with mode 0700.
void makeFolders(const QString& folder) {
    if (folder.isEmpty() || folder == u"/" || QFileInfo(folder).isDir()) {
        return;
    }
    makeFolders(QFileInfo(folder).path());
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST) {
        fail("make the folder", folder, errno);
    }
}

// Closes and removes the temporary file unless released.
class TemporaryFile {
  public:
    explicit TemporaryFile(const QString& folder)
        : m_name(QFile::encodeName(folder + QStringLiteral("/.base.mdb.XXXXXX")).toStdString()) {
        m_fd = ::mkostemp(m_name.data(), O_CLOEXEC);  // mode 0600
        if (m_fd < 0) {
            fail("write in", folder, errno);
        }
    }
    ~TemporaryFile() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        if (!m_kept) {
            ::unlink(m_name.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return m_fd; }
    const char* name() const { return m_name.c_str(); }
    void close() {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0) {
            fail("write", QFile::decodeName(m_name.c_str()), errno);
        }
    }
    void keep() { m_kept = true; }

  private:
    std::string m_name;
    int m_fd = -1;
    bool m_kept = false;
};

void copyBytes(int from, const TemporaryFile& to, const QString& source, const QString& target) {
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            fail("read", source, errno);
        }
        if (n == 0) {
            break;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(to.fd(), buffer + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) {
                continue;
            }
            if (w < 0) {
                fail("write", target, errno);
            }
            done += w;
        }
    }
    if (::fsync(to.fd()) != 0) {
        fail("write", target, errno);
    }
}

}  // namespace

DataFolders DataFolders::fromEnvironment(const QString& besideProgram, const QString& installed) {
    return {qEnvironmentVariable("XDG_DATA_HOME"), qEnvironmentVariable("XDG_DATA_DIRS"),
            qEnvironmentVariable("HOME"), besideProgram, installed};
}

QString userLibrary(const DataFolders& folders) {
    if (const QString library = inDataFolder(folders.dataHome); !library.isEmpty()) {
        return library;
    }
    return folders.home.startsWith(u'/')
               ? inDataFolder(folders.home + QStringLiteral("/.local/share"))
               : QString();
}

LibraryPlace findLibrary(const DataFolders& folders) {
    using Source = LibraryPlace::Source;
    if (isFile(folders.besideProgram)) {
        return {folders.besideProgram, Source::kBuildTree};
    }
    if (const QString user = userLibrary(folders); isFile(user)) {
        return {user, Source::kUserData};
    }
    for (const QString& shared : sharedLibraries(folders)) {
        if (isFile(shared)) {
            return {shared, Source::kSharedData};
        }
    }
    if (isFile(folders.installed)) {
        return {folders.installed, Source::kInstalled};
    }
    return {userLibrary(folders), Source::kMissing};
}

QString libraryForChanges(const QString& path, const DataFolders& folders) {
    const QString user = userLibrary(folders);
    if (user.isEmpty() || sameFile(path, user)) {
        return path;
    }
    QStringList shared = sharedLibraries(folders);
    shared << folders.installed;
    for (const QString& library : shared) {
        if (sameFile(path, library)) {
            return user;
        }
    }
    return path;
}

bool copyLibraryOnce(const QString& from, const QString& to) {
    if (QFileInfo::exists(to)) {
        return false;
    }
    const QString folder = QFileInfo(to).path();
    makeFolders(folder);
    const int source = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC);
    if (source < 0) {
        fail("read", from, errno);
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{source};
    TemporaryFile temporary(folder);
    copyBytes(source, temporary, from, to);
    temporary.close();
    const QByteArray target = QFile::encodeName(to);
    // Never over a copy another process made meanwhile: that one is used instead.
    if (::renameat2(AT_FDCWD, temporary.name(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0) {
        temporary.keep();
    } else if (errno == EEXIST) {
        return false;
    } else if (errno == EINVAL || errno == ENOSYS) {
        // A file system without that kind of rename: a hard link does not replace either.
        if (::link(temporary.name(), target.constData()) != 0) {
            if (errno == EEXIST) {
                return false;
            }
            fail("write", to, errno);
        }
    } else {
        fail("write", to, errno);
    }
    // The new name survives a crash once its folder is flushed too.
    if (const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_CLOEXEC);
        dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace templates
