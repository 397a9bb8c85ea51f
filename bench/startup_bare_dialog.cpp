// SPDX-License-Identifier: MIT
// The floor of a cold start: a bare Qt dialog, as large as the wizard, shown modally. Once it
// has been drawn for the first time it prints "painted cpu_ms M" (its processor time until
// then) on standard output and closes, as rv_makedb does under RV_MAKEDB_STARTUP_PROBE;
// bench_startup times both from the spawn.

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <cstdio>
#include <ctime>

namespace {

class FirstPaint : public QObject {
  public:
    explicit FirstPaint(QDialog& dialog) : m_dialog(dialog) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_done && watched == &m_dialog && event->type() == QEvent::Paint) {
            m_done = true;
            QMetaObject::invokeMethod(
                &m_dialog,
                [this] {
                    timespec used{};
                    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
                    std::printf("painted cpu_ms %.1f\n", used.tv_sec * 1e3 + used.tv_nsec / 1e6);
                    std::fflush(stdout);
                    m_dialog.reject();
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QDialog& m_dialog;
    bool m_done = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.resize(900, 560);
    FirstPaint probe(dialog);
    dialog.installEventFilter(&probe);
    dialog.exec();
    return 0;
}
