// SPDX-License-Identifier: MIT
// The floor of a cold start: a bare Qt dialog, as large as the wizard, shown modally. Once it
// has been drawn for the first time it prints "painted cpu_ms M" (its processor time until
// then) on standard output and closes, as rv_makedb does under RV_MAKEDB_STARTUP_PROBE;
// bench_startup times both from the spawn.
//
// With --controls the dialog also holds controls of the wizard's kinds, with Japanese texts
// of its lengths and no logic behind them: a wrapped help text, a grid with five headings,
// eight buttons, and a tree of forty names. What Qt itself costs to show such a window.

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdio>
#include <cstring>
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

void addControls(QDialog& dialog) {
    auto* help = new QLabel(
        QStringLiteral(
            "データベースの項目を作成します。主な項目は右の一覧にあります。ボタンを使うと"
            "簡単に取り込むことができます。また、左の一覧に直接書き込むこともできます。"),
        &dialog);
    help->setWordWrap(true);
    auto* grid = new QTableWidget(0, 5, &dialog);
    grid->setHorizontalHeaderLabels({QStringLiteral("フィールドID"), QStringLiteral("項目名"),
                                     QStringLiteral("属性"), QStringLiteral("サイズ"),
                                     QStringLiteral("IME")});
    auto* tree = new QTreeWidget(&dialog);
    tree->setHeaderHidden(true);
    auto* top = new QTreeWidgetItem(tree, {QStringLiteral("全部の項目")});
    QTreeWidgetItem* folder = top;
    for (int i = 0; i < 40; ++i) {
        if (i % 8 == 0) {
            folder = new QTreeWidgetItem(top, {QStringLiteral("フォルダ%1").arg(i / 8)});
        }
        new QTreeWidgetItem(folder, {QStringLiteral("項目の名前%1").arg(i)});
    }
    tree->expandAll();
    const auto button = [&dialog](const char* caption) {
        return new QPushButton(QString::fromUtf8(caption), &dialog);
    };
    auto* rows = new QHBoxLayout;
    for (const char* caption : {"項目追加", "上へ(&U)", "下へ(&D)"}) {
        rows->addWidget(button(caption));
    }
    rows->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(help);
    left->addWidget(grid, 1);
    left->addLayout(rows);
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(button("<< 使用(&A)"));
    middle->addWidget(button("削除(&R) >>"));
    middle->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(tree, 1);
    right->addWidget(button("設定"), 0, Qt::AlignRight);
    auto* body = new QHBoxLayout;
    body->addLayout(left, 3);
    body->addLayout(middle);
    body->addLayout(right, 2);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(button("OK(O)"));
    bottom->addWidget(button("キャンセル(C)"));
    auto* all = new QVBoxLayout(&dialog);
    all->addLayout(body, 1);
    all->addLayout(bottom);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDialog dialog;
    if (argc > 1 && std::strcmp(argv[1], "--controls") == 0) {
        addControls(dialog);
    }
    dialog.resize(900, 560);
    FirstPaint probe(dialog);
    dialog.installEventFilter(&probe);
    dialog.exec();
    return 0;
}
