// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <memory>
#include <string>

#include "templates/library_owner.h"
#include "templates/library_place.h"

class QApplication;

namespace component {
class rv_makeDBForm;
}

namespace CreateDBSql {

// Sets the wizard's three strings, opens it modally without an owner and returns when
// it has closed. The wizard exists once per process; a call while it is open fails.
// Throws std::runtime_error, before anything is shown or made, for a call that
// ApplicationScope refuses.
void showMakeDBForm(QString& filename, QString& filePass, QString& base_conn);

// Opens the template browser alone on `library`, modally, and returns when it has closed.
// A library that cannot be opened or read throws std::runtime_error ("template library:
// REASON") before any window opens; entries the tree cannot place are only left out.
void showTemplateBrowser(const templates::LibraryOwner& library);

// The QApplication the wizard needs, for as long as this object lives: the host's own
// when it has one, which is never touched, else one made here and destroyed again when
// this object goes, while Qt is still whole (never by a static destructor at the
// process's exit). The component installs no signal handlers and leaves the process as it
// found it.
//
// Refuses with std::runtime_error, before Qt is touched: a call from any thread but the
// one the host's QApplication lives on (without one: the program's main thread), and,
// when a QApplication has to be made, a process without a display (see displayProblem),
// where Qt would end the whole process.
class ApplicationScope {
  public:
    ApplicationScope();
    ~ApplicationScope();
    ApplicationScope(const ApplicationScope&) = delete;
    ApplicationScope& operator=(const ApplicationScope&) = delete;

  private:
    std::unique_ptr<QApplication> m_made;
};

// Why a window could not be shown in this process, or an empty text: no platform is
// named (QT_QPA_PLATFORM) and no display is set (DISPLAY, WAYLAND_DISPLAY); the named
// platform's plugin is missing; or the X display is local and nothing answers there.
std::string displayProblem();

// The folder of the component's shared library.
QString componentFolder();

// What the search for the template library looks at: the environment's data folders,
// base.mdb in the component's folder (the build tree, where the programs sit beside it)
// and in the installed data folder seen from there (<prefix>/share/rv_makedb/ for
// <prefix>/lib/).
templates::DataFolders dataFolders();

// The field template library the programs use without one named: see
// templates/library_place.h for the order. When none exists, the user's (missing).
QString templateLibrary();

// The owner of the library `named` names (a path or a connection string, as -t gives it),
// or without one, of the library templateLibrary() finds; changes to a shared library go to
// the user's copy.
templates::LibraryOwner libraryOwner(const QString& named);

}  // namespace CreateDBSql
