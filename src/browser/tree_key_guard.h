#pragma once

#include <Qt>

namespace browser {

// Cut, copy and paste (Ctrl alone with X, C or V) never reach a template tree; every other
// key, C alone and Ctrl with another letter included, passes.
inline bool isGuardedTreeKey(int key, Qt::KeyboardModifiers modifiers) {
    constexpr Qt::KeyboardModifiers kShiftState =
        Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if ((modifiers & kShiftState) != Qt::ControlModifier) {
        return false;
    }
    return key == Qt::Key_X || key == Qt::Key_C || key == Qt::Key_V;
}

}  // namespace browser
