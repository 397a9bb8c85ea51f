// SPDX-License-Identifier: MIT
#pragma once

#include <Qt>

namespace browser {

// Cut, copy and paste never reach a template tree, by any of their keys: Ctrl alone with X,
// C or V, and Ctrl+Insert, Shift+Insert and Shift+Delete. Every other key, C alone and Ctrl
// with another letter included, passes.
inline bool isGuardedTreeKey(int key, Qt::KeyboardModifiers modifiers) {
    constexpr Qt::KeyboardModifiers kShiftState =
        Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    const Qt::KeyboardModifiers shift = modifiers & kShiftState;
    if (shift == Qt::ControlModifier) {
        return key == Qt::Key_X || key == Qt::Key_C || key == Qt::Key_V || key == Qt::Key_Insert;
    }
    return shift == Qt::ShiftModifier && (key == Qt::Key_Insert || key == Qt::Key_Delete);
}

}  // namespace browser
