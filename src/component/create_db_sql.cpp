#include "component/create_db_sql.h"

#include <dlfcn.h>

#include <QApplication>
#include <QFileInfo>
#include <QPointer>
#include <memory>
#include <stdexcept>

#include "component/rv_makedb_form.h"

namespace CreateDBSql {

namespace {
QPointer<component::rv_makeDBForm> s_wizard;
}

void ensureApplication() {
    if (QCoreApplication::instance()) {
        if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
            throw std::runtime_error(
                "rv_makeDB: the host's Qt application object is not a QApplication; the "
                "wizard needs one to show its window");
        }
        return;
    }
    static int argc = 1;
    static char name[] = "rv_makeDB";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app(new QApplication(argc, argv));
}

component::rv_makeDBForm* currentWizard() {
    return s_wizard.data();
}

void showMakeDBForm(QString& filename, QString& filePass, QString& base_conn) {
    ensureApplication();
    if (s_wizard) {
        throw std::runtime_error("rv_makeDB: the wizard is already open");
    }
    // A fresh window for every call, gone again when it closes.
    std::unique_ptr<component::rv_makeDBForm> form(new component::rv_makeDBForm(nullptr));
    s_wizard = form.get();
    form->basFilePath = filename;
    form->basPass = filePass;
    form->basconnStr = base_conn;
    form->setWindowModality(Qt::ApplicationModal);
    form->Form_Load();  // a template library that cannot be read ends here
    form->exec();
}

QString componentFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&componentFolder), &info) && info.dli_fname) {
        return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
    }
    return QCoreApplication::applicationDirPath();
}

}  // namespace CreateDBSql
