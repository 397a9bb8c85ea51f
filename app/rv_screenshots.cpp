// SPDX-License-Identifier: MIT
// rv_screenshots: renders the component's windows in typical states, without a display,
// and saves each as a PNG, so that a change to a window can be looked at and compared.
//
//   rv_screenshots [OUTPUT_FOLDER]     (default: screenshots in the current folder)
//
// Every state is one entry of kShots: a name (the PNG's file name) and a function that
// brings a window into that state and returns it. The window is shown off screen, given
// time to lay itself out, grabbed, and closed. A modal window is reached the way a person
// reaches it instead (the template browser from the wizard's "設定"): the entry's drive
// function opens it and has it grabbed once it is shown. Scratch databases live in a temporary
// folder that is removed at the end. base.mdb is the one beside this program.

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QTreeView>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "component/batch_build.h"
#include "component/frm_main.h"
#include "component/rv_makedb_form.h"

namespace {

// What every state may use.
struct Context {
    QString scratch;    // a temporary folder of its own
    QString templates;  // connection string of the bundled base.mdb
};

// A window in the state to be taken; it is closed after the grab.
using Make = std::function<std::unique_ptr<QWidget>(const Context&)>;

// Opens a modal window and calls grab on it while it is shown.
using Grab = std::function<void(QWidget*)>;
using Drive = std::function<void(const Context&, const Grab&)>;

struct Shot {
    const char* name;
    Make make;
    Drive drive = {};
};

// Runs action on the modal window named objectName as soon as it is shown; after five
// seconds without one, closes whatever modal window is open so that nothing hangs.
void whenShown(const char* objectName, std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [=] {
        QWidget* w = QApplication::activeModalWidget();
        const bool found = w && w->objectName() == QLatin1String(objectName) && w->isVisible();
        if (found || ++*ticks > 500) {
            timer->stop();
            timer->deleteLater();
            if (found) {
                action(w);
            } else if (w) {
                std::fprintf(stderr, "rv_screenshots: %s did not open\n", objectName);
                w->close();
            }
        }
    });
    timer->start();
}

// The template browser opened with "設定" on a wizard over a new file; `inside` runs on it
// and closes it.
void inBrowser(const Context& ctx, std::function<void(QWidget*)> inside);

// The first node with `text` in the window's tree (a view of keyed nodes), and the tree.
QModelIndex findNode(QWidget* window, const QString& text, QTreeView** tree = nullptr) {
    auto* view = window->findChild<QTreeView*>();
    const QAbstractItemModel* nodes = view->model();
    const QModelIndexList found = nodes->match(nodes->index(0, 0), Qt::DisplayRole, text, 1,
                                               Qt::MatchExactly | Qt::MatchRecursive);
    if (found.isEmpty()) {
        throw std::runtime_error("no node " + text.toStdString());
    }
    if (tree != nullptr) {
        *tree = view;
    }
    return found.front();
}

// The first node with `text` in the window's tree, clicked.
void clickNode(QWidget* window, const QString& text) {
    QTreeView* tree = nullptr;
    const QModelIndex node = findNode(window, text, &tree);
    tree->setCurrentIndex(node);
    Q_EMIT tree->clicked(node);
}

// A key pressed and released on target.
void pressKey(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(target, &release);
}

// Toolbar button `index` of the browser (separators count), pressed.
void pressButton(QWidget* browser, int index) {
    // Separators have no widget: buttons 1-3, 5-7, 9 and 11 are the 1st to 8th one.
    constexpr int kButtonOf[] = {-1, 0, 1, 2, -1, 3, 4, 5, -1, 6, -1, 7};
    QList<QToolButton*> buttons = browser->findChildren<QToolButton*>();
    buttons.removeIf([](const QToolButton* b) { return b->text().isEmpty(); });
    buttons.at(kButtonOf[index])->click();
}

// The wizard opened as a host opens it (without the modal loop) on databasePath.
std::unique_ptr<component::rv_makeDBForm> openWizard(const Context& ctx, const QString& path,
                                                     const QString& password) {
    auto wizard = std::make_unique<component::rv_makeDBForm>();
    wizard->basFilePath = path;
    wizard->basPass = password;
    wizard->basconnStr = ctx.templates;
    wizard->Form_Load();
    wizard->showTree();
    return wizard;
}

// A product database with a few fields, built as batch mode builds one.
void makeExistingProductDb(const Context& ctx, const QString& path, const QString& password) {
    component::BatchJob job;
    job.database = path;
    job.password = password;
    job.library = templates::LibraryOwner(ctx.templates);
    job.fieldLines = {
        QStringLiteral("FULLNAME\t氏名\t文字\t60\tON"),
        QStringLiteral("FULLKANA\tフリガナ\t文字\t60\tON"),
        QStringLiteral("COMPANY\t会社名\t文字\t100\tON"),
        QStringLiteral("ZIPCODE\t郵便番号\t文字\t8\tOFF"),
        QStringLiteral("MAIL1\tPCメール\t文字\t100\tOFF\tPCメール"),
        QStringLiteral("MAIL2\t携帯メール\t文字\t100\tOFF\t携帯メール"),
        QStringLiteral("BIRTHDAY\t生年月日\t日付"),
        QStringLiteral("REMARK\t備考\tメモ"),
    };
    if (component::runBatch(job) != component::BatchResult::kBuilt) {
        throw std::runtime_error("the product database could not be built");
    }
}

// The grid's cell at (row, col), counted as the wizard counts them (row 0 the headings,
// column 0 the row numbers).
QModelIndex cell(QTableView& grid, int row, int col) {
    return grid.model()->index(row - 1, col - 1);
}

// The wizard with existing fields on top, a fixed template row (greyed) and typed rows below
// it, one of them selected.
// Each state makes its own product database, named `file`.
std::unique_ptr<component::rv_makeDBForm> wizardWithRows(const Context& ctx, const QString& file) {
    const QString path = ctx.scratch + QLatin1Char('/') + file;
    const QString password = QStringLiteral("secret");
    makeExistingProductDb(ctx, path, password);
    auto wizard = openWizard(ctx, path, password);
    QTreeView* tree = nullptr;
    const QModelIndex fax = findNode(wizard.get(), QStringLiteral("公用FAX"), &tree);
    tree->selectionModel()->select(fax, QItemSelectionModel::Select);
    wizard->Command4->setEnabled(true);  // as a click on the field node leaves it
    wizard->Command4->click();
    wizard->Command8->click();
    wizard->Command8->click();
    auto& fg1 = *wizard->findChild<QTableView*>();
    QAbstractItemModel& cells = *fg1.model();
    const int last = cells.rowCount();
    cells.setData(cell(fg1, last - 1, 1), QStringLiteral("SECTION"));
    cells.setData(cell(fg1, last - 1, 2), QStringLiteral("部署名"));
    cells.setData(cell(fg1, last - 1, 4), QStringLiteral("40"));
    cells.setData(cell(fg1, last, 1), QStringLiteral("JOINDATE"));
    cells.setData(cell(fg1, last, 2), QStringLiteral("入社日"));
    cells.setData(cell(fg1, last, 3), QStringLiteral("日付"));
    QItemSelectionModel& selection = *fg1.selectionModel();
    selection.clearSelection();
    selection.select(cell(fg1, last - 1, 1),
                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    // Moving the current cell onto the date row blanks its IME.
    for (int row : {last - 1, last, last - 1}) {
        selection.setCurrentIndex(cell(fg1, row, 2), QItemSelectionModel::NoUpdate);
    }
    return wizard;
}

// `window` with its popups (tooltips, menus: windows of their own) drawn over it where they
// show, grabbed as one picture.
void grabWithPopups(QWidget* window, const std::vector<QWidget*>& popups, const Grab& grab) {
    QPixmap shot = window->grab();
    {
        QPainter painter(&shot);
        for (QWidget* popup : popups) {
            painter.drawPixmap(window->mapFromGlobal(popup->pos()), popup->grab());
        }
    }
    QLabel picture;
    picture.setPixmap(shot);
    picture.resize(shot.size());
    picture.show();
    grab(&picture);
}

// The browser's dialog `objectName` opened with toolbar button `index` on the node `text`,
// grabbed and closed.
Drive dialogOf(const char* objectName, const QString& text, int index) {
    return [=](const Context& ctx, const Grab& grab) {
        inBrowser(ctx, [&](QWidget* browser) {
            clickNode(browser, text);
            whenShown(objectName, [&](QWidget* dialog) {
                grab(dialog);
                dialog->close();
            });
            pressButton(browser, index);
        });
    };
}

// The states, in the order they are taken. Add a state here.
const std::vector<Shot> kShots = {
    {"wizard_new_file",
     [](const Context& ctx) -> std::unique_ptr<QWidget> {
         return openWizard(ctx, ctx.scratch + QStringLiteral("/new.mdb"), QString());
     }},
    {"wizard_existing_db",
     [](const Context& ctx) -> std::unique_ptr<QWidget> {
         const QString path = ctx.scratch + QStringLiteral("/existing.mdb");
         const QString password = QStringLiteral("secret");
         makeExistingProductDb(ctx, path, password);
         return openWizard(ctx, path, password);
     }},
    {"wizard_grid_rows",
     [](const Context& ctx) -> std::unique_ptr<QWidget> {
         return wizardWithRows(ctx, QStringLiteral("rows.mdb"));
     }},
    {"wizard_minimum_size",
     [](const Context& ctx) -> std::unique_ptr<QWidget> {
         // As small as it goes: every caption, heading and tree name still whole (the tree
         // scrolls sideways, the grid down).
         auto wizard = wizardWithRows(ctx, QStringLiteral("minimum.mdb"));
         wizard->resize(1, 1);
         return wizard;
     }},
    {"wizard_find",
     [](const Context& ctx) -> std::unique_ptr<QWidget> {
         // Ctrl+F under the tree, "めーる" typed (it finds メール in katakana, and by ID
         // too), and Enter twice: past the folder メール to the first field.
         auto wizard = openWizard(ctx, ctx.scratch + QStringLiteral("/find.mdb"), QString());
         wizard->show();  // its activation comes first, as it does for a person
         QApplication::processEvents();
         pressKey(wizard->findChild<QTreeView*>(), Qt::Key_F, Qt::ControlModifier);
         auto* find = wizard->findChild<QLineEdit*>(QStringLiteral("treeFindLine"));
         if (find == nullptr || !find->isVisibleTo(wizard.get())) {
             throw std::runtime_error("Ctrl+F opened no find line");
         }
         find->insert(QStringLiteral("めーる"));
         pressKey(find, Qt::Key_Return);
         pressKey(find, Qt::Key_Return);
         return wizard;
     }},
    {"wizard_refused_rows",
     {},
     [](const Context& ctx, const Grab& grab) {
         // Rows OK would refuse carry a mark; the tooltip of one is drawn where it appears.
         auto wizard = wizardWithRows(ctx, QStringLiteral("refused.mdb"));
         wizard->Command8->click();
         wizard->Command8->click();
         auto& fg1 = *wizard->findChild<QTableView*>();
         QAbstractItemModel& cells = *fg1.model();
         const int last = cells.rowCount();
         cells.setData(cell(fg1, last - 1, 1), QStringLiteral("TEL"));
         cells.setData(cell(fg1, last, 1), QStringLiteral("COMPANY2"));
         cells.setData(cell(fg1, last, 2), QStringLiteral("会社名"));
         cells.setData(cell(fg1, last, 4), QStringLiteral("100"));
         wizard->show();
         for (int i = 0; i < 5; ++i) {
             QApplication::processEvents();
         }
         QHeaderView& rows = *fg1.verticalHeader();
         const QPoint at(rows.width() / 2, rows.sectionViewportPosition(last - 1) + 4);
         QToolTip::showText(rows.viewport()->mapToGlobal(at),
                            cells.headerData(last - 1, Qt::Vertical, Qt::ToolTipRole).toString(),
                            rows.viewport());
         QApplication::processEvents();
         std::vector<QWidget*> tips;
         for (QWidget* w : QApplication::topLevelWidgets()) {
             if (w->inherits("QTipLabel") && w->isVisible()) {
                 tips.push_back(w);
             }
         }
         grabWithPopups(wizard.get(), tips, grab);
         QToolTip::hideText();
         wizard->close();
     }},
    {"wizard_grid_menu",
     {},
     [](const Context& ctx, const Grab& grab) {
         // The grid's context menu over selected rows, drawn where it opens.
         auto wizard = wizardWithRows(ctx, QStringLiteral("menu.mdb"));
         wizard->show();
         QApplication::processEvents();
         auto& fg1 = *wizard->findChild<QTableView*>();
         fg1.selectRow(0);
         QMenu menu;
         menu.addActions(fg1.actions());
         const QPoint at = fg1.viewport()->mapToGlobal(fg1.visualRect(cell(fg1, 1, 2)).center());
         menu.popup(at);
         for (int i = 0; i < 5; ++i) {
             QApplication::processEvents();
         }
         grabWithPopups(wizard.get(), {&menu}, grab);
         menu.close();
         wizard->close();
     }},
    {"build_preview",
     {},
     [](const Context& ctx, const Grab& grab) {
         auto wizard = wizardWithRows(ctx, QStringLiteral("preview.mdb"));
         wizard->show();
         whenShown("BuildPreview", [&](QWidget* preview) {
             grab(preview);
             preview->close();
         });
         wizard->showBuildPreview();
         wizard->close();
     }},
    {"browser_opened",
     {},
     [](const Context& ctx, const Grab& grab) {
         inBrowser(ctx, [&](QWidget* browser) { grab(browser); });
     }},
    {"browser_folder_selected",
     {},
     [](const Context& ctx, const Grab& grab) {
         inBrowser(ctx, [&](QWidget* browser) {
             clickNode(browser, QStringLiteral("連絡先"));
             grab(browser);
         });
     }},
    {"browser_find",
     {},
     [](const Context& ctx, const Grab& grab) {
         inBrowser(ctx, [&](QWidget* browser) {
             // The find line takes its place under the tree; "tel" finds by ID.
             pressKey(browser->findChild<QTreeView*>(), Qt::Key_F, Qt::ControlModifier);
             browser->findChild<QLineEdit*>(QStringLiteral("treeFindLine"))
                 ->insert(QStringLiteral("tel"));
             grab(browser);
         });
     }},
    {"folder_add", {}, dialogOf("FolderAdd", QStringLiteral("連絡先"), 1)},
    {"folder_rename", {}, dialogOf("FolderAdd", QStringLiteral("連絡先"), 2)},
    // The field editor: adding into a folder, editing a field, a fixed field opened for
    // editing (every input and OK off), copying a field.
    {"field_add", {}, dialogOf("AccountAdd", QStringLiteral("連絡先"), 5)},
    {"field_edit", {}, dialogOf("AccountAdd", QStringLiteral("ニックネーム"), 6)},
    {"field_edit_fixed", {}, dialogOf("AccountAdd", QStringLiteral("PCメール"), 6)},
    {"field_copy", {}, dialogOf("AccountAdd", QStringLiteral("顧客番号"), 9)},
    {"frmMain",
     [](const Context&) -> std::unique_ptr<QWidget> {
         auto window = std::make_unique<component::frmMain>();
         window->resize(320, 120);
         return window;
     }},
};

void inBrowser(const Context& ctx, std::function<void(QWidget*)> inside) {
    auto wizard = openWizard(ctx, ctx.scratch + QStringLiteral("/browse.mdb"), QString());
    wizard->show();
    whenShown("AccountBrowse", [inside](QWidget* browser) {
        inside(browser);
        browser->close();
    });
    wizard->Command7->click();
    wizard->close();
}

// Saves the window as it is shown now.
bool save(QWidget* window, const QString& file) {
    // Layout, the first paint and the queued work of the opening.
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
    }
    const bool saved = window->grab().save(file);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED",
                qPrintable(QDir::current().relativeFilePath(file)));
    return saved;
}

bool take(const Shot& shot, const Context& ctx, const QDir& out) {
    const QString file = out.filePath(QString::fromLatin1(shot.name) + QStringLiteral(".png"));
    if (shot.drive) {
        bool saved = false;
        shot.drive(ctx, [&](QWidget* window) { saved = save(window, file); });
        return saved;
    }
    std::unique_ptr<QWidget> window = shot.make(ctx);
    window->show();
    const bool saved = save(window.get(), file);
    window->close();
    QApplication::processEvents();
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() > 2 || (args.size() == 2 && args[1].startsWith(QLatin1Char('-')))) {
        std::fprintf(stderr, "Usage: rv_screenshots [OUTPUT_FOLDER]\n");
        return 2;
    }
    const QDir out(args.size() == 2 ? args[1] : QStringLiteral("screenshots"));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "rv_screenshots: cannot create %s\n", qPrintable(out.path()));
        return 1;
    }
    const QString base = QApplication::applicationDirPath() + QStringLiteral("/base.mdb");
    if (!QFileInfo::exists(base)) {
        std::fprintf(stderr, "rv_screenshots: %s is missing\n", qPrintable(base));
        return 1;
    }
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        std::fprintf(stderr, "rv_screenshots: no temporary folder\n");
        return 1;
    }
    const Context ctx{scratch.path(),
                      QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + base +
                          QStringLiteral(";Persist Security Info=False")};
    int failed = 0;
    for (const Shot& shot : kShots) {
        try {
            if (!take(shot, ctx, out)) {
                ++failed;
            }
        } catch (const std::exception& e) {
            std::fprintf(stderr, "rv_screenshots: %s: %s\n", shot.name, e.what());
            ++failed;
        }
    }
    return failed == 0 ? 0 : 1;
}
