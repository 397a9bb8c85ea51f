// SPDX-License-Identifier: MIT
#pragma once

// The two databases as tests need them, made the way the product makes them: the template
// library from the shipped base.mdb, the product database from the builder's own schema.

#include <string>
#include <vector>

namespace rvtest {

std::string readBytes(const std::string& path);

// A file of the Windows system's databases kept in tests/data/jet.
std::string jetFixture(const std::string& name);

// The connection string of a database file without a password, as a host writes it.
std::string connectionString(const std::string& path);

// A copy of the shipped template library at `path`; returns its connection string.
std::string templateLibrary(const std::string& path);

// The same, emptied through the engine with its numbering started afresh, holding `rows`
// instead: each the values FIELD_NO, P_FIELD_NO, KIND, FIELD_ID, FIELD_NAME, ATTR,
// FIELD_SIZE, SORTBY, IME, DIS_ALT_FLG of one entry, as SQL.
std::string templateLibrary(const std::string& path, const std::vector<std::string>& rows);

// A product database at `path` with the twenty tables of a build and the given FIELD
// registrations (whole INSERT statements).
void productDatabase(const std::string& path, const std::string& password,
                     const std::vector<std::string>& fieldInserts);

}  // namespace rvtest
