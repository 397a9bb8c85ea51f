// SPDX-License-Identifier: MIT
#pragma once

// The command lines of the programs, parsed one way: each program describes itself in a
// table with one line per option; parse() turns the arguments into their values, or into
// the text to print and the status to end with (--help, --version, a usage error).
//
// Arguments are taken byte for byte (a path need not be UTF-8). Accepted forms:
// --name=VALUE and --name VALUE, -xVALUE and -x VALUE, -abc for -a -b -c; "--" ends the
// options; options may stand anywhere before it. A value may not be empty unless the option
// says so.

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;

struct Option {
    // "p,password": one-letter names are short (-p), longer ones long (--password). The
    // first long name is the one the program asks for.
    const char* names;
    // The value's name in the help ("FILE"); none: a switch.
    const char* value = nullptr;
    // One paragraph, wrapped to the screen by the help; "\n" breaks a line.
    const char* help = "";
    // "fields" or "a|b": given only together with one of these options.
    const char* with = nullptr;
    // Set: a mode of its own, given only with these options ("library", "a|b", "" none) and
    // without positional arguments.
    const char* alone = nullptr;
    // Options of one group exclude each other ("password").
    const char* group = nullptr;
    // Its value may be empty.
    bool emptyAllowed = false;
};

struct Program {
    const char* name;   // "rv_makedb"
    const char* usage;  // the forms after the name, one a line; the first one is shown on errors
    const char* intro;  // between the usage and the options, wrapped by hand to 80 columns
    std::span<const Option> options;
    const char* epilogue;  // after the options, wrapped by hand to 80 columns
};

// The values of a command line: options by their long name, in the order given.
class Arguments {
  public:
    bool has(std::string_view name) const;
    // The last value given, or `fallback`.
    std::string value(std::string_view name, const std::string& fallback = {}) const;
    std::vector<std::string> values(std::string_view name) const;
    const std::vector<std::string>& positional() const { return m_positional; }

  private:
    friend struct Parser;
    std::map<std::string, std::vector<std::string>, std::less<>> m_values;
    std::vector<std::string> m_positional;
};

// A command line parsed: the arguments to run with, or (exit set) the end of the program
// with `out` for standard output and `err` for standard error.
struct Parsed {
    Arguments args;
    std::optional<int> exit;
    bool help = false;  // --help: `out` holds the help
    std::string out;
    std::string err;
};

// The arguments of main, without the program's name.
std::vector<std::string> arguments(int argc, char** argv);

Parsed parse(const Program& program, const std::vector<std::string>& args);

// A usage error the program itself finds: "NAME: WHY", the usage line and the hint, status 2.
Parsed usageError(const Program& program, const std::string& why);

// Prints what a parse ended with, and returns its status.
int finish(const Parsed& parsed);

std::string helpText(const Program& program);
std::string versionLine(const Program& program);

// How many columns a UTF-8 text takes on a terminal (East Asian wide characters take two).
int displayWidth(std::string_view text);

}  // namespace cli
