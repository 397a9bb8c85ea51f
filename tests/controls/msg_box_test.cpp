#include "controls/msg_box.h"
#include "controls/batch_msg_box_responder.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace controls;

TEST(Tell, FillsPlaceholdersInOnePassAndShowsUnderTheTitle) {
    const struct {
        QString text;
        QStringList values;
        QString filled;
    } cases[] = {
        {u"%1行目"_s, {u"3"_s}, u"3行目"_s},
        {u"%2と%1と%2"_s, {u"a"_s, u"b"_s}, u"bとaとb"_s},
        {u"ID=%1 %2"_s, {u"%2"_s, u"x"_s}, u"ID=%2 x"_s},  // a value is not filled again
        {u"%3 %1%"_s, {u"a"_s}, u"%3 a%"_s},
    };
    MsgBoxResponder responder(vbCancel);
    for (const auto& c : cases) {
        EXPECT_EQ(fill(c.text, c.values), c.filled);
    }
    EXPECT_EQ(tell(u"%1行目"_s, vbOKCancel, {u"2"_s}), vbCancel);
    ASSERT_EQ(responder.calls().size(), 1u);
    EXPECT_EQ(responder.calls()[0].prompt, u"2行目"_s);
    EXPECT_EQ(responder.calls()[0].title, u"ravLIN"_s);
    EXPECT_TRUE(responder.calls()[0].okCancel);
}

TEST(MsgBox, WithoutAResponderShowsAModalBox) {
    ASSERT_EQ(MsgBoxResponder::current(), nullptr);
    QString shown;  // icon, title, text and number of buttons
    const auto answerWith = [&shown](Qt::Key key) {
        QTimer::singleShot(0, [&shown, key] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            shown = u"%1 %2 %3 %4"_s.arg(int(box->icon()))
                        .arg(box->windowTitle(), box->text())
                        .arg(box->buttons().size());
            QTest::keyClick(box, key);
        });
    };
    answerWith(Qt::Key_Escape);
    EXPECT_EQ(MsgBox(u"続けますか"_s, vbOKCancel + vbExclamation, u"ravLIN"_s), vbCancel);
    EXPECT_EQ(shown, u"%1 ravLIN 続けますか 2"_s.arg(int(QMessageBox::Warning)));
    answerWith(Qt::Key_Return);
    EXPECT_EQ(MsgBox(u"最初のレコードです。"_s, vbOKOnly, u"ravLIN"_s), vbOK);
    EXPECT_EQ(shown, u"%1 ravLIN 最初のレコードです。 1"_s.arg(int(QMessageBox::NoIcon)));
}
