// rv_screenshots: renders the component's windows in typical states, without a display,
// and saves each as a PNG, so that a change to a window can be looked at and compared.
//
//   rv_screenshots [OUTPUT_FOLDER]     (default: screenshots in the current folder)
//
// Every state is one entry of kShots: a name (the PNG's file name) and a function that
// brings a window into that state and returns it. The window is shown off screen, given
// time to lay itself out, grabbed, and closed. Scratch databases live in a temporary
// folder that is removed at the end. base.mdb is the one beside this program.

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "component/frm_main.h"
#include "component/rv_makedb_form.h"
#include "controls/flex_grid.h"
#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "productdb/schema.h"
#include "wizard/design_grid.h"

namespace {

// What every state may use.
struct Context {
    QString scratch;    // a temporary folder of its own
    QString templates;  // connection string of the bundled base.mdb
};

// A window in the state to be taken; it is closed after the grab.
using Make = std::function<std::unique_ptr<QWidget>(const Context&)>;

struct Shot {
    const char* name;
    Make make;
};

// The wizard opened as a host opens it (without the modal loop) on databasePath.
std::unique_ptr<component::rv_makeDBForm> openWizard(const Context& ctx, const QString& path,
                                                     const QString& password) {
    auto wizard = std::make_unique<component::rv_makeDBForm>();
    wizard->basFilePath = path;
    wizard->basPass = password;
    wizard->basconnStr = ctx.templates;
    wizard->Form_Load();
    return wizard;
}

// A product database holding the FIELD registry with a few fields, as a previous build
// of the wizard leaves it.
void makeExistingProductDb(const QString& path, const QString& password) {
    const std::string cs = jet::ConnectionString::build(path.toStdString(), password.toStdString());
    jet::Catalog::create(cs);
    jet::Connection db;
    db.open(cs);
    db.execute(productdb::kCreateField);
    const char* rows[] = {
        "'FULLNAME','氏名','T',60,'1','0','0',1",   "'FULLKANA','フリガナ','T',60,'1','0','0',2",
        "'COMPANY','会社名','T',100,'1','0','0',3", "'ZIPCODE','郵便番号','T',8,'0','0','0',4",
        "'MAIL1','PCメール','T',100,'0','1','0',5", "'MAIL2','携帯メール','T',100,'0','2','0',6",
        "'FAX1','FAX番号','T',20,'0','0','1',7",    "'BIRTHDAY','生年月日','D',NULL,'0','0','0',8",
        "'MEMO','備考','M',NULL,'1','0','0',9",
    };
    for (const char* values : rows) {
        db.execute(std::string("INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,FIELD_SIZE,IME,"
                               "MAIL_ADDRESS_FLG,FAX_NO_FLG,DISP_SEQNO) VALUES(") +
                   values + ")");
    }
    db.close();
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
         makeExistingProductDb(path, password);
         return openWizard(ctx, path, password);
     }},
    {"wizard_grid_rows",
     [](const Context& ctx) -> std::unique_ptr<QWidget> {
         // Existing fields on top, a fixed template row (greyed), typed rows below it, one
         // of them selected.
         const QString path = ctx.scratch + QStringLiteral("/rows.mdb");
         const QString password = QStringLiteral("secret");
         makeExistingProductDb(path, password);
         auto wizard = openWizard(ctx, path, password);
         controls::FlexGrid& fg1 = *wizard->fg1;
         fg1.addItem(QStringLiteral("\tTEL1\t電話番号\t文字\t20\tOFF\t\t\t1\t"));
         wizard::renumberRows(fg1);
         wizard->Command8->click();
         wizard->Command8->click();
         const int last = fg1.rows() - 1;
         fg1.setTextMatrix(last - 1, 1, QStringLiteral("SECTION"));
         fg1.setTextMatrix(last - 1, 2, QStringLiteral("部署名"));
         fg1.setTextMatrix(last - 1, 4, QStringLiteral("40"));
         fg1.setTextMatrix(last, 1, QStringLiteral("JOINDATE"));
         fg1.setTextMatrix(last, 2, QStringLiteral("入社日"));
         fg1.setTextMatrix(last, 3, QStringLiteral("日付"));
         fg1.selectRow(last - 1);
         fg1.setCurrentCell(last - 1, 2);
         fg1.setCurrentCell(last, 2);  // the current-cell change blanks the date's IME
         fg1.setCurrentCell(last - 1, 2);
         return wizard;
     }},
    {"frmMain",
     [](const Context&) -> std::unique_ptr<QWidget> {
         auto window = std::make_unique<component::frmMain>();
         window->resize(320, 120);
         return window;
     }},
};

bool take(const Shot& shot, const Context& ctx, const QDir& out) {
    std::unique_ptr<QWidget> window = shot.make(ctx);
    window->show();
    // Layout, the first paint and the queued work of the opening.
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
    }
    const QString file = out.filePath(QString::fromLatin1(shot.name) + QStringLiteral(".png"));
    const bool saved = window->grab().save(file);
    window->close();
    QApplication::processEvents();
    std::printf("%s %s\n", saved ? "wrote" : "FAILED",
                qPrintable(QDir::current().relativeFilePath(file)));
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
