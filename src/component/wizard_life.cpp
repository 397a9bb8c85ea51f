// SPDX-License-Identifier: MIT
#include "component/wizard_life.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDate>

#include <cerrno>
#include <optional>

#include "component/host_text.h"
#include "component/texts.h"
#include "controls/msg_box.h"
#include "controls/wait_pointer.h"
#include "jet/catalog.h"
#include "jet/connection_string.h"
#include "jet/error.h"
#include "jet/jetfile/jet_file.h"
#include "productdb/builder.h"
#include "wizard/create_checks.h"
#include "wizard/existing_fields.h"
#include "wizard/texts.h"

namespace component {

namespace {

enum class PathState {
    kFile,      // an ordinary file
    kNoFile,    // nothing, or something that is no ordinary file (a folder)
    kUnusable,  // the file system cannot say: a name too long, a path through a file,
                // a folder without search permission, a loop of links
};

PathState testPath(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        return S_ISREG(st.st_mode) ? PathState::kFile : PathState::kNoFile;
    }
    return errno == ENOENT ? PathState::kNoFile : PathState::kUnusable;
}

std::string connectionString(const QString& path, const QString& password) {
    return jet::ConnectionString::build(toHostBytes(path), toHostBytes(password));
}

// A database that opens with the password and holds no table of its own; an empty file
// (what touch or a failed copy leaves) is one.
bool withoutTables(const std::string& connection) {
    jet::Connection db;
    db.open(connection, jet::Connection::EmptyFile::kNewDatabase);
    for (const jet::TableInfo& table : jet::Catalog(db).tables()) {
        if (!table.system) {
            return false;
        }
    }
    return true;
}

}  // namespace

namespace {

// The opening on a server: the database is there (its administrator made it); it is held
// by the server's lock, and holds the product's tables or none of them yet. Nothing is
// created, so the closing deletes nothing.
void openServerDatabase(WizardStatus& status, const std::string& uri, const std::string& connection,
                        controls::FlexGridModel& fg1, FileCreation creation) {
    status.dbExists = true;
    if (creation == FileCreation::kCreate &&
        status.lock.take(uri, connection) == ProductFileLock::Outcome::kInUse) {
        controls::tell(kMsgDatabaseInUse, controls::vbExclamation);
        status.openFailed = true;
        return;
    }
    try {
        wizard::loadExistingDB(fg1, connection);
    } catch (const jet::Error&) {
        jet::Connection db;
        db.open(connection);
        if (productdb::holdsProductTables(db)) {
            throw;
        }
        status.dbExists = false;
    }
    status.openFailed = false;
}

}  // namespace

void openProductDatabase(WizardStatus& status, const QString& path, const QString& password,
                         controls::FlexGridModel& fg1, FileCreation creation) {
    const std::string file = toHostBytes(path);
    const std::string connection = connectionString(path, password);
    status.createdFile = false;
    if (jet::ConnectionString::namesServer(file)) {
        try {
            openServerDatabase(status, file, connection, fg1, creation);
        } catch (const jet::Error& e) {
            status.lock.release();
            status.openFailure = e.what();
            controls::tell(wizard::kMsgDatabaseError, controls::vbExclamation);
            status.openFailed = true;
            return;
        }
        status.openFailure.clear();
        return;
    }
    try {
        PathState state = testPath(file);
        if (state == PathState::kUnusable) {
            throw jet::Error("cannot use " + file, jet::ErrorCode::kCannotOpen);
        }
        // The Windows system's database: converted by a command, never opened here.
        if (state == PathState::kFile && jetfile::isJetFile(file)) {
            controls::tell(kMsgEarlierVersion, controls::vbExclamation, {path});
            status.openFailed = true;
            return;
        }
        bool made = false;
        if (state == PathState::kNoFile && creation == FileCreation::kCreate) {
            // CreateDB. Failures are not reported here: a file that could not be made shows
            // up when the build cannot open it. One that another program made meanwhile
            // is opened as a file that was there.
            try {
                jet::Catalog::create(connection);
                made = true;
            } catch (const jet::Error&) {
                if (testPath(file) == PathState::kFile) {
                    state = PathState::kFile;
                }
            }
        }
        status.dbExists = state == PathState::kFile;
        // Whatever is at the path now is locked before it is read or written: a file made
        // by another wizard between the test and the creation is that wizard's.
        if (made || state == PathState::kFile) {
            switch (status.lock.take(file)) {
                case ProductFileLock::Outcome::kInUse:
                    controls::tell(kMsgDatabaseInUse, controls::vbExclamation);
                    status.openFailed = true;
                    return;
                case ProductFileLock::Outcome::kNoFile:
                    if (!made) {
                        throw jet::Error("cannot open " + file, jet::ErrorCode::kCannotOpen);
                    }
                    break;
                case ProductFileLock::Outcome::kHeld:
                    status.createdFile = made;
                    break;
            }
        }
        if (state == PathState::kFile) {
            try {
                wizard::loadExistingDB(fg1, connection);
            } catch (const jet::Error&) {
                // A database without tables was left by a run that ended before its build,
                // an empty file by touch or a failed copy: it is built as a new one, but it
                // was here before, so it is never deleted.
                if (!withoutTables(connection)) {
                    throw;
                }
                status.dbExists = false;
            }
        }
    } catch (const jet::Error& e) {
        status.openFailure = e.what();
        controls::tell(wizard::kMsgDatabaseError, controls::vbExclamation);
        status.openFailed = true;
        return;
    }
    status.openFailed = false;
    status.openFailure.clear();
}

namespace {

// The checks and the question; on true `wait` holds the wait pointer.
bool checksPassUnderWaitPointer(const controls::FlexGridModel& fg1,
                                std::optional<controls::WaitPointer>& wait,
                                int mostFields = productdb::maxFields()) {
    using Outcome = wizard::CreateCheck::Outcome;
    const wizard::CreateCheck check = wizard::checkCreate(fg1, mostFields);
    if (check.outcome == Outcome::kNoFields) {
        controls::tell(check.message);
        return false;
    }
    wait.emplace();
    bool go = true;
    if (check.outcome == Outcome::kRefused) {
        controls::tell(check.message);
        go = false;
    } else if (check.outcome == Outcome::kAskMail) {
        go = controls::tell(check.message) != controls::vbCancel;
    }
    if (!go) {
        wait.reset();
    }
    return go;
}

}  // namespace

bool createChecksPass(const controls::FlexGridModel& fg1) {
    std::optional<controls::WaitPointer> wait;
    return checksPassUnderWaitPointer(fg1, wait);
}

std::vector<std::string> buildStatements(const WizardStatus& status,
                                         const controls::FlexGridModel& fg1) {
    std::vector<std::string> statements;
    for (productdb::BuildStep& step :
         productdb::buildSteps(wizard::newFields(fg1), status.dbExists, QDate::currentDate())) {
        if (step.kind == productdb::BuildStep::Kind::kStatement) {
            statements.push_back(std::move(step.sql));
        }
    }
    return statements;
}

bool createCommand(WizardStatus& status, const QString& path, const QString& password,
                   const controls::FlexGridModel& fg1, const jet::Connection::Observer& observer) {
    status.buildFailed = false;
    status.buildFailure.clear();
    std::optional<controls::WaitPointer> wait;
    if (!checksPassUnderWaitPointer(fg1, wait, productdb::maxFields(toHostBytes(path)))) {
        return false;
    }

    productdb::BuildState state{status.dbExists, status.curFieldID};
    const productdb::BuildResult result = productdb::buildDB(
        wizard::newFields(fg1), {toHostBytes(path), toHostBytes(password)}, state, observer);
    status.dbExists = state.dbExists;
    status.curFieldID = state.curFieldID;
    for (const controls::Message& message : wizard::buildMessages(result)) {
        controls::tell(message);
    }
    // A clean-up that failed as well is the command's own failure, not the builder's.
    status.buildFailed = !result.built && !result.cleanupFailed;
    status.buildFailure = result.reason;
    return result.built;
}

void closeProductDatabase(WizardStatus& status, const QString& path, const QString& password) {
    // Only the empty file this wizard made itself goes, and only while it is still that
    // file without tables (another program may have built into it meanwhile); anything
    // else stays. All failures are ignored.
    const std::string file = toHostBytes(path);
    if (!status.dbExists && status.createdFile && status.lock.isFileAt(file)) {
        try {
            if (withoutTables(connectionString(path, password))) {
                ::unlink(file.c_str());
            }
        } catch (const jet::Error&) {
        }
    }
    status.createdFile = false;
    status.lock.release();
}

void tellLeftOut(const templates::LeftOut& left) {
    if (left.count > 0) {
        controls::tell(kMsgEntriesLeftOut, controls::vbOKOnly + controls::vbExclamation,
                       {QString::number(left.count), left.name, left.number});
    }
}

}  // namespace component
