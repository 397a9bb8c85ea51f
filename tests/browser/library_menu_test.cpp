// SPDX-License-Identifier: MIT
// The browser's context menu: "読み込み..." on a folder imports a file there, the tree shows
// the imported folder; the first change of a library that must not be written goes to the
// user's copy, which the browser then keeps working on.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QMenu>
#include <QTimer>
#include <fstream>

#include "browser/texts.h"
#include "jet/connection_string.h"
#include "modal.h"
#include "open_browser.h"
#include "templates/library_import.h"

namespace {

using namespace Qt::StringLiterals;

// Picks the menu entry `text` of the next context menu, then `file` in the file dialog.
void chooseFromMenu(QStringView text, const std::string& file) {
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
        dialog->selectFile(QString::fromStdString(file));
        static_cast<QDialog*>(dialog)->accept();
    });
}

TEST(LibraryMenu, AnImportGoesToTheUsersCopyAndTheTreeShowsTheImportedFolder) {
    rvtest::OpenBrowser open({"1,0,'F',NULL,'住所',NULL,NULL,NULL,NULL,NULL",
                              "2,1,'A','ZIP','郵便番号','T','8',1,'0','0'"},
                             controls::vbOK);
    const std::string shipped = rvtest::readBytes(open.m_path);
    const std::string copy = open.m_dir.file("user/rv_makedb/base.mdb");
    const QString copyConnection = QString::fromStdString(jet::ConnectionString::build(copy, ""));
    open.browser.setLibraryCopy(
        {QString::fromStdString(open.m_path), QString::fromStdString(copy), copyConnection});
    const std::string file = open.m_dir.file("import.tsv");
    std::ofstream(file) << templates::kLibraryFileHeader.toString().toStdString() << "\n"
                        << "/自宅\n/自宅\tHOMEZIP\t自宅郵便番号\t文字\t8\tOFF\t\t1\n";

    controls::KeyedTree& tree = open.tree();
    chooseFromMenu(browser::kMenuImport, file);
    Q_EMIT tree.customContextMenuRequested(tree.visualItemRect(open.node("1")).center());

    EXPECT_TRUE(open.prompts().isEmpty()) << open.prompts().join(u'\n').toStdString();
    EXPECT_EQ(rvtest::readBytes(open.m_path), shipped);
    EXPECT_EQ(open.browser.basconnStr, copyConnection);
    const controls::KeyedTree::Node* shown = tree.currentItem();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->text(0), u"自宅"_s);
    EXPECT_EQ(controls::KeyedTree::key(shown->parent()), u"1"_s);
    EXPECT_TRUE(shown->isExpanded());
    jet::Connection written;
    written.open(copyConnection.toStdString());
    EXPECT_TRUE(templates::exportLibrary(written).contains(u"/住所/自宅\tHOMEZIP"_s));
}

}  // namespace
