// SPDX-License-Identifier: MIT
#pragma once

// The template library's owner: made once from what names the library (a host's connection
// string, a path given with -t, or the search of the data folders), it alone decides which
// file is read and which is written.
//
// A library of a shared data folder (each of $XDG_DATA_DIRS, the installed one) is never
// written: it is read from the user's copy whenever that copy exists, by every reader, and
// without a copy it is read where it is until the first change makes the copy, which every
// read after it then sees. Any other library is read and written where it is.

#include <QString>

#include "jet/connection.h"
#include "jet/transaction.h"
#include "templates/library_place.h"

namespace templates {

class LibraryOwner {
  public:
    // A library written where it is (none: the connection string is empty).
    LibraryOwner() = default;
    explicit LibraryOwner(const QString& pathOrConnection);

    // The library `pathOrConnection` names (a connection string, or a file's path), with its
    // changes in the user's copy when it lies in one of `folders`' shared data folders.
    static LibraryOwner named(const QString& pathOrConnection, const DataFolders& folders);
    // The library the search of `folders` finds (findLibrary); when it finds none, the user's
    // library, which opens as missing.
    static LibraryOwner found(const DataFolders& folders);

    // The connection string of the library read now: the user's copy once it exists, else
    // the library as named.
    QString connectionString() const;
    // The file read now (for messages); the connection string when it names no file.
    QString path() const;
    // The user's copy the first change makes; empty for a library written where it is.
    const QString& copyPath() const { return m_copyPath; }
    // Whether reads and writes go to the user's copy now.
    bool readsCopy() const;

    bool operator==(const LibraryOwner&) const = default;

  private:
    friend class LibraryConnection;

    QString m_connection;      // as named, a path made a connection string
    QString m_path;            // its file; empty when it does not parse
    QString m_copyPath;        // the user's copy; empty: written where it is
    QString m_copyConnection;  // the copy's connection string (the same password)
};

// One connection to the library its owner names, open on the file the owner reads now. A
// write moves it to the user's copy first when the copy is due (Write).
class LibraryConnection {
  public:
    LibraryConnection() = default;
    // Opens on the library `owner` reads now. Throws jet::Error.
    explicit LibraryConnection(const LibraryOwner& owner) { open(owner); }

    void open(const LibraryOwner& owner);
    bool isOpen() const { return m_connection.isOpen(); }
    void close() { m_connection.close(); }

    const LibraryOwner& owner() const { return m_owner; }
    // For reading; writes go through Write.
    jet::Connection& connection() { return m_connection; }

    // One write, in one transaction on the library: when the user's copy is due, it is made
    // first (copyLibraryOnce) and the connection moves there. Anything not committed is
    // rolled back, and a copy this write made is removed again, the connection back on the
    // library as it was read. Throws std::runtime_error or jet::Error when the copy cannot
    // be made or opened; nothing is left behind then.
    class Write {
      public:
        explicit Write(LibraryConnection& library);
        ~Write();
        Write(const Write&) = delete;
        Write& operator=(const Write&) = delete;

        jet::Connection& connection() { return m_library.m_connection; }
        void commit();

      private:
        // Before the transaction: the copy, when due.
        struct Copy {
            explicit Copy(LibraryConnection& library);
            ~Copy();
            LibraryConnection& library;
            bool made = false;
            bool kept = false;
        };

        LibraryConnection& m_library;
        Copy m_copy;
        jet::Transaction m_transaction;
    };

  private:
    LibraryOwner m_owner;
    jet::Connection m_connection;
    bool m_onCopy = false;
};

}  // namespace templates
