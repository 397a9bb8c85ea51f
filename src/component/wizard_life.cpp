#include "component/wizard_life.h"

#include <QFile>
#include <QFileInfo>

#include "controls/mouse_pointer.h"
#include "controls/msg_box.h"
#include "jet/catalog.h"
#include "jet/connection_string.h"
#include "jet/error.h"
#include "productdb/builder.h"
#include "wizard/create_checks.h"
#include "wizard/existing_fields.h"
#include "wizard/texts.h"

namespace component {

namespace {

// An ordinary file at the path; folders do not count.
bool fileExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

std::string connectionString(const QString& path, const QString& password) {
    return jet::ConnectionString::build(path.toStdString(), password.toStdString());
}

}  // namespace

void openProductDatabase(WizardStatus& status, const QString& path, const QString& password,
                         controls::FlexGridModel& fg1) {
    try {
        if (fileExists(path)) {
            status.dbExists = true;
            wizard::loadExistingDB(fg1, QString::fromStdString(connectionString(path, password)));
        } else {
            // CreateDB. Failures are not reported here: a file that could not be made shows
            // up when the build cannot open it.
            try {
                jet::Catalog::create(connectionString(path, password));
                status.createdFile = path;
            } catch (const jet::Error&) {
            }
            status.dbExists = false;
        }
    } catch (const jet::Error&) {
        controls::tell(wizard::kMsgDatabaseError, controls::vbExclamation);
        status.openFailed = true;
        return;
    }
    status.openFailed = false;
}

bool createCommand(WizardStatus& status, const QString& path, const QString& password,
                   const controls::FlexGridModel& fg1, const jet::Connection::Observer& observer) {
    using Outcome = wizard::CreateCheck::Outcome;
    status.buildFailed = false;
    const wizard::CreateCheck check = wizard::checkCreate(fg1);
    if (check.outcome == Outcome::kNoFields) {
        controls::tell(check.message);
        return false;
    }
    controls::setMousePointer(controls::kPointerWait);
    bool go = true;
    if (check.outcome == Outcome::kRefused) {
        controls::tell(check.message);
        go = false;
    } else if (check.outcome == Outcome::kAskMail) {
        go = controls::tell(check.message) != controls::vbCancel;
    }
    if (!go) {
        controls::setMousePointer(controls::kPointerNormal);
        return false;
    }

    productdb::BuildState state{status.dbExists, status.curFieldID};
    const productdb::BuildResult result =
        productdb::buildDB(wizard::newFields(fg1), {path, password}, state, observer);
    status.dbExists = state.dbExists;
    status.curFieldID = state.curFieldID;
    for (const controls::Message& message : wizard::buildMessages(result)) {
        controls::tell(message);
    }
    // A clean-up that failed as well is the command's own failure, not the builder's.
    status.buildFailed = !result.built && !result.cleanupFailed;
    controls::setMousePointer(controls::kPointerNormal);
    return result.built;
}

void closeProductDatabase(const WizardStatus& status) {
    // Only the empty file this wizard made itself goes; anything else stays.
    if (!status.dbExists && !status.createdFile.isEmpty()) {
        QFile::remove(status.createdFile);
    }
}

}  // namespace component
