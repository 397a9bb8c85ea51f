// SPDX-License-Identifier: MIT
#include "controls/mouse_pointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace controls {

namespace {
int g_pointer = kPointerNormal;
}

void setMousePointer(int value) {
    const int wanted = value == kPointerWait ? kPointerWait : kPointerNormal;
    if (wanted == g_pointer) {
        return;
    }
    if (wanted == kPointerWait) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
    g_pointer = wanted;
}

int mousePointer() {
    return g_pointer;
}

}  // namespace controls
