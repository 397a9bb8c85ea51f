// SPDX-License-Identifier: MIT
#include "component/create_db_sql.h"

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QPluginLoader>
#include <QPointer>
#include <QThread>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "browser/account_browse.h"
#include "component/host_text.h"
#include "component/rv_makedb_form.h"
#include "component/texts.h"
#include "controls/accessibility.h"
#include "jet/connection.h"
#include "jet/error.h"
#include "templates/library_owner.h"

// Where the install puts base.mdb, relative to the folder of the file that holds this code:
// the library's, or a program's that links the component in (both set by the build).
#if !defined(RV_MAKEDB_DATA_FROM_LIBDIR) || !defined(RV_MAKEDB_DATA_FROM_BINDIR)
#error "RV_MAKEDB_DATA_FROM_LIBDIR and _BINDIR must name the data folder relative to lib and bin"
#endif

namespace CreateDBSql {

namespace {

QPointer<component::rv_makeDBForm> s_wizard;

// A platform plugin whose keys hold `name`, where Qt looks for one.
bool havePlatformPlugin(const QString& name) {
    QStringList folders =
        qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH").split(u':', Qt::SkipEmptyParts);
    QStringList roots = qEnvironmentVariable("QT_PLUGIN_PATH").split(u':', Qt::SkipEmptyParts);
    roots << QLibraryInfo::path(QLibraryInfo::PluginsPath)
          << QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    for (const QString& root : roots) {
        folders << root + QStringLiteral("/platforms");
    }
    const auto serves = [&name](const QString& file) {
        const QJsonArray keys = QPluginLoader(file)
                                    .metaData()
                                    .value(QLatin1String("MetaData"))
                                    .toObject()
                                    .value(QLatin1String("Keys"))
                                    .toArray();
        for (const auto& key : keys) {
            if (key.toString().compare(name, Qt::CaseInsensitive) == 0) {
                return true;
            }
        }
        return false;
    };
    // Qt's own plugins are named after their platform: that file is asked first, and every
    // plugin's meta data read only when it is not there.
    const QString usual = QStringLiteral("/libq") + name.toLower() + QStringLiteral(".so");
    for (const QString& folder : folders) {
        if (QFileInfo::exists(folder + usual) && serves(folder + usual)) {
            return true;
        }
    }
    for (const QString& folder : folders) {
        for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files)) {
            if (serves(file.absoluteFilePath())) {
                return true;
            }
        }
    }
    return false;
}

// True when a socket of this machine's network namespace listens at `path` or at the
// abstract name of the same text, as the kernel's table of local sockets says. Reading the
// table costs the server nothing, where a connection made only to see it answer holds up
// the server's next client, the program's own, by a tenth of a second or more.
bool listensAt(const std::string& path) {
    std::ifstream table("/proc/net/unix");
    std::string line;
    std::getline(table, line);  // Num RefCount Protocol Flags Type St Inode Path
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string number, references, protocol, flags, type, state, inode, name;
        if (fields >> number >> references >> protocol >> flags >> type >> state >> inode >> name &&
            flags == "00010000" && (name == path || name == "@" + path)) {
            return true;
        }
    }
    return false;
}

// False when `display` names an X server on this machine (":0", "unix:0.0") and nothing
// answers on its socket; displays on other machines are not tried.
bool xServerAnswers(const std::string& display) {
    const auto colon = display.rfind(':');
    const std::string host = display.substr(0, colon == std::string::npos ? 0 : colon);
    if (colon == std::string::npos || !(host.empty() || host == "unix")) {
        return true;
    }
    const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
    const std::string path = "/tmp/.X11-unix/X" + number;
    if (listensAt(path)) {
        return true;
    }
    // Not in the table (a socket from another namespace, as in a container): asked directly.
    for (const bool abstract : {true, false}) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::size_t offset = abstract ? 1 : 0;  // the abstract name starts with a NUL
        if (path.size() + offset >= sizeof address.sun_path) {
            return true;
        }
        std::memcpy(address.sun_path + offset, path.data(), path.size());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset +
                                                   path.size() + (abstract ? 0 : 1));
        const bool answered =
            fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
        if (fd >= 0) {
            ::close(fd);
        }
        if (answered) {
            return true;
        }
    }
    return false;
}

// Refuses a call from a thread other than the one the host's Qt runs on.
void requireGuiThread() {
    if (const QCoreApplication* app = QCoreApplication::instance()) {
        if (QThread::currentThread() != app->thread()) {
            throw std::runtime_error(
                "rv_makeDB: the wizard can only be opened on the thread of the program's "
                "QApplication");
        }
    } else if (::gettid() != ::getpid()) {
        throw std::runtime_error(
            "rv_makeDB: the wizard can only be opened on the program's main thread");
    }
}

}  // namespace

std::string displayProblem() {
    const QString platforms = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (!platforms.isEmpty()) {
        // "name:option=value;other" names platforms to try in turn.
        for (const QString& entry : platforms.split(u';', Qt::SkipEmptyParts)) {
            if (havePlatformPlugin(entry.section(u':', 0, 0))) {
                return {};
            }
        }
        return "the Qt platform plugin \"" + platforms.toStdString() +
               "\" (QT_QPA_PLATFORM) is not installed";
    }
    const std::string x = qEnvironmentVariable("DISPLAY").toStdString();
    if (x.empty() && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        return "no display available (set DISPLAY, or QT_QPA_PLATFORM=offscreen)";
    }
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !xServerAnswers(x)) {
        return "cannot connect to the display " + x;
    }
    return {};
}

ApplicationScope::ApplicationScope() {
    requireGuiThread();
    if (QCoreApplication* app = QCoreApplication::instance()) {
        if (!qobject_cast<QApplication*>(app)) {
            throw std::runtime_error(
                "rv_makeDB: the host's Qt application object is not a QApplication; the "
                "wizard needs one to show its window");
        }
        return;
    }
    if (const std::string problem = displayProblem(); !problem.empty()) {
        throw std::runtime_error("rv_makeDB: " + problem);
    }
    // QApplication keeps argc and argv for its whole life.
    static int argc = 1;
    static char name[] = "rv_makeDB";
    static char* argv[] = {name, nullptr};
    m_made = std::make_unique<QApplication>(argc, argv);
}

ApplicationScope::~ApplicationScope() = default;

void showMakeDBForm(QString& filename, QString& filePass, QString& base_conn) {
    const ApplicationScope application;
    if (s_wizard) {
        throw std::runtime_error("rv_makeDB: the wizard is already open");
    }
    // A fresh window for every call, gone again when it closes (before the application).
    const std::unique_ptr<component::rv_makeDBForm> form(new component::rv_makeDBForm(nullptr));
    s_wizard = form.get();
    form->basFilePath = filename;
    form->basPass = filePass;
    form->basconnStr = base_conn;
    form->setWindowModality(Qt::ApplicationModal);
    // Qt's own texts in Japanese for the whole life, the opening's messages included.
    const controls::JapaneseQtTexts japanese;
    form->Form_Load();  // a template library that cannot be opened ends here
    form->exec();
    form->throwOpeningFailure();  // or one that failed while its rows were read
}

void showTemplateBrowser(const templates::LibraryOwner& library) {
    const ApplicationScope application;
    browser::AccountBrowse browser;
    browser.setLibrary(library);
    if (const std::optional<QString> refused = browser.openLibrary()) {
        const std::string reason = refused->toStdString();
        throw std::runtime_error(
            reason.starts_with("template library: ") ? reason : "template library: " + reason);
    }
    browser.exec();
}

QString componentFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&componentFolder), &info) && info.dli_fname &&
        info.dli_fname[0] == '/') {
        return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
    }
    // Linked into the program, whose name dladdr gives as it was started (found on PATH,
    // or relative to the working folder): the kernel knows the file.
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

templates::DataFolders dataFolders() {
    const QString folder = componentFolder();
    const QString file = component::kTemplateLibraryFile.toString();
    // The component is the shared library (lib) or linked into a program (bin).
    QString installed;
    for (const QString& relative :
         {QStringLiteral(RV_MAKEDB_DATA_FROM_LIBDIR), QStringLiteral(RV_MAKEDB_DATA_FROM_BINDIR)}) {
        installed = QDir::cleanPath(folder + QLatin1Char('/') + relative + QLatin1Char('/') + file);
        if (QFileInfo::exists(installed)) {
            break;
        }
    }
    return templates::DataFolders::fromEnvironment(folder + QLatin1Char('/') + file, installed);
}

QString templateLibrary() {
    return templates::findLibrary(dataFolders()).path;
}

templates::LibraryOwner libraryOwner(const QString& named) {
    const templates::DataFolders folders = dataFolders();
    return named.isEmpty() ? templates::LibraryOwner::found(folders)
                           : templates::LibraryOwner::named(named, folders);
}

}  // namespace CreateDBSql
