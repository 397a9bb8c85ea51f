// SPDX-License-Identifier: MIT
#include "controls/msg_box.h"
#include "controls/accessibility.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace controls;

TEST(Tell, FillsPlaceholdersInOnePass) {
    const struct {
        QString text;
        QStringList values;
        QString filled;
    } cases[] = {
        {u"%2と%1と%2"_s, {u"a"_s, u"b"_s}, u"bとaとb"_s},
        {u"ID=%1 %2"_s, {u"%2"_s, u"x"_s}, u"ID=%2 x"_s},  // a value is not filled again
        {u"%3 %1%"_s, {u"a"_s}, u"%3 a%"_s},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fill(c.text, c.values), c.filled);
    }
}

TEST(MsgBox, WithoutAResponderShowsAModalBoxInJapanese) {
    ASSERT_EQ(MsgBoxResponder::current(), nullptr);
    const JapaneseQtTexts japanese;
    QString shown;  // icon, title, text, buttons
    QTimer::singleShot(0, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        QStringList buttons;
        for (QAbstractButton* b : box->buttons()) {
            buttons << b->text();
        }
        shown = u"%1 %2 %3 %4"_s.arg(int(box->icon()))
                    .arg(box->windowTitle(), box->text(), buttons.join(u','));
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(MsgBox(u"続けますか"_s, vbOKCancel + vbExclamation, u"ravLIN"_s), vbCancel);
    EXPECT_EQ(shown, u"%1 ravLIN 続けますか OK,キャンセル"_s.arg(int(QMessageBox::Warning)));
}
