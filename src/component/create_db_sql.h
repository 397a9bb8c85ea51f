#pragma once

#include <QString>

namespace component {
class rv_makeDBForm;
}

namespace CreateDBSql {

// Sets the wizard's three strings, opens it modally without an owner and returns when
// it has closed. The wizard exists once per process; a call while it is open fails.
void showMakeDBForm(QString& filename, QString& filePass, QString& base_conn);

// The wizard while it is open (for tests and the host's own windows), else nullptr.
component::rv_makeDBForm* currentWizard();

// Opens the template browser alone on the template library `connStr`, modally, and returns
// when it has closed. A library that cannot be opened throws std::runtime_error with the
// engine's message before any window opens.
void showTemplateBrowser(const QString& connStr);

// Makes sure a QApplication exists; a host without one gets one for the process.
void ensureApplication();

// The folder of the component's shared library.
QString componentFolder();

// The field template library shipped with the component: base.mdb in the component's
// folder (the build tree, where the programs sit beside it), else in the installed data
// folder seen from there (<prefix>/share/rv_makedb/ for <prefix>/lib/). When neither
// exists, the one in the component's folder.
QString templateLibrary();

}  // namespace CreateDBSql
