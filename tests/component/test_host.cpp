// SPDX-License-Identifier: MIT
// A host of the component's C entry point that makes no QApplication of its own:
//   component_test_host once|twice|thread DATABASE TEMPLATES
// prints "rc=N ERROR" per call (from another thread with "thread") and ends with 0. A
// wizard that opens is closed as Cancel closes it once shown, after printing whether
// DATABASE (as bytes) is there.
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <cstdio>
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

// Runs for every QApplication the component makes.
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
        return 2;
    }
    const std::string mode = argv[1];
    g_database = argv[2];
    if (mode == "thread") {
        std::thread([&] { call(argv[3]); }).join();
    }
    for (int i = mode == "twice" ? 2 : mode == "once"; i > 0; --i) {
        call(argv[3]);
    }
    return 0;
}
