// SPDX-License-Identifier: MIT
#pragma once

// The wizard's life without its window: the opening's product database, the create
// command and the closing, over the grid's cells. The window and batch mode both run
// these.

#include <QString>
#include <string>
#include <vector>

#include "component/product_file_lock.h"
#include "jet/connection.h"
#include "templates/tree_plan.h"

namespace controls {
class FlexGridModel;
}

namespace component {

// The template tree's entries left out, once, when there are any (kMsgEntriesLeftOut).
void tellLeftOut(const templates::LeftOut& left);

// The wizard's status values while it is loaded.
struct WizardStatus {
    bool dbExists = false;    // the file holds the product schema
    bool openFailed = false;  // the opening could not read or make the file
    std::string openFailure;  // the engine's words for it, when it said any
    bool buildFailed = false;
    QString curFieldID;        // the ID of the field the builder processed last
    std::string buildFailure;  // the engine's words for the last failed build
    bool createdFile = false;  // the opening made the file that `lock` holds
    ProductFileLock lock;      // held from the opening to the closing
};

// The opening, after the grid's setup and the template tree. `path` and `password` are
// the host's bytes as fromHostBytes() holds them. When an ordinary file is at the path,
// its registered fields are loaded into the grid, unless it is a database without any
// table yet (left by a run that ended early) or an empty file, which counts as not yet
// built and, being there before, is never deleted; otherwise an
// empty database file protected by `password` is created there. Either way the file is
// locked for the wizard's life. A path that cannot be tested or a file that cannot be
// read shows "データベースがエラーです", a file that another wizard holds shows
// kMsgDatabaseInUse; both set openFailed.
// With FileCreation::kNone (a preview) a missing file is not made: it counts as a new
// database that nothing holds yet.
enum class FileCreation { kCreate, kNone };
void openProductDatabase(WizardStatus& status, const QString& path, const QString& password,
                         controls::FlexGridModel& fg1,
                         FileCreation creation = FileCreation::kCreate);

// The create command: checks the grid, asks about a missing mail field, builds under the
// wait pointer and shows what failed. True when the build succeeded and the wizard closes.
bool createCommand(WizardStatus& status, const QString& path, const QString& password,
                   const controls::FlexGridModel& fg1, const jet::Connection::Observer& observer);

// The create command's checks and its question about a missing mail field, each refusal
// shown as the command shows it: true when OK would go on to build.
bool createChecksPass(const controls::FlexGridModel& fg1);

// The statements OK would send for the grid as it stands, in order, once its checks pass.
std::vector<std::string> buildStatements(const WizardStatus& status,
                                         const controls::FlexGridModel& fg1);

// The closing: deletes the file the opening made, unless a build completed, and only
// while the path still names that very file and it still holds no table; then lets the
// file go.
void closeProductDatabase(WizardStatus& status, const QString& path, const QString& password);

}  // namespace component
