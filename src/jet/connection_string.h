// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace jet {

// An ADO connection string for the Jet provider: "key=value;" pairs, keys compared
// without regard to case, blanks around keys and unquoted values trimmed, values
// optionally quoted with " or ' (the enclosing quote doubled inside), so that they may
// hold ';', quotes and blanks at their edges.
//
//   Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/x/y.mdb; Jet OLEDB:Database Password=pw;
//
// A bare PostgreSQL connection URI (see namesServer()) is taken whole as the Data Source,
// without a password: libpq's own ways (PGPASSFILE, PGPASSWORD) then supply one.
// Any other provider is refused; Data Source is required. Keys that only steer ADO
// (Persist Security Info, User ID, Password, Mode, other "Jet OLEDB:" settings) are
// accepted and ignored; anything else is refused so that a typo does not pass silently.
// A NUL character can be part of neither a path nor a password and is refused, and so
// is a key named twice (in any case), which would otherwise let the last value win.
class ConnectionString {
  public:
    static constexpr std::string_view kJetProvider = "Microsoft.Jet.OLEDB.4.0";

    // True when `dataSource` names a database on a PostgreSQL server: a connection URI
    // ("postgresql://…" or "postgres://…", scheme in any case), which goes to libpq as it
    // stands. Anything else is a file's path.
    static bool namesServer(std::string_view dataSource);
    // The URI as messages may show it: a password written into it is left out.
    static std::string withoutPassword(std::string_view uri);

    // Throws jet::Error (ErrorCode::kConnectionString) with the reason.
    static ConnectionString parse(std::string_view text);

    // The product's own form: "Provider=...;Data Source=" + path +
    // "; Jet OLEDB:Database Password=" + password + ";". A value that would not read back
    // as itself unquoted (one holding ';' or a quote, or with blanks at an edge) is put
    // between double quotes, double quotes inside it doubled; parse() gives back exactly
    // `path` and `password`. Throws jet::Error (kConnectionString) for a NUL character.
    static std::string build(std::string_view path, std::string_view password);

    // A file opened without a password, as a template library is named:
    // "Provider=...;Data Source=" + path + ";Persist Security Info=False", quoted as above.
    static std::string forFile(std::string_view path);

    const std::string& dataSource() const { return m_dataSource; }
    const std::string& password() const { return m_password; }

  private:
    std::string m_dataSource;
    std::string m_password;
};

// Whether `text` names a database by a connection string ("key=value;...") rather than by
// a file's path or a server's URI: a connection string holds '=', which the programs take
// no path to hold (a URI's parameters may).
bool isConnectionString(std::string_view text);

// The connection string of what `pathOrConnection` names: itself when it is a connection
// string, else ConnectionString::forFile of the path.
std::string connectionStringFor(std::string_view pathOrConnection);

}  // namespace jet
