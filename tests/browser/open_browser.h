// SPDX-License-Identifier: MIT
#pragma once

// The template browser shown over a library holding exactly the given rows, with the
// statements it sends (the connection's observer) and the messages it shows (the responder),
// and the mouse on its tree.
#include <QAbstractButton>
#include <QTest>

#include "browser/account_browse.h"
#include "controls/indexed_toolbar.h"
#include "controls/msg_box.h"
#include "databases.h"
#include "modal.h"
#include "raw_db.h"
#include "temp_dir.h"

namespace rvtest {

struct OpenBrowser {
    OpenBrowser(const std::vector<std::string>& library, int answer) : responder(answer) {
        browser.setLibrary(
            templates::LibraryOwner(QString::fromStdString(templateLibrary(m_path, library))));
        EXPECT_TRUE(browser.Form_Load());
        browser.show();
        browser.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&browser));
        browser.basTable.connection().setObserver(
            [this](std::string_view s) { sent.emplace_back(s); });
    }
    controls::KeyedTree& tree() { return *browser.SSTree1; }
    controls::KeyedTree::Node* node(const std::string& key) {
        return tree().node(QString::fromStdString(key));
    }
    QPoint at(const char* key) { return tree().visualItemRect(node(key)).center(); }
    void click(const char* key) {
        QTest::mouseClick(tree().viewport(), Qt::LeftButton, {}, at(key));
    }
    // Presses a mouse button on `key` and moves the pointer far enough to start a drag.
    void lift(const char* key, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(tree().viewport(), button, {}, at(key));
        QTest::mouseMove(tree().viewport(), at(key) + QPoint(30, 0));
    }
    // Drags `from` over `to` ("" for below the last row) and drops it there.
    void drag(const char* from, const char* to, Qt::MouseButton button = Qt::LeftButton) {
        const QPoint end = *to ? at(to) : QPoint(at(from).x(), tree().viewport()->height() - 2);
        lift(from, button);
        QTest::mouseMove(tree().viewport(), end);
        QTest::mouseRelease(tree().viewport(), button, {}, end);
    }
    void press(int button) {
        QTest::mouseClick(browser.Toolbar1->buttonWidget(button), Qt::LeftButton);
    }
    // Presses toolbar `button`, runs `inside` on the dialog it opens, and closes that.
    template <class Dialog>
    void inDialog(int button, const std::function<void(Dialog&)>& inside) {
        rvtest::whenModal<Dialog>([inside](Dialog* dialog) {
            inside(*dialog);
            dialog->close();
        });
        auto timedOut = rvtest::closeModalsAfter(10000);
        press(button);
        EXPECT_FALSE(*timedOut);
    }
    // The rows of `sql` in the library, read raw, one after another.
    std::string raw(const std::string& sql) {
        std::string out;
        for (const std::string& row : RawDb(m_path, "").rows(sql)) {
            out += (out.empty() ? "" : " ") + row;
        }
        return out;
    }
    QStringList prompts() const {
        const std::vector<QString> all = responder.prompts();
        return {all.begin(), all.end()};
    }

    TempDir m_dir;
    std::string m_path = m_dir.file("t.mdb");
    controls::MsgBoxResponder responder;
    browser::AccountBrowse browser;
    std::vector<std::string> sent;
};

}  // namespace rvtest
