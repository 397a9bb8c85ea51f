// SPDX-License-Identifier: MIT
#pragma once

// The browser's "書き出し..." and "読み込み...": the platform's file dialog, then the
// library's export or import (library_import.h), with the same checks as the command
// line; what goes wrong is told in a message box.

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace jet {
class Connection;
}
namespace templates {
class LibraryConnection;
}

namespace browser {

// Asks for a file and writes the library file of the subtree of `folder` (an entry
// number; "0": the whole library) there; `name` proposes the file's name. False when
// nothing was written (cancelled, or a failure, which is told).
bool exportFolderDialog(QWidget* parent, jet::Connection& library, const QString& folder,
                        const QString& name);

// Asks for a library file or library database and imports it into `folder` (an entry
// number; "0": the top level) of `library`, through its owner. Refused lines are told in one
// message and nothing is written. Returns the number of the folder to show (the first the
// file went into), or nothing when nothing was imported.
std::optional<QString> importIntoFolderDialog(QWidget* parent,
                                              templates::LibraryConnection& library,
                                              const QString& folder);

}  // namespace browser
