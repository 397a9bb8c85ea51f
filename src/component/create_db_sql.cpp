#include "component/create_db_sql.h"

#include <dlfcn.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <memory>
#include <stdexcept>

#include "component/rv_makedb_form.h"
#include "component/texts.h"
#include "controls/accessibility.h"
#include "jet/connection.h"
#include "jet/error.h"
#include "templates/account_browse.h"

// Where the install puts base.mdb, relative to the library's folder (set by the build).
#ifndef RV_MAKEDB_DATA_FROM_LIBDIR
#error "RV_MAKEDB_DATA_FROM_LIBDIR must name the data folder relative to the library folder"
#endif

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
    // Qt's own texts in Japanese for the whole life, the opening's messages included.
    const controls::JapaneseQtTexts japanese;
    form->Form_Load();  // a template library that cannot be read ends here
    form->exec();
}

void showTemplateBrowser(const QString& connStr) {
    ensureApplication();
    try {
        jet::Connection().open(connStr.toStdString());
    } catch (const jet::Error& e) {
        throw std::runtime_error(std::string("template library: ") + e.what());
    }
    templates::AccountBrowse browser;
    browser.showAccountForm(connStr);
}

QString componentFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&componentFolder), &info) && info.dli_fname) {
        return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
    }
    return QCoreApplication::applicationDirPath();
}

QString templateLibrary() {
    const QString folder = componentFolder();
    const QString file = component::kTemplateLibraryFile.toString();
    const QString beside = folder + QLatin1Char('/') + file;
    if (QFileInfo::exists(beside)) {
        return beside;
    }
    const QString installed =
        QDir::cleanPath(folder + QLatin1Char('/') + QStringLiteral(RV_MAKEDB_DATA_FROM_LIBDIR) +
                        QLatin1Char('/') + file);
    return QFileInfo::exists(installed) ? installed : beside;
}

}  // namespace CreateDBSql
