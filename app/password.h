// SPDX-License-Identifier: MIT
#pragma once

// Where a run takes its database password from: -p (visible to other users in the process
// list), --password-file FILE ("-": standard input) or --ask-password (typed at the
// terminal without echo).

#include <functional>
#include <istream>
#include <string>

#include "command_line.h"

namespace cli {

// The options, which a program puts in its table.
inline constexpr Option kPasswordOption{
    .names = "p,password",
    .value = "PW",
    .help =
        "the database password (default: empty, an unencrypted file); for a server's "
        "database, the role's password. Other users of the "
        "machine can read it in the process list: prefer --password-file or --ask-password",
    .group = "password",
    .emptyAllowed = true};
inline constexpr Option kPasswordFileOption{
    .names = "password-file",
    .value = "FILE",
    .help =
        "read the password from the first line of FILE, without its line feed and a "
        "carriage return before it (as Windows ends lines); - reads it from standard input",
    .group = "password"};
inline constexpr Option kAskPasswordOption{
    .names = "ask-password",
    .help =
        "ask for the password on the terminal, without showing it (standard input must be "
        "a terminal); twice when it will protect a new database, which is made only when "
        "both agree",
    .group = "password"};

// Whether the run makes a new database with the password (then a typed one is asked twice).
enum class NewDatabase { kNo, kYes };

// The password the arguments name, empty when none: standard input is `in`, file descriptor
// `inFd`. Throws std::runtime_error with the reason, naming the file.
std::string passwordOf(const Arguments& args, std::istream& in, int inFd, NewDatabase made);

// The password typed, asked through `ask` (which shows the prompt and returns the line
// typed): for a new database twice, and refused (std::runtime_error) when the two differ.
std::string askPassword(const std::function<std::string(const char* prompt)>& ask,
                        NewDatabase made);

}  // namespace cli
