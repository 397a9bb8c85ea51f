// SPDX-License-Identifier: MIT
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
#include "component/field_listing.h"
#include "component/frm_main.h"
#include "component/host_text.h"
#include "component/jet_transfer.h"
#include "component/make_db.h"
#include "component/rv_makedb_form.h"
#include "component/template_transfer.h"
#include "jet/connection_string.h"
#include "password.h"
#include "rv_makedb_args.h"

namespace {

using cli::kExitOk;
using cli::kExitUsage;
constexpr int kExitFailed = 3;

// A field file holds at most this much.
constexpr std::size_t kMaxFieldFileBytes = 1024 * 1024;
constexpr qsizetype kMaxFieldFileLines = 10000;
constexpr const char* kFieldFileLimits = "a field file holds at most 1 MiB and 10000 field lines";

std::string defaultTemplates() {
    return CreateDBSql::templateLibrary().toStdString();
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

// Processor time of this process so far (all its threads, the dynamic loader's work
// included), in milliseconds.
double processorMs() {
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return used.tv_sec * 1e3 + used.tv_nsec / 1e6;
}

// Start-up timing for the benchmarks (RV_MAKEDB_STARTUP_PROBE set): once the wizard's window
// has been drawn for the first time, prints "startup_ms N cpu_ms M" (the processor time
// until then) on standard output and presses Cancel.
class StartupProbe : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_done && event->type() == QEvent::Paint && watched->isWidgetType()) {
            if (auto* wizard = qobject_cast<component::rv_makeDBForm*>(
                    static_cast<QWidget*>(watched)->window())) {
                m_done = true;
                // Queued: the rest of this paint (the window's other controls, the flush to
                // the screen) comes first.
                QMetaObject::invokeMethod(
                    wizard,
                    [wizard] {
                        std::printf("startup_ms %.1f cpu_ms %.1f\n", msSinceProcessStart(),
                                    processorMs());
                        std::fflush(stdout);
                        wizard->Command1->click();
                    },
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

// The path as given, made absolute against the current folder, byte for byte; a server's
// URI as it stands.
std::string absolutePath(const std::string& path) {
    if ((!path.empty() && path[0] == '/') || jet::ConnectionString::namesServer(path)) {
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

// What a run works on.
struct Target {
    std::string database;  // absolute, byte for byte
    std::string password;
    std::string templates;  // connection string
};

// Batch mode: the fields of a file added to the database as OK does, without a window.
int runBatchMode(const cli::Arguments& args, const Target& target) {
    const std::string fieldsFile = args.value("fields");
    const std::string encoding = args.value("encoding");
    std::string bytes, why;
    if (!readFieldFile(fieldsFile, bytes, why)) {
        std::cerr << "rv_makedb: " << why << "\n";
        return kExitUsage;
    }
    component::BatchJob job;
    try {
        job.fieldLines = component::fieldLines(
            component::fieldFileText(bytes, encoding.empty() ? "UTF-8" : encoding),
            &job.fieldLineNumbers);
        job.fieldFile = fieldsFile;
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
    job.database = component::fromHostBytes(target.database);
    job.password = component::fromHostBytes(target.password);
    job.library = CreateDBSql::libraryOwner(component::fromHostBytes(target.templates));
    job.answerYes = args.has("yes");
    job.dryRun = args.has("dry-run") ? &std::cout : nullptr;
    job.stopRequested = [] { return g_signal != 0; };
    // Standard error carries the wizard's messages, one line each, and nothing else.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
        if (type == QtFatalMsg) {
            std::cerr << msg.toStdString() << "\n";
        }
    });
    return exitStatus(static_cast<int>(component::runBatch(job)));
}

// --export-templates, --import-templates, --templates --where: no window.
int runTemplateCommand(const cli::Arguments& args) {
    const templates::LibraryOwner library =
        CreateDBSql::libraryOwner(component::fromHostBytes(args.value("library")));
    if (args.has("where")) {
        std::cout << component::toHostBytes(library.path()) << "\n";
        return kExitOk;
    }
    if (args.has("export-templates")) {
        return static_cast<int>(component::exportTemplates(library, args.value("export-templates"),
                                                           std::cout, std::cerr));
    }
    const component::TemplateImportJob job{args.value("import-templates"), args.value("encoding"),
                                           args.value("into"), args.has("skip-existing")};
    return exitStatus(
        static_cast<int>(component::importTemplates(library, job, std::cout, std::cerr)));
}

// The windows: the wizard on `database`, the template browser alone, or the test window.
int runWindows(char** argv, const cli::Arguments& args, const Target& target) {
    if (const std::string problem = CreateDBSql::displayProblem(); !problem.empty()) {
        std::cerr << "rv_makedb: " << problem << "\n";
        return kExitUsage;
    }
    // The program's own application, gone before the program ends.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    closeWindowsOnSignal(&app);
    if (args.has("templates")) {
        try {
            CreateDBSql::showTemplateBrowser(
                CreateDBSql::libraryOwner(component::fromHostBytes(target.templates)));
        } catch (const std::exception& e) {
            std::cerr << "rv_makedb: " << e.what() << "\n";
            return exitStatus(kExitFailed);
        }
        return exitStatus(kExitOk);
    }
    if (args.has("test-window")) {
        component::frmMain window;
        window.show();
        const int status = QApplication::exec() == 0 ? kExitOk : kExitFailed;
        return exitStatus(status);
    }
    if (std::getenv("RV_MAKEDB_STARTUP_PROBE")) {
        app.installEventFilter(new StartupProbe(&app));
    }
    try {
        makeDB().CreateDatabase(target.database.c_str(), target.password.c_str(),
                                target.templates.c_str());
    } catch (const std::exception& e) {
        std::cerr << "rv_makedb: " << e.what() << "\n";
        return exitStatus(kExitFailed);
    }
    // The wizard has said that the Windows system's database needs converting first.
    if (component::isEarlierVersionDatabase(target.database)) {
        return exitStatus(kExitFailed);
    }
    return exitStatus(kExitOk);
}

}  // namespace

int main(int argc, char** argv) {
    catchTerminationSignals();  // first: no file is made before the handlers are in place
    cli::Parsed command = rv_makedb::parseCommandLine(cli::arguments(argc, argv));
    if (command.help) {
        command.out += component::templateLibraryHelp();
    }
    if (command.exit) {
        return cli::finish(command);
    }
    const cli::Arguments& args = command.args;
    if (args.has("export-templates") || args.has("import-templates") || args.has("where")) {
        return runTemplateCommand(args);
    }
    Target target;
    target.database =
        absolutePath(args.positional().empty() ? "ravlinDB.mdb" : args.positional().front());
    target.templates = jet::connectionStringFor(args.value("library", defaultTemplates()));
    try {
        // The wizard and batch mode make a database missing at the path; a server's
        // database is never made here, and its password is a login, asked once.
        const bool made = !args.has("list-fields") && !args.has("dry-run") &&
                          !jet::ConnectionString::namesServer(target.database) &&
                          ::access(target.database.c_str(), F_OK) != 0;
        target.password = cli::passwordOf(args, std::cin, STDIN_FILENO,
                                          made ? cli::NewDatabase::kYes : cli::NewDatabase::kNo);
    } catch (const std::exception& e) {
        std::cerr << "rv_makedb: " << e.what() << "\n";
        return kExitUsage;
    }
    if (args.has("list-fields")) {
        try {
            std::cout << component::fieldFileOf(target.database, target.password).toStdString();
            return std::cout.flush() ? 0 : 1;
        } catch (const std::exception& e) {
            std::cerr << "rv_makedb: " << args.positional().front() << ": " << e.what() << "\n";
            return 3;
        }
    }
    if (args.has("import-jet")) {
        component::JetImportJob job{args.value("import-jet"), target.database, target.password,
                                    [] { return g_signal != 0; }, STDERR_FILENO};
        return exitStatus(
            static_cast<int>(component::importJetDatabase(job, std::cout, std::cerr)));
    }
    if (args.has("fields")) {
        return runBatchMode(args, target);
    }
    return runWindows(argv, args, target);
}
