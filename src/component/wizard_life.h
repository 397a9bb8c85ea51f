#pragma once

// The wizard's life without its window: the opening's product database, the create
// command and the closing, over the grid's cells. The window and batch mode both run
// these.

#include <QString>

#include "jet/connection.h"

namespace controls {
class FlexGridModel;
}

namespace component {

// The wizard's status values while it is loaded.
struct WizardStatus {
    bool dbExists = false;    // the file holds the product schema
    bool openFailed = false;  // the opening could not read or make the file
    bool buildFailed = false;
    QString curFieldID;   // the ID of the field the builder processed last
    QString createdFile;  // the empty database the opening made
};

// The opening, after the grid's setup and the template tree: loads the fields of the
// product database at `path` into the grid when the file exists, else creates an empty
// database file there protected by `password`. A file that cannot be read shows
// "データベースがエラーです" and sets openFailed.
void openProductDatabase(WizardStatus& status, const QString& path, const QString& password,
                         controls::FlexGridModel& fg1);

// The create command: checks the grid, asks about a missing mail field, builds under the
// wait pointer and shows what failed. True when the build succeeded and the wizard closes.
bool createCommand(WizardStatus& status, const QString& path, const QString& password,
                   const controls::FlexGridModel& fg1, const jet::Connection::Observer& observer);

// The closing: deletes the file the opening made, unless a build completed.
void closeProductDatabase(const WizardStatus& status);

}  // namespace component
