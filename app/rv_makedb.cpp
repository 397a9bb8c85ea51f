// rv_makedb: opens the database creation wizard on a product database, as a host
// program does through makeDB::CreateDatabase; or the template browser alone.

#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "component/batch_build.h"
#include "component/create_db_sql.h"
#include "component/frm_main.h"
#include "component/make_db.h"
#include "component/rv_makedb_form.h"
#include "jet/connection_string.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;
constexpr int kExitFailed = 3;

constexpr const char* kUsage =
    R"(Usage: rv_makedb [-p PASSWORD] [-t TEMPLATES] [DATABASE]
       rv_makedb --fields FILE [--yes] [-p PASSWORD] [-t TEMPLATES] DATABASE
       rv_makedb --templates [-t TEMPLATES]
       rv_makedb --test-window

Opens the database creation wizard on DATABASE, a product database file: a new one is
created when none exists at the path (and deleted again unless the wizard builds it);
an existing one is extended with new fields.

  DATABASE            the product database file (default: ravlinDB.mdb in the current
                      folder; required with --fields)
  -p, --password P    its password (default: empty, an unencrypted file)
  -t, --library T     the field template library: a database path, or a whole connection
                      string (any text containing '='); default: base.mdb, see below
  --templates         open the template browser "項目一覧" alone on the template library,
                      to maintain it: add, rename and delete folders and fields
  --fields FILE       batch mode: no window; add the fields of FILE and press OK. FILE is
                      UTF-8, one field per line, cells separated by tabs: field ID, field
                      name, attribute (文字 数字 日付 YESNO メモ), size, IME (ON OFF), mail
                      kind (PCメール 携帯メール), FAX kind (公用FAX 私用FAX). Missing
                      trailing cells keep a new row's start ("文字", "ON"); empty lines
                      and lines beginning with '#' are skipped. Each message is printed
                      to standard error as "ravLIN: TEXT".
  --yes               batch mode: answer OK to the question about a missing mail field
                      (otherwise Cancel)
  --test-window       show the component's test window (frmMain) instead
  -h, --help          show this text

Exit status: 0 when the wizard (or the browser) has closed (in batch mode: the database
was built); 1 in batch mode when a check refused, the question was declined or the build
failed; 2 for usage errors or when no display is available (batch mode needs none);
3 when the wizard or the browser could not open (the message is printed).

The default field template library is base.mdb beside the component, librv_makeDB.so
(in the build tree: beside this program), else the installed one in
<prefix>/share/rv_makedb/ (/usr/share/rv_makedb/base.mdb from the package).
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

std::string defaultTemplates() {
    return CreateDBSql::templateLibrary().toStdString();
}

std::string templateConnection(const std::string& templates) {
    if (templates.find('=') != std::string::npos) {
        return templates;
    }
    return jet::ConnectionString::forFile(templates);
}

// Milliseconds since this process started, from the kernel's start time (clock ticks
// since boot) and the boot-relative clock; -1 when they cannot be read.
double msSinceProcessStart() {
    std::ifstream in("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The fields after the command name, which may hold blanks, start behind the last ')'.
    const auto close = stat.rfind(')');
    timespec now{};
    if (close == std::string::npos || clock_gettime(CLOCK_BOOTTIME, &now) != 0) {
        return -1;
    }
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
    }
    const double startTicks = std::stod(field);
    const double ms = now.tv_sec * 1e3 + now.tv_nsec / 1e6;
    return ms - startTicks * 1e3 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Start-up timing for the benchmarks (RV_MAKEDB_STARTUP_PROBE set): as soon as the wizard
// is shown, prints "startup_ms N" on standard output and presses Cancel.
class StartupProbe : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_done && event->type() == QEvent::Show) {
            if (auto* wizard = qobject_cast<component::rv_makeDBForm*>(watched)) {
                m_done = true;
                std::printf("startup_ms %.1f\n", msSinceProcessStart());
                std::fflush(stdout);
                QMetaObject::invokeMethod(wizard->Command1, &QPushButton::click,
                                          Qt::QueuedConnection);
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool m_done = false;
};

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
    std::string fieldsFile;
    bool haveFields = false;
    bool answerYes = false;
    bool testWindow = false;
    bool browser = false;
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
            const QString library = CreateDBSql::templateLibrary();
            std::cout << kUsage << "Here: " << library.toStdString()
                      << (QFileInfo::exists(library) ? "" : " (missing)") << "\n";
            return kExitOk;
        } else if (a == "-p" || a == "--password") {
            const char* v = value("-p");
            if (!v) {
                return usage(a + " needs a value");
            }
            password = v;
        } else if (a == "-t" || a == "--library") {
            const char* v = value("-t");
            if (!v) {
                return usage(a + " needs a value");
            }
            templates = v;
        } else if (a == "--fields") {
            const char* v = value("--fields");
            if (!v) {
                return usage(a + " needs a value");
            }
            fieldsFile = v;
            haveFields = true;
        } else if (a == "--yes") {
            answerYes = true;
        } else if (a == "--templates") {
            browser = true;
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
    if (testWindow &&
        (haveDatabase || haveFields || answerYes || !password.empty() || !templates.empty())) {
        return usage("--test-window takes no other arguments");
    }
    if (browser && (testWindow || haveDatabase || haveFields || answerYes || !password.empty())) {
        return usage("--templates takes no other arguments than -t");
    }
    if (answerYes && !haveFields) {
        return usage("--yes goes with --fields");
    }
    if (haveFields) {
        if (!haveDatabase) {
            return usage("--fields needs a DATABASE");
        }
        QFile file(QString::fromStdString(fieldsFile));
        if (!file.open(QIODevice::ReadOnly)) {
            return usage("cannot read " + fieldsFile);
        }
        if (!haveDisplay()) {
            qputenv("QT_QPA_PLATFORM", "offscreen");  // no window is shown
        }
        component::BatchJob job;
        job.database = QFileInfo(QString::fromStdString(database)).absoluteFilePath();
        job.password = QString::fromStdString(password);
        job.templates = QString::fromStdString(
            templateConnection(templates.empty() ? defaultTemplates() : templates));
        job.fieldLines = component::fieldLines(QString::fromUtf8(file.readAll()));
        job.answerYes = answerYes;
        // Standard error carries the wizard's messages, one line each, and nothing else.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
            if (type == QtFatalMsg) {
                std::cerr << msg.toStdString() << "\n";
            }
        });
        return static_cast<int>(component::runBatch(job));
    }
    if (!haveDisplay()) {
        std::cerr
            << "rv_makedb: no display available (set DISPLAY, or QT_QPA_PLATFORM=offscreen)\n";
        return kExitUsage;
    }

    if (browser) {
        try {
            CreateDBSql::showTemplateBrowser(QString::fromStdString(
                templateConnection(templates.empty() ? defaultTemplates() : templates)));
        } catch (const std::exception& e) {
            std::cerr << "rv_makedb: " << e.what() << "\n";
            return kExitFailed;
        }
        return kExitOk;
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
    std::string conn = templateConnection(templates.empty() ? defaultTemplates() : templates);
    if (std::getenv("RV_MAKEDB_STARTUP_PROBE")) {
        CreateDBSql::ensureApplication();
        qApp->installEventFilter(new StartupProbe(qApp));
    }
    try {
        makeDB().CreateDatabase(database, password, conn);
    } catch (const std::exception& e) {
        std::cerr << "rv_makedb: " << e.what() << "\n";
        return kExitFailed;
    }
    return kExitOk;
}
