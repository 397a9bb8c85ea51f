// SPDX-License-Identifier: MIT
// The browser's context menu on a folder, driven as a person would through the menu and the
// platform's file dialog: "書き出し..." writes the folder's subtree, "読み込み..." imports a
// file there. A refused import is told with its lines and writes nothing; the first change of
// a library that must not be written goes to the user's copy, which the browser then keeps
// working on, and the tree shows the imported folder.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QTimer>
#include <fstream>

#include "browser/texts.h"
#include "jet/connection_string.h"
#include "open_browser.h"
#include "templates/library_import.h"

namespace {

using namespace Qt::StringLiterals;

// Picks the menu entry `text` of the context menu on node `key`, then `file` in the file
// dialog (an empty `file` cancels it).
void fromMenu(rvtest::OpenBrowser& open, const char* key, QStringView text,
              const std::string& file) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, text = text.toString()] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            timer->stop();
            timer->deleteLater();
            for (QAction* action : menu->actions()) {
                if (action->text() == text) {
                    menu->setActiveAction(action);
                    QTest::keyClick(menu, Qt::Key_Return);
                }
            }
        }
    });
    timer->start();
    rvtest::whenModal<QFileDialog>([file](QFileDialog* dialog) {
        if (file.empty()) {
            dialog->reject();
            return;
        }
        dialog->selectFile(QString::fromStdString(file));
        static_cast<QDialog*>(dialog)->accept();  // as the dialog's own button does
    });
    controls::KeyedTree& tree = open.tree();
    Q_EMIT tree.customContextMenuRequested(tree.visualItemRect(open.node(key)).center());
}

TEST(LibraryMenu, AFolderGoesOutARefusedImportWritesNothingAndAnImportGoesToTheUsersCopy) {
    rvtest::OpenBrowser open(
        {"1,0,'F',NULL,'住所',NULL,NULL,NULL,NULL,NULL",
         "2,1,'A','ZIP','郵便番号','T','8',1,'0','0'", "3,0,'A','TOP','上','T','8',1,'0','0'"},
        controls::vbOK);
    const std::string shipped = rvtest::readBytes(open.m_path);
    const std::string copy = open.m_dir.file("user/rv_makedb/base.mdb");
    const QString copyConnection = QString::fromStdString(jet::ConnectionString::build(copy, ""));
    // The library as an installed one: its changes go to the user's copy.
    templates::DataFolders folders;
    folders.dataHome = QString::fromStdString(open.m_dir.file("user"));
    folders.installed = QString::fromStdString(open.m_path);
    open.browser.setLibrary(
        templates::LibraryOwner::named(QString::fromStdString(open.m_path), folders));
    open.browser.basTable.close();
    ASSERT_TRUE(open.browser.Form_Load());

    // Folder 1 written out, and back into itself: its field is there already.
    const std::string out = open.m_dir.file("住所.tsv");
    fromMenu(open, "1", browser::kMenuExport, out);
    QFile written(QString::fromStdString(out));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(written.readAll()),
              templates::exportLibrary(open.browser.basTable.connection(), u"1"_s));
    fromMenu(open, "1", browser::kMenuImport, out);
    ASSERT_EQ(open.prompts().size(), 1);
    EXPECT_TRUE(open.prompts()[0].startsWith(
        controls::fill(browser::kMsgImportRefused,
                       {controls::fill(browser::kRefusedLine,
                                       {u"3"_s, templates::kMsgDuplicateField.toString()})})))
        << open.prompts()[0].toStdString();
    open.responder.clear();
    fromMenu(open, "1", browser::kMenuImport, {});
    EXPECT_FALSE(QFile::exists(QString::fromStdString(copy)));

    const std::string file = open.m_dir.file("import.tsv");
    std::ofstream(file) << templates::kLibraryFileHeader.toString().toStdString() << "\n"
                        << "/自宅\n/自宅\tHOMEZIP\t自宅郵便番号\t文字\t8\tOFF\t\t1\n";
    fromMenu(open, "1", browser::kMenuImport, file);
    EXPECT_TRUE(open.prompts().isEmpty()) << open.prompts().join(u'\n').toStdString();
    EXPECT_EQ(rvtest::readBytes(open.m_path), shipped);
    EXPECT_EQ(open.browser.library().connectionString(), copyConnection);
    EXPECT_TRUE(open.browser.basTable.owner().readsCopy());
    const controls::KeyedTree::Node* shown = open.tree().currentItem();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->text(0), u"自宅"_s);
    EXPECT_EQ(controls::KeyedTree::key(shown->parent()), u"1"_s);
    EXPECT_TRUE(shown->isExpanded());
    jet::Connection changed;
    changed.open(copyConnection.toStdString());
    EXPECT_TRUE(templates::exportLibrary(changed).contains(u"/住所/自宅\tHOMEZIP"_s));
}

}  // namespace
