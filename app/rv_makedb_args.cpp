// SPDX-License-Identifier: MIT
#include "rv_makedb_args.h"

#include "password.h"

namespace rv_makedb {

namespace {

// One line an option; the help wraps each text to the screen.
constexpr cli::Option kOptions[] = {
    cli::kPasswordOption,
    cli::kPasswordFileOption,
    cli::kAskPasswordOption,
    {.names = "t,library",
     .value = "LIB",
     .help = "the field template library: a database path, a PostgreSQL server's URI "
             "(postgresql://...), or a whole connection string (any other text containing "
             "'='); default: base.mdb, see below"},
    {.names = "templates",
     .help = "open the template browser \"項目一覧\" alone on the template library, to maintain "
             "it: add, rename and delete folders and fields",
     .alone = "library|where"},
    {.names = "where",
     .help = "with --templates: print the library's path, and exit",
     .with = "templates"},
    {.names = "export-templates",
     .value = "FILE",
     .help = "write the template library to FILE ('-': standard output) as a library file: "
             "UTF-8, tab-separated, one entry a line (see the manual)",
     .alone = "library"},
    {.names = "import-templates",
     .value = "FILE",
     .help = "add what FILE holds (a library file, '-' for standard input, another library "
             "database, or the Windows system's template library, a Jet .mdb file) to the "
             "template library, all or nothing: folders matched by path, "
             "fields checked as the field editor checks them; each refused line is listed "
             "with its number",
     .alone = "library|into|skip-existing|encoding"},
    {.names = "into",
     .value = "FOLDER",
     .help = "the folder FILE's top level goes into, a path from the top (\"/住所/自宅\"); "
             "missing folders are made",
     .with = "import-templates"},
    {.names = "skip-existing",
     .help = "pass over the fields whose ID the library has already (new shipped templates: "
             "--import-templates /usr/share/rv_makedb/base.mdb --skip-existing)",
     .with = "import-templates"},
    {.names = "fields",
     .value = "FILE",
     .help = "batch mode: no window; add the fields of FILE and press OK. FILE is UTF-8 (see "
             "--encoding), one field per line, cells separated by tabs: field ID, field name, "
             "attribute (文字 数字 日付 YESNO メモ), size, IME (ON OFF), mail kind (PCメール "
             "携帯メール), FAX kind (公用FAX 私用FAX). Missing trailing cells keep a new row's "
             "start (\"文字\", \"ON\"); empty lines and lines beginning with '#' are skipped. "
             "Each message is printed to standard error as \"ravLIN: TEXT\"; when the build "
             "fails, one more line \"rv_makedb: REASON\" tells what the database engine said. "
             "FILE holds 10000 field lines and 1 MiB at most."},
    {.names = "encoding",
     .value = "NAME",
     .help = "batch mode: FILE is in the encoding NAME (any name iconv knows, e.g. CP932 for "
             "files written on Japanese Windows, EUC-JP); default UTF-8. A line that is not "
             "valid in it is refused.",
     .with = "fields|import-templates"},
    {.names = "yes",
     .help = "batch mode: answer OK to the question about a missing mail field (otherwise "
             "Cancel)",
     .with = "fields"},
    {.names = "dry-run",
     .help = "batch mode: run the checks as OK does, then print every statement OK would send, "
             "in order, one per line, on standard output, and write nothing: a missing DATABASE "
             "is not created, an existing one is only read",
     .with = "fields"},
    {.names = "list-fields",
     .help = "print the fields of the existing product database DATABASE as the lines of a "
             "field file (see --fields), in display order, on standard output (UTF-8), and "
             "open no window: --list-fields a.mdb > f.txt, then --fields f.txt b.mdb makes "
             "the same fields in b.mdb"},
    {.names = "import-jet",
     .value = "OLD",
     .help = "moving from the Windows system: make the product database DATABASE, which must "
             "not exist (on a server: must hold no table yet), from OLD, a product database the "
             "Windows system made (a Jet 4 .mdb file), with everything OLD holds: all its "
             "tables and rows, its fields with their types and widths. DATABASE gets the "
             "password of -p, --password-file or "
             "--ask-password; OLD's own password is not needed. OLD is only read. On any "
             "failure DATABASE does not exist afterwards. No window is opened."},
    {.names = "test-window",
     .help = "show the component's test window (frmMain) instead",
     .alone = ""},
};

}  // namespace

const cli::Program kProgram{
    .name = "rv_makedb",
    .usage =
        "[OPTION]... [DATABASE]\n"
        "--fields FILE [OPTION]... DATABASE\n"
        "--list-fields [-p PASSWORD] DATABASE\n"
        "--import-jet OLD [-p PASSWORD] DATABASE\n"
        "--templates [--where] [-t LIB]\n"
        "--export-templates FILE [-t LIB]\n"
        "--import-templates FILE [--into FOLDER] [OPTION]...\n"
        "--test-window",
    .intro = R"(Opens the database creation wizard on DATABASE, a product database file: a new
one is created when none exists at the path (and deleted again unless the
wizard builds it); an existing one is extended with new fields.

  DATABASE            the product database file (default: ravlinDB.mdb in the
                      current folder; required with --fields), or a database on
                      a PostgreSQL server, named by its URI (postgresql://...)
)",
    .options = kOptions,
    .epilogue = R"(Exit status: 0 when the wizard (or the browser) has closed (in batch mode: the
database was built, or with --dry-run its statements printed); 1 in batch mode
when a check refused, the question was declined or the build failed; 2 for
usage errors, a field file that is too large or not valid text, or when no
display is available (batch mode needs none); 3 when the wizard or the browser
could not open (the message is printed; in batch mode also when the database
could not be read or another wizard has it open), and when DATABASE is a
database of the Windows system (a Jet file; convert it with --import-jet); 130
or 143 after SIGINT (Ctrl+C) or SIGTERM, which close the wizard as Cancel does.

--import-jet exits with 0 when DATABASE was made, 2 for usage errors and when
DATABASE exists already, 3 when OLD is not a product database of the Windows
system or cannot be read, a column of OLD has a type the database engine does
not have, or DATABASE cannot be written (then DATABASE does not exist).

The template commands exit with 0 when done, 1 when lines were refused (then
nothing is written), 2 for usage errors and a FILE that cannot be read or
written or is not a library file, 3 when the library cannot be opened or
written (it is as it was).

The field template library, unless -t names one: base.mdb beside the
component, librv_makeDB.so, when it is there (the build tree); else
rv_makedb/base.mdb from the first data folder holding one: $XDG_DATA_HOME
(~/.local/share), each of $XDG_DATA_DIRS (/usr/local/share:/usr/share), the
installation's <prefix>/share. A library of the shared folders is never
written: the first change copies it to $XDG_DATA_HOME/rv_makedb/base.mdb,
and the changes go there.
)",
};

cli::Parsed parseCommandLine(const std::vector<std::string>& args) {
    cli::Parsed parsed = cli::parse(kProgram, args);
    if (parsed.exit) {
        return parsed;
    }
    const std::vector<std::string>& positional = parsed.args.positional();
    if (positional.size() > 1) {
        return cli::usageError(kProgram, "only one DATABASE may be given");
    }
    if (!positional.empty() && positional.front().empty()) {
        return cli::usageError(kProgram, "empty DATABASE");
    }
    if (parsed.args.has("list-fields") && (positional.empty() || parsed.args.has("fields"))) {
        return cli::usageError(kProgram, "--list-fields needs a DATABASE and no --fields");
    }
    if (parsed.args.has("import-jet")) {
        for (const char* other : {"fields", "list-fields", "templates", "test-window", "library"}) {
            if (parsed.args.has(other)) {
                return cli::usageError(kProgram,
                                       std::string("--import-jet goes without --") + other);
            }
        }
        if (positional.empty()) {
            return cli::usageError(kProgram, "--import-jet needs the DATABASE to make");
        }
    }
    if (parsed.args.has("fields") && positional.empty()) {
        return cli::usageError(kProgram, "--fields needs a DATABASE");
    }
    return parsed;
}

}  // namespace rv_makedb
