// rv_makedb: opens the database creation wizard on a product database, as a host
// program does through makeDB::CreateDatabase; or the template browser alone.

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QPushButton>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "component/batch_build.h"
#include "component/create_db_sql.h"
#include "component/frm_main.h"
#include "component/host_text.h"
#include "component/make_db.h"
#include "component/rv_makedb_form.h"
#include "component/template_transfer.h"
#include "jet/connection_string.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;
constexpr int kExitFailed = 3;

// A field file holds at most this much.
constexpr std::size_t kMaxFieldFileBytes = 1024 * 1024;
constexpr qsizetype kMaxFieldFileLines = 10000;
constexpr const char* kFieldFileLimits = "a field file holds at most 1 MiB and 10000 field lines";

constexpr const char* kUsage =
    R"(Usage: rv_makedb [-p PASSWORD] [-t TEMPLATES] [DATABASE]
       rv_makedb --fields FILE [--encoding NAME] [--yes] [--dry-run] [-p PASSWORD]
                 [-t TEMPLATES] DATABASE
       rv_makedb --templates [--where] [-t TEMPLATES]
       rv_makedb --export-templates FILE [-t TEMPLATES]
       rv_makedb --import-templates FILE [--into FOLDER] [--skip-existing]
                 [--encoding NAME] [-t TEMPLATES]
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
  --where             with --templates: print the library's path, and exit
  --export-templates FILE
                      write the template library to FILE ('-': standard
                      output) as a library file: UTF-8, tab-separated, one
                      entry a line (see the manual)
  --import-templates FILE
                      add what FILE holds (a library file, '-' for standard
                      input, or another library database) to the template
                      library, all or nothing: folders matched by path, fields
                      checked as the field editor checks them; each refused
                      line is listed with its number
  --into FOLDER       with --import-templates: the folder FILE's top level
                      goes into, a path from the top ("/住所/自宅"); missing
                      folders are made
  --skip-existing     with --import-templates: pass over the fields whose ID
                      the library has already (new shipped templates:
                      --import-templates /usr/share/rv_makedb/base.mdb
                      --skip-existing)
  --fields FILE       batch mode: no window; add the fields of FILE and press OK. FILE is
                      UTF-8 (see --encoding), one field per line, cells separated by tabs:
                      field ID, field name, attribute (文字 数字 日付 YESNO メモ), size,
                      IME (ON OFF), mail kind (PCメール 携帯メール), FAX kind
                      (公用FAX 私用FAX). Missing trailing cells keep a new row's start
                      ("文字", "ON"); empty lines and lines beginning with '#' are skipped.
                      Each message is printed to standard error as "ravLIN: TEXT"; when
                      the build fails, one more line "rv_makedb: REASON" tells what the
                      database engine said. FILE holds at most 1 MiB and 10000 field
                      lines.
  --encoding NAME     batch mode: FILE is in the encoding NAME (any name iconv knows,
                      e.g. CP932 for files written on Japanese Windows, EUC-JP);
                      default UTF-8. A line that is not valid in it is refused.
  --yes               batch mode: answer OK to the question about a missing mail field
                      (otherwise Cancel)
  --dry-run           batch mode: run the checks as OK does, then print every statement
                      OK would send, in order, one per line, on standard output, and
                      write nothing: a missing DATABASE is not created, an existing one
                      is only read
  --test-window       show the component's test window (frmMain) instead
  -h, --help          show this text

Exit status: 0 when the wizard (or the browser) has closed (in batch mode: the database
was built, or with --dry-run its statements printed); 1 in batch mode when a check refused, the question was declined or the build
failed; 2 for usage errors, a field file that is too large or not valid text, or when no
display is available (batch mode needs none);
3 when the wizard or the browser could not open (the message is printed; in batch mode
also when the database could not be read or another wizard has it open);
130 or 143 after SIGINT (Ctrl+C) or SIGTERM, which close the wizard as Cancel does.

The template commands exit with 0 when done, 1 when lines were refused (then
nothing is written), 2 for usage errors and a FILE that cannot be read or
written or is not a library file, 3 when the library cannot be opened or
written (it is as it was).

The field template library, unless -t names one: base.mdb beside the
component, librv_makeDB.so, when it is there (the build tree); else
rv_makedb/base.mdb from the first data folder holding one: $XDG_DATA_HOME
(~/.local/share), each of $XDG_DATA_DIRS (/usr/local/share:/usr/share), the
installation's <prefix>/share. A library of the shared folders is never
written: the first change copies it to $XDG_DATA_HOME/rv_makedb/base.mdb,
and the changes go there.
)";

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

// SIGTERM and SIGINT close the wizard as Cancel and the close box do; the program then
// ends with 128 + the signal's number. The handler only notes the signal and writes a
// byte into a pipe, which the event loop reads. A second signal ends the program at once.
// (The component itself never installs handlers: a host keeps its own.)
int g_signalPipe[2] = {-1, -1};
volatile std::sig_atomic_t g_signal = 0;

extern "C" void onTerminationSignal(int sig) {
    const int saved = errno;
    g_signal = sig;
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

void catchTerminationSignals() {
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    for (int sig : {SIGTERM, SIGINT}) {
        struct sigaction old {};
        ::sigaction(sig, nullptr, &old);
        if (old.sa_handler == SIG_IGN) {
            continue;  // started in the background: the signal stays ignored
        }
        struct sigaction sa {};
        sa.sa_handler = onTerminationSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART | SA_RESETHAND;
        ::sigaction(sig, &sa, nullptr);
    }
}

// Once there is an event loop: a caught signal closes the modal windows from the top, then
// every other window.
void closeWindowsOnSignal(QObject* owner) {
    if (g_signalPipe[0] < 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [] {
        char drain[16];
        while (::read(g_signalPipe[0], drain, sizeof drain) > 0) {
        }
        for (QWidget* last = nullptr; QWidget* w = QApplication::activeModalWidget(); last = w) {
            if (w == last) {
                break;  // it would not close
            }
            w->close();
        }
        QApplication::closeAllWindows();
    });
}

int exitStatus(int status) {
    return g_signal != 0 ? 128 + g_signal : status;
}

// The path as given, made absolute against the current folder, byte for byte.
std::string absolutePath(const std::string& path) {
    if (!path.empty() && path[0] == '/') {
        return path;
    }
    std::string cwd(4096, '\0');
    while (::getcwd(cwd.data(), cwd.size()) == nullptr && errno == ERANGE) {
        cwd.resize(cwd.size() * 2);
    }
    cwd.resize(std::strlen(cwd.c_str()));
    return cwd.empty() ? path : cwd + (cwd.back() == '/' ? "" : "/") + path;
}

// The bytes of a field file, read no further than the limit; false with the reason.
bool readFieldFile(const std::string& path, std::string& bytes, std::string& why) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        if (fd >= 0) {
            ::close(fd);
        }
        why = "cannot read " + path;
        return false;
    }
    bytes.resize(kMaxFieldFileBytes + 1);
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n < 0) {
                why = "cannot read " + path + ": " + std::strerror(errno);
            }
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.resize(got);
    if (got > kMaxFieldFileBytes) {
        why = path + " is larger than 1 MiB (" + kFieldFileLimits + ")";
    }
    return why.empty();
}

int usage(const std::string& why) {
    std::cerr << "rv_makedb: " << why << "\n"
              << "Try 'rv_makedb --help'.\n";
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    catchTerminationSignals();  // first: no file is made before the handlers are in place
    std::string password;
    std::string templates;
    std::string database;
    std::string fieldsFile;
    std::string encoding;
    bool haveFields = false;
    bool answerYes = false;
    bool dryRun = false;
    bool testWindow = false;
    bool browser = false;
    bool haveDatabase = false;
    std::string exportFile, importFile, into;
    bool haveExport = false, haveImport = false, haveInto = false, skipExisting = false,
         where = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (a == "-h" || a == "--help") {
            std::cout << kUsage << component::templateLibraryHelp();
            return kExitOk;
        } else if (a == "-p" || a == "--password" || a == "-t" || a == "--library" ||
                   a == "--fields" || a == "--encoding") {
            const char* v = value();
            if (!v) {
                return usage(a + " needs a value");
            }
            if (a == "-p" || a == "--password") {
                password = v;
            } else if (a == "-t" || a == "--library") {
                templates = v;
            } else if (a == "--fields") {
                fieldsFile = v;
                haveFields = true;
            } else {
                encoding = v;
            }
        } else if (a == "--export-templates" || a == "--import-templates" || a == "--into") {
            const char* v = value();
            if (!v) {
                return usage(a + " needs a value");
            }
            (a == "--export-templates" ? exportFile : a == "--into" ? into : importFile) = v;
            (a == "--export-templates" ? haveExport : a == "--into" ? haveInto : haveImport) = true;
        } else if (a == "--skip-existing") {
            skipExisting = true;
        } else if (a == "--where") {
            where = true;
        } else if (a == "--yes") {
            answerYes = true;
        } else if (a == "--dry-run") {
            dryRun = true;
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
    if (haveExport || haveImport || where) {
        if (int(haveExport) + int(haveImport) + int(where) > 1 || haveDatabase || haveFields ||
            answerYes || dryRun || testWindow || !password.empty() || (where && !browser) ||
            (haveExport && (browser || !encoding.empty()))) {
            return usage(
                "--export-templates, --import-templates and --templates --where take no other "
                "arguments than -t (and for --import-templates: --into, --skip-existing, "
                "--encoding)");
        }
        const component::TemplateTarget target = component::TemplateTarget::of(templates);
        if (where) {
            std::cout << target.library << "\n";
            return kExitOk;
        }
        if (haveExport) {
            return static_cast<int>(
                component::exportTemplates(target, exportFile, std::cout, std::cerr));
        }
        return exitStatus(static_cast<int>(component::importTemplates(
            target, {importFile, encoding, into, skipExisting}, std::cout, std::cerr)));
    }
    if ((haveInto || skipExisting) && !haveImport) {
        return usage(std::string(haveInto ? "--into" : "--skip-existing") +
                     " goes with --import-templates");
    }
    if (testWindow &&
        (haveDatabase || haveFields || answerYes || !password.empty() || !templates.empty())) {
        return usage("--test-window takes no other arguments");
    }
    if (browser && (testWindow || haveDatabase || haveFields || answerYes || !password.empty() ||
                    !encoding.empty())) {
        return usage("--templates takes no other arguments than -t");
    }
    if ((answerYes || dryRun || !encoding.empty()) && !haveFields) {
        return usage(std::string(answerYes ? "--yes"
                                 : dryRun  ? "--dry-run"
                                           : "--encoding") +
                     " goes with --fields");
    }
    if (!haveDatabase) {
        database = "ravlinDB.mdb";
    }
    database = absolutePath(database);
    const std::string conn = templateConnection(templates.empty() ? defaultTemplates() : templates);

    if (haveFields) {
        if (!haveDatabase) {
            return usage("--fields needs a DATABASE");
        }
        std::string bytes, why;
        if (!readFieldFile(fieldsFile, bytes, why)) {
            std::cerr << "rv_makedb: " << why << "\n";
            return kExitUsage;
        }
        component::BatchJob job;
        try {
            job.fieldLines = component::fieldLines(
                component::fieldFileText(bytes, encoding.empty() ? "UTF-8" : encoding));
        } catch (const std::exception& e) {
            std::cerr << "rv_makedb: " << fieldsFile << ": " << e.what()
                      << (encoding.empty() ? " (name its encoding with --encoding, e.g. "
                                             "--encoding CP932)"
                                           : "")
                      << "\n";
            return kExitUsage;
        }
        if (job.fieldLines.size() > kMaxFieldFileLines) {
            std::cerr << "rv_makedb: " << fieldsFile << " holds more than 10000 field lines ("
                      << kFieldFileLimits << ")\n";
            return kExitUsage;
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");  // no window is shown
        job.database = component::fromHostBytes(database);
        job.password = component::fromHostBytes(password);
        job.templates = QString::fromStdString(conn);
        job.answerYes = answerYes;
        job.dryRun = dryRun ? &std::cout : nullptr;
        job.stopRequested = [] { return g_signal != 0; };
        // Standard error carries the wizard's messages, one line each, and nothing else.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
            if (type == QtFatalMsg) {
                std::cerr << msg.toStdString() << "\n";
            }
        });
        return exitStatus(static_cast<int>(component::runBatch(job)));
    }
    if (const std::string problem = CreateDBSql::displayProblem(); !problem.empty()) {
        std::cerr << "rv_makedb: " << problem << "\n";
        return kExitUsage;
    }

    // The program's own application, gone before the program ends.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    closeWindowsOnSignal(&app);
    if (browser) {
        try {
            CreateDBSql::showTemplateBrowser(QString::fromStdString(conn));
        } catch (const std::exception& e) {
            std::cerr << "rv_makedb: " << e.what() << "\n";
            return exitStatus(kExitFailed);
        }
        return exitStatus(kExitOk);
    }
    if (testWindow) {
        component::frmMain window;
        window.show();
        const int status = QApplication::exec() == 0 ? kExitOk : kExitFailed;
        return exitStatus(status);
    }
    if (std::getenv("RV_MAKEDB_STARTUP_PROBE")) {
        app.installEventFilter(new StartupProbe(&app));
    }
    try {
        std::string file = database, pass = password, connection = conn;
        makeDB().CreateDatabase(file, pass, connection);
    } catch (const std::exception& e) {
        std::cerr << "rv_makedb: " << e.what() << "\n";
        return exitStatus(kExitFailed);
    }
    return exitStatus(kExitOk);
}
