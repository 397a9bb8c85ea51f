// rv_makedb: opens the database creation wizard on a product database, as a host
// program does through makeDB::CreateDatabase.

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "component/create_db_sql.h"
#include "component/frm_main.h"
#include "component/make_db.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;
constexpr int kExitFailed = 3;

constexpr const char* kUsage =
    R"(Usage: rv_makedb [-p PASSWORD] [-t TEMPLATES] [DATABASE]
       rv_makedb --test-window

Opens the database creation wizard on DATABASE, a product database file: a new one is
created when none exists at the path (and deleted again unless the wizard builds it);
an existing one is extended with new fields.

  DATABASE            the product database file (default: ravlinDB.mdb in the current
                      folder)
  -p, --password P    its password (default: empty, an unencrypted file)
  -t, --templates T   the field template library: a database path, or a whole connection
                      string (any text containing '='); default: base.mdb beside this
                      program
  --test-window       show the component's test window (frmMain) instead
  -h, --help          show this text

Exit status: 0 when the wizard has closed; 2 for usage errors or when no display is
available; 3 when the wizard could not open (the message is printed).
)";

bool haveDisplay() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform) {
        return true;
    }
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wayland && *wayland);
}

std::string defaultTemplates(const char* argv0) {
    // Beside the program, else where `make install` puts it.
    const QString exe = QFileInfo(QString::fromLocal8Bit(argv0)).absolutePath();
    for (const QString& candidate : {exe + QStringLiteral("/base.mdb"),
                                     exe + QStringLiteral("/../share/rv_makedb/base.mdb")}) {
        if (QFileInfo::exists(candidate)) {
            return QFileInfo(candidate).absoluteFilePath().toStdString();
        }
    }
    return (exe + QStringLiteral("/base.mdb")).toStdString();
}

std::string templateConnection(const std::string& templates) {
    if (templates.find('=') != std::string::npos) {
        return templates;
    }
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + templates +
           ";Persist Security Info=False";
}

int usage(const std::string& why) {
    std::cerr << "rv_makedb: " << why << "\n"
              << "Try 'rv_makedb --help'.\n";
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    std::string password;
    std::string templates;
    std::string database;
    bool testWindow = false;
    bool haveDatabase = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](const char* opt) -> const char* {
            if (i + 1 >= argc) {
                return nullptr;
            }
            (void)opt;
            return argv[++i];
        };
        if (a == "-h" || a == "--help") {
            std::cout << kUsage;
            return kExitOk;
        } else if (a == "-p" || a == "--password") {
            const char* v = value("-p");
            if (!v) {
                return usage(a + " needs a value");
            }
            password = v;
        } else if (a == "-t" || a == "--templates") {
            const char* v = value("-t");
            if (!v) {
                return usage(a + " needs a value");
            }
            templates = v;
        } else if (a == "--test-window") {
            testWindow = true;
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            return usage("unknown option " + a);
        } else if (haveDatabase) {
            return usage("only one DATABASE may be given");
        } else {
            database = a;
            haveDatabase = true;
        }
    }
    if (testWindow && (haveDatabase || !password.empty() || !templates.empty())) {
        return usage("--test-window takes no other arguments");
    }
    if (!haveDisplay()) {
        std::cerr
            << "rv_makedb: no display available (set DISPLAY, or QT_QPA_PLATFORM=offscreen)\n";
        return kExitUsage;
    }

    if (testWindow) {
        CreateDBSql::ensureApplication();
        component::frmMain window;
        window.show();
        return QApplication::exec() == 0 ? kExitOk : kExitFailed;
    }

    if (!haveDatabase) {
        database = "ravlinDB.mdb";
    }
    database = QFileInfo(QString::fromStdString(database)).absoluteFilePath().toStdString();
    std::string conn =
        templateConnection(templates.empty() ? defaultTemplates(argv[0]) : templates);
    try {
        makeDB().CreateDatabase(database, password, conn);
    } catch (const std::exception& e) {
        std::cerr << "rv_makedb: " << e.what() << "\n";
        return kExitFailed;
    }
    return kExitOk;
}
