// SPDX-License-Identifier: MIT
#pragma once

namespace controls {

// Mouse pointer values of the host platform that the system uses.
inline constexpr int kPointerNormal = 0;
inline constexpr int kPointerWait = 11;

// kPointerWait shows the wait cursor over the whole application (once, however often it is
// set); any other value, kPointerNormal among them, removes it again.
void setMousePointer(int value);
int mousePointer();

}  // namespace controls
