// SPDX-License-Identifier: MIT
// Moving from the Windows system: the import of the 1,000-address fixture (the reader in
// its child process, the stream, the values, the engine's statements, one transaction),
// against the floor: the same rows read in this process with mdbtools' own binding and
// inserted with prepared statements into the same tables (the same rules) of a new
// encrypted file, in one transaction. Both sides make and key their file inside the timed
// part.

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/resource.h>

// The library's header wraps the system headers it includes in extern "C": GLib first.
#include <glib.h>
#include <iconv.h>
#include <locale.h>

#include <mdbtools.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_support.h"
#include "jet/catalog.h"
#include "jet/connection_string.h"
#include "productdb/jet_import.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kPassword = "bench-password";
constexpr std::size_t kBindSize = 256 * 1024;

std::vector<double> g_import, g_floor, g_importCpu, g_floorCpu;
std::size_t g_rows = 0;

double msSince(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

// Processor time (user and system) of this process and its ended children, in ms: on a
// loaded machine steadier than the wall clock, and it counts the reader's work too.
double cpuMs() {
    double ms = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage u{};
        ::getrusage(who, &u);
        for (const timeval& t : {u.ru_utime, u.ru_stime}) {
            ms += static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
        }
    }
    return ms;
}

// The tables as the import makes them, for the floor to fill.
std::vector<std::string> schemaOf(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_key(db, kPassword, static_cast<int>(std::strlen(kPassword)));
    std::vector<std::string> sql;
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT sql FROM sqlite_master WHERE sql IS NOT NULL AND name NOT LIKE "
                       "'sqlite%' ORDER BY type DESC",
                       -1, &s, nullptr);
    while (sqlite3_step(s) == SQLITE_ROW) {
        sql.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
    return sql;
}

void check(int rc, sqlite3* db, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
    }
}

double timeImport(const std::string& path) {
    const auto t = Clock::now();
    const productdb::JetImportResult r =
        productdb::importJetProduct(RV_JET_FIXTURE, {path, kPassword});
    const double ms = msSince(t);
    g_rows = r.rows;
    return ms;
}

double timeFloor(const std::string& path, const std::vector<std::string>& schema) {
    const auto t = Clock::now();
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    sqlite3_key(db, kPassword, static_cast<int>(std::strlen(kPassword)));
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db, "BEGIN");
    for (const std::string& s : schema) {
        check(sqlite3_exec(db, s.c_str(), nullptr, nullptr, nullptr), db, s.c_str());
    }
    MdbHandle* mdb = mdb_open(RV_JET_FIXTURE, MDB_NOFLAGS);
    mdb_set_bind_size(mdb, kBindSize);
    mdb_set_date_fmt(mdb, "%Y-%m-%d %H:%M:%S");
    GPtrArray* catalog = mdb_read_catalog(mdb, MDB_TABLE);
    std::size_t rows = 0;
    for (unsigned i = 0; i < catalog->len; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(catalog, i));
        if (!mdb_is_user_table(entry)) {
            continue;
        }
        MdbTableDef* table = mdb_read_table(entry);
        mdb_read_columns(table);
        const unsigned n = table->num_cols;
        std::vector<std::vector<char>> bound(n, std::vector<char>(kBindSize));
        std::vector<int> lengths(n);
        std::string insert = std::string("INSERT INTO \"") + table->name + "\" VALUES(";
        for (unsigned c = 0; c < n; ++c) {
            mdb_bind_column(table, static_cast<int>(c + 1), bound[c].data(), &lengths[c]);
            insert += c ? ",?" : "?";
        }
        insert += ")";
        sqlite3_stmt* stmt = nullptr;
        check(sqlite3_prepare_v2(db, insert.c_str(), -1, &stmt, nullptr), db, insert.c_str());
        mdb_rewind_table(table);
        while (mdb_fetch_row(table)) {
            for (unsigned c = 0; c < n; ++c) {
                const auto* col =
                    static_cast<const MdbColumn*>(g_ptr_array_index(table->columns, c));
                const int at = static_cast<int>(c + 1);
                if (col->col_type == MDB_BOOL) {
                    sqlite3_bind_int(stmt, at, bound[c][0] == '1' ? -1 : 0);
                } else if (lengths[c] == 0) {
                    sqlite3_bind_null(stmt, at);
                } else {
                    sqlite3_bind_text(stmt, at, bound[c].data(), lengths[c], SQLITE_STATIC);
                }
            }
            check(sqlite3_step(stmt), db, insert.c_str());
            sqlite3_reset(stmt);
            ++rows;
        }
        sqlite3_finalize(stmt);
        mdb_free_tabledef(table);
    }
    mdb_close(mdb);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "COMMIT");
    sqlite3_close(db);
    const double ms = msSince(t);
    if (rows != g_rows) {
        throw std::runtime_error("the floor read " + std::to_string(rows) + " rows");
    }
    return ms;
}

void BM_ImportJet(benchmark::State& st) {
    bench::Scratch scratch;
    const std::string first = scratch.newFile();
    timeImport(first);  // warm-up, and the tables for the floor
    const std::vector<std::string> schema = schemaOf(first);
    for (auto _ : st) {
        const double cpu0 = cpuMs();
        const double import = timeImport(scratch.newFile());
        const double cpu1 = cpuMs();
        const double floor = timeFloor(scratch.newFile(), schema);
        g_importCpu.push_back(cpu1 - cpu0);
        g_floorCpu.push_back(cpuMs() - cpu1);
        g_import.push_back(import);
        g_floor.push_back(floor);
        st.SetIterationTime(import / 1e3);
    }
}
BENCHMARK(BM_ImportJet)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    if (!bench::runAll(argc, argv)) {
        return 1;
    }
    const double i = bench::median(g_import), f = bench::median(g_floor);
    std::printf(
        "\n--import-jet of the 1,000-address fixture, %zu rows (median ms; target ratio <= 1.5)\n",
        g_rows);
    std::printf("%-12s %12s %12s %8s\n", "", "import", "floor", "ratio");
    std::printf("%-12s %12.1f %12.1f %8.2f\n", "wall", i, f, f > 0 ? i / f : 0.0);
    const double ic = bench::median(g_importCpu), fc = bench::median(g_floorCpu);
    std::printf("%-12s %12.1f %12.1f %8.2f\n", "processor", ic, fc, fc > 0 ? ic / fc : 0.0);
    return 0;
}
