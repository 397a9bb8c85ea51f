// A host of the component's C entry point in a process of its own, for what only a
// process shows: whether the call fails cleanly and the process survives to a clean exit.
// It makes no QApplication itself. A wizard that opens is closed as Cancel closes it as
// soon as it is shown, after printing whether DATABASE (as bytes) is there.
//
//   component_test_host once|twice|thread DATABASE TEMPLATES
//
// Prints one line "rc=N ERROR" per call and ends with 0.
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "component/rv_makedb.h"

namespace {

const char* g_database = "";

class Closer : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->objectName() == u"rv_makeDBForm") {
            std::printf("shown, file %s\n", ::access(g_database, F_OK) == 0 ? "there" : "missing");
            QMetaObject::invokeMethod(watched, "reject", Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }
};

// Runs for every QApplication that the component makes.
void installCloser() {
    qApp->installEventFilter(new Closer(qApp));
}
Q_COREAPP_STARTUP_FUNCTION(installCloser)

void call(const char* templates) {
    const int rc = rv_makeDB_CreateDatabase(g_database, "pw", templates);
    std::printf("rc=%d %s\n", rc, rv_makeDB_LastError());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: component_test_host once|twice|thread DATABASE TEMPLATES\n");
        return 2;
    }
    const std::string mode = argv[1];
    g_database = argv[2];
    if (mode == "thread") {
        std::thread([&] { call(argv[3]); }).join();
    } else {
        for (int i = mode == "twice" ? 2 : 1; i > 0; --i) {
            call(argv[3]);
        }
    }
    return 0;
}
