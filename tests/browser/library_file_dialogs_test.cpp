// SPDX-License-Identifier: MIT
// The browser's export and import through the platform's file dialog, driven as a person
// would: the subtree written and read back into another folder, a refusal told with its
// lines and nothing written, a cancelled dialog doing nothing.
#include "browser/library_file_dialogs.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileDialog>

#include "browser/texts.h"
#include "controls/msg_box.h"
#include "databases.h"
#include "jet/connection.h"
#include "modal.h"
#include "temp_dir.h"
#include "templates/library_import.h"

namespace {

using namespace Qt::StringLiterals;
using namespace browser;
using namespace templates;

// Picks `file` in the next file dialog, or cancels it when `file` is empty.
void choose(const std::string& file) {
    rvtest::whenModal<QFileDialog>([file](QFileDialog* dialog) {
        if (file.empty()) {
            dialog->reject();
            return;
        }
        dialog->selectFile(QString::fromStdString(file));
        static_cast<QDialog*>(dialog)->accept();  // as the dialog's own button does
    });
}

TEST(LibraryFileDialogs, AFolderGoesOutAndBackIntoAnotherFolderAndARefusalWritesNothing) {
    rvtest::TempDir dir;
    jet::Connection shipped;
    shipped.open(rvtest::templateLibrary(dir.file("base.mdb")));
    jet::Connection other;
    other.open(rvtest::templateLibrary(dir.file("other.mdb"),
                                       {"1,0,'F',NULL,'新',NULL,NULL,NULL,NULL,NULL"}));
    controls::MsgBoxResponder responder;
    int changes = 0;
    const auto change = [&] { ++changes; };

    const std::string file = dir.file("住所.tsv");
    choose(file);
    ASSERT_TRUE(exportFolderDialog(nullptr, shipped, u"4"_s, u"住所.tsv"_s));
    QFile written(QString::fromStdString(file));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(written.readAll());
    EXPECT_EQ(text, exportLibrary(shipped, u"4"_s));

    choose(file);
    const std::optional<QString> shown = importIntoFolderDialog(nullptr, other, u"1"_s, change);
    ASSERT_TRUE(shown.has_value())
        << (responder.calls().empty() ? "" : responder.prompts()[0].toStdString());
    EXPECT_EQ(exportLibrary(other, *shown), text) << "the folder shown is the one imported";
    EXPECT_TRUE(exportLibrary(other).contains(u"\n/新/住所\n"_s));
    EXPECT_EQ(changes, 1);

    const QString before = exportLibrary(other);
    choose(file);
    EXPECT_FALSE(importIntoFolderDialog(nullptr, other, u"0"_s, change).has_value());
    ASSERT_EQ(responder.calls().size(), 1U);
    EXPECT_TRUE(responder.prompts()[0].startsWith(
        controls::fill(kMsgImportRefused,
                       {controls::fill(kRefusedLine, {u"4"_s, kMsgDuplicateField.toString()})})))
        << responder.prompts()[0].toStdString();
    choose({});
    EXPECT_FALSE(importIntoFolderDialog(nullptr, other, u"0"_s, change).has_value());
    EXPECT_EQ(exportLibrary(other), before);
    EXPECT_EQ(changes, 1);
}

}  // namespace
