// SPDX-License-Identifier: MIT
#include "templates/library_owner.h"

#include <QFile>
#include <QFileInfo>

#include "jet/connection_string.h"
#include "jet/error.h"
#include "vocabulary/host_text.h"

namespace templates {

namespace {

std::string bytes(const QString& text) {
    return vocabulary::toHostBytes(text);
}

QString text(const std::string& bytes) {
    return vocabulary::fromHostBytes(bytes);
}

}  // namespace

LibraryOwner::LibraryOwner(const QString& pathOrConnection)
    : m_connection(text(jet::connectionStringFor(bytes(pathOrConnection)))) {
    try {
        m_path = text(jet::ConnectionString::parse(bytes(m_connection)).dataSource());
    } catch (const jet::Error&) {
        // Refused again, with its reason, when it is opened.
    }
}

LibraryOwner LibraryOwner::named(const QString& pathOrConnection, const DataFolders& folders) {
    LibraryOwner owner(pathOrConnection);
    if (owner.m_path.isEmpty()) {
        return owner;
    }
    const QString changes = libraryForChanges(owner.m_path, folders);
    if (changes != owner.m_path) {
        owner.m_copyPath = changes;
        owner.m_copyConnection = text(jet::ConnectionString::build(
            bytes(changes), jet::ConnectionString::parse(bytes(owner.m_connection)).password()));
    }
    return owner;
}

LibraryOwner LibraryOwner::found(const DataFolders& folders) {
    return named(findLibrary(folders).path, folders);
}

bool LibraryOwner::readsCopy() const {
    return !m_copyPath.isEmpty() && QFileInfo(m_copyPath).isFile();
}

QString LibraryOwner::connectionString() const {
    return readsCopy() ? m_copyConnection : m_connection;
}

QString LibraryOwner::path() const {
    if (readsCopy()) {
        return m_copyPath;
    }
    return m_path.isEmpty() ? m_connection : m_path;
}

void LibraryConnection::open(const LibraryOwner& owner) {
    m_connection.close();
    m_owner = owner;
    m_onCopy = owner.readsCopy();
    m_connection.open(bytes(owner.connectionString()));
}

LibraryConnection::Write::Copy::Copy(LibraryConnection& l) : library(l) {
    const LibraryOwner& owner = library.m_owner;
    if (owner.m_copyPath.isEmpty() || library.m_onCopy) {
        return;
    }
    made = copyLibraryOnce(owner.m_path, owner.m_copyPath);
    try {
        // Opened aside first: the connection stays on the library read until the copy opens.
        jet::Connection check;
        check.open(bytes(owner.m_copyConnection));
        check.close();
        library.m_connection.close();
        library.m_connection.open(bytes(owner.m_copyConnection));
        library.m_onCopy = true;
    } catch (...) {
        if (made) {
            QFile::remove(owner.m_copyPath);
        }
        if (!library.m_connection.isOpen()) {
            library.m_connection.open(bytes(owner.m_connection));
        }
        throw;
    }
}

LibraryConnection::Write::Copy::~Copy() {
    if (!made || kept) {
        return;
    }
    // The write that made the copy failed: the copy goes, and the reads go back to the
    // library as it was.
    try {
        library.m_connection.close();
        QFile::remove(library.m_owner.m_copyPath);
        library.m_onCopy = false;
        library.m_connection.open(bytes(library.m_owner.m_connection));
    } catch (...) {  // NOLINT(bugprone-empty-catch): the library read is as it was
    }
}

LibraryConnection::Write::Write(LibraryConnection& library)
    : m_library(library), m_copy(library), m_transaction(library.m_connection) {}

LibraryConnection::Write::~Write() = default;

void LibraryConnection::Write::commit() {
    m_transaction.commit();
    m_copy.kept = true;
}

}  // namespace templates
