// SPDX-License-Identifier: MIT
#pragma once

// rv_makedb's command line: its options, its help, and the rules between them.

#include <string>
#include <vector>

#include "command_line.h"

namespace rv_makedb {

extern const cli::Program kProgram;

// The arguments of a run, or its end: --help, --version, a usage error.
cli::Parsed parseCommandLine(const std::vector<std::string>& args);

}  // namespace rv_makedb
