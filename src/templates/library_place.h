// SPDX-License-Identifier: MIT
#pragma once

// Where the template library lives. Without a library named on the command line (or by a
// host), the programs use rv_makedb/base.mdb from the data folders of the XDG base
// directories in order: the user's ($XDG_DATA_HOME, default ~/.local/share), then each of
// $XDG_DATA_DIRS (default /usr/local/share:/usr/share), then the folder the component was
// installed with. In the build tree the library beside the programs comes first.
//
// The libraries of the shared data folders are the site's and the package's: they are
// never written. The first change goes to a copy in the user's data folder (the library's
// owner, library_owner.h, decides and makes it).

#include <QString>
#include <QStringList>

namespace templates {

// What the search looks at, as values: the environment's variables as set (empty when
// unset) and the two libraries the component knows from its own place.
struct DataFolders {
    QString dataHome;       // XDG_DATA_HOME
    QString dataDirs;       // XDG_DATA_DIRS
    QString home;           // HOME
    QString besideProgram;  // base.mdb beside the component (the build tree)
    QString installed;      // base.mdb in the data folder the component was installed with

    // The variables of this process's environment with the two paths given.
    static DataFolders fromEnvironment(const QString& besideProgram, const QString& installed);
};

struct LibraryPlace {
    enum class Source { kBuildTree, kUserData, kSharedData, kInstalled, kMissing };
    QString path;
    Source source = Source::kMissing;
};

// The file under `library` name of each data folder.
inline constexpr QStringView kLibraryInDataFolder = u"rv_makedb/base.mdb";

// The library the programs use: the first of the candidates that exists (a file); when
// none does, the user's, which does not exist yet (the caller reports it missing). Relative
// paths in the variables are passed over, as the base directories ask.
LibraryPlace findLibrary(const DataFolders& folders);

// The user's library, $XDG_DATA_HOME/rv_makedb/base.mdb; empty when neither XDG_DATA_HOME
// nor HOME is an absolute path.
QString userLibrary(const DataFolders& folders);

// Where changes to the library at `path` go: the user's library when `path` is one of the
// shared data folders' or the installed one, else `path` itself.
QString libraryForChanges(const QString& path, const DataFolders& folders);

// Makes `to` a copy of `from` unless `to` exists already; true when it copied. The copy
// appears whole or not at all: it is written to a temporary file in the folder of `to`,
// flushed, and then given its name, never over a file another process put there meanwhile.
// Missing folders are made (mode 0700), the file has mode 0600. Throws std::runtime_error
// naming the path and the system's reason; nothing is left behind then.
bool copyLibraryOnce(const QString& from, const QString& to);

}  // namespace templates
