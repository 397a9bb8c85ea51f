// SPDX-License-Identifier: MIT
#pragma once

#include "controls/mouse_pointer.h"

namespace controls {

// The wait pointer for as long as it lives: set when made, the normal pointer again when it
// goes out of scope, however the work in between ends.
class WaitPointer {
  public:
    WaitPointer() { setMousePointer(kPointerWait); }
    ~WaitPointer() { setMousePointer(kPointerNormal); }
    WaitPointer(const WaitPointer&) = delete;
    WaitPointer& operator=(const WaitPointer&) = delete;
};

}  // namespace controls
