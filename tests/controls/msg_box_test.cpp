// SPDX-License-Identifier: MIT
#include "controls/msg_box.h"
#include "controls/accessibility.h"
#include "controls/mouse_pointer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <optional>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace controls;

TEST(Tell, FillsPlaceholdersInOnePass) {
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
    for (const auto& c : cases) {
        EXPECT_EQ(fill(c.text, c.values), c.filled);
    }
}

TEST(MsgBox, WithoutAResponderShowsAModalBoxInJapanese) {
    ASSERT_EQ(MsgBoxResponder::current(), nullptr);
    const JapaneseQtTexts japanese;
    QString shown;  // icon, title, text, buttons
    const auto answerWith = [&shown](Qt::Key key) {
        QTimer::singleShot(0, [&shown, key] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            QStringList buttons;
            for (QAbstractButton* b : box->buttons()) {
                buttons << b->text();
            }
            shown = u"%1 %2 %3 %4"_s.arg(int(box->icon()))
                        .arg(box->windowTitle(), box->text(), buttons.join(u','));
            QTest::keyClick(box, key);
        });
    };
    answerWith(Qt::Key_Escape);
    EXPECT_EQ(MsgBox(u"続けますか"_s, vbOKCancel + vbExclamation, u"ravLIN"_s), vbCancel);
    EXPECT_EQ(shown, u"%1 ravLIN 続けますか OK,キャンセル"_s.arg(int(QMessageBox::Warning)));
    answerWith(Qt::Key_Return);
    EXPECT_EQ(MsgBox(u"最初のレコードです。"_s, vbOKOnly, u"ravLIN"_s), vbOK);
    EXPECT_EQ(shown, u"%1 ravLIN 最初のレコードです。 OK"_s.arg(int(QMessageBox::NoIcon)));
}

// Translates Qt's own texts as a German host would.
class HostTranslation : public QTranslator {
  public:
    QString translate(const char*, const char* source, const char*, int) const override {
        return QLatin1StringView(source) == "Cancel"_L1 ? u"Abbrechen"_s : QString();
    }
    bool isEmpty() const override { return false; }
};

TEST(JapaneseQtTexts, TranslateQtsOwnTextsWhileHeldUnlessTheHostTranslatesThem) {
    const auto cancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
    HostTranslation host;
    for (const bool hostTranslates : {false, true}) {
        if (hostTranslates) {
            QCoreApplication::installTranslator(&host);
        }
        const QString before = cancel();
        {
            std::optional<JapaneseQtTexts> outer(std::in_place);
            const JapaneseQtTexts inner;
            outer.reset();  // out of order: the translation stays while one holder is left
            EXPECT_EQ(cancel(), hostTranslates ? u"Abbrechen"_s : u"キャンセル"_s);
            EXPECT_EQ(JapaneseQtTexts::active(), !hostTranslates);
        }
        EXPECT_EQ(cancel(), before) << "the host's texts come back";
    }
    QCoreApplication::removeTranslator(&host);
}

// Ours is the wait pointer only: it is set once however often it is asked for, and normal
// takes back that one and no other program's.
TEST(MousePointer, WaitIsSetOnceAndNormalRemovesOnlyIt) {
    const auto shape = [] {
        return QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape()
                                                 : Qt::BlankCursor;
    };
    QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
    setMousePointer(kPointerNormal);
    setMousePointer(kPointerWait);
    setMousePointer(kPointerWait);
    EXPECT_EQ(shape(), Qt::WaitCursor);
    for (int i = 0; i < 2; ++i) {
        setMousePointer(kPointerNormal);
        EXPECT_EQ(shape(), Qt::CrossCursor);
    }
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(shape(), Qt::BlankCursor);
}
