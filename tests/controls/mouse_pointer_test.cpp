// SPDX-License-Identifier: MIT
#include "controls/mouse_pointer.h"

#include <QCursor>
#include <QGuiApplication>

#include <gtest/gtest.h>

using namespace controls;

TEST(MousePointer, WaitIsSetOnceAndNormalRemovesIt) {
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    setMousePointer(kPointerWait);
    setMousePointer(kPointerWait);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);

    // One normal undoes the wait pointer however often it was set, and a second does nothing.
    setMousePointer(kPointerNormal);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    setMousePointer(kPointerNormal);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(MousePointer, LeavesOtherOverridesAlone) {
    QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
    setMousePointer(kPointerNormal);  // not ours: nothing to remove
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QGuiApplication::restoreOverrideCursor();
}
