// SPDX-License-Identifier: MIT
#pragma once

// The host's bytes as the component holds them (see vocabulary/host_text.h): the same
// conversions for the product database's path and password and the template library's.

#include "vocabulary/host_text.h"

namespace component {

using vocabulary::fromHostBytes;
using vocabulary::toHostBytes;
using vocabulary::validUtf8Length;

}  // namespace component
