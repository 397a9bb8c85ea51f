// SPDX-License-Identifier: MIT
// The product database build with N new fields, through the engine and through raw
// SQLCipher replaying the SQL the engine handed to SQLCipher for the same work, and the
// floor: the same final schema made with one CREATE TABLE per table (the definitions as
// the engine stored them, rules included) and the same rows, through raw SQLCipher.
//
// The work, inside one transaction: the twenty tables, the seed rows, a zero-length pass
// over the catalog, N x (FIELD insert with a size + ALTER TABLE ADDRESS ADD COLUMN), a
// second zero-length pass, N display-order updates, commit. Every side starts from an
// encrypted file made by jet::Catalog::create and already open with its key derived, so
// the timed part is the work alone.

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "bench_support.h"
#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "jet/error.h"
#include "jet/placeholders.h"
#include "productdb/schema.h"

namespace {

using bench::median;
using bench::Scratch;

using Clock = std::chrono::steady_clock;

constexpr std::string_view kPassword = "bench-password";
constexpr int kFieldCounts[] = {10, 100, 255, 1000};

struct Figures {
    std::vector<double> engine;
    std::vector<double> raw;
    std::vector<double> floor;
    std::size_t traced = 0;  // SQL texts the engine handed to SQLCipher
};
std::map<int, Figures> g_figures;
std::map<int, std::vector<std::string>> g_traces;
// The floor's statements: the final CREATE TABLEs and the final rows.
std::map<int, std::vector<std::string>> g_floors;

Scratch& scratch() {
    static Scratch s;
    return s;
}

// As the builder does it: every column whose attributes are exactly "nullable", over every
// table the catalog lists, ignoring what a table refuses.
void zeroLengthPass(jet::Connection& conn) {
    jet::Catalog catalog(conn);
    for (const jet::TableInfo& t : catalog.tables()) {
        for (const jet::ColumnInfo& col : t.columns) {
            if (col.attributes == jet::kColNullable) {
                try {
                    catalog.setProperty(t.name, col.name, jet::kAllowZeroLength, true);
                } catch (const jet::Error&) {
                }
            }
        }
    }
}

std::string fieldId(int i) {
    // Appended rather than operator+, which trips GCC 12's -Wrestrict at -O2.
    return std::string("F").append(std::to_string(i));
}

void build(jet::Connection& conn, int n) {
    conn.beginTrans();
    for (std::string_view create : productdb::kCreateTables) {
        conn.execute(create);
    }
    conn.execute(jet::fill(productdb::kInsertInfo, {"2024-05-17"}));
    conn.execute(productdb::kInsertSeqno);
    zeroLengthPass(conn);
    for (int i = 1; i <= n; ++i) {
        const std::string id = fieldId(i);
        const std::string name = std::string("項目").append(std::to_string(i));
        conn.execute(productdb::insertFieldWithSize(id, name, "T", "20", "1", "0", "0"));
        conn.execute(jet::fill(productdb::kAddAddressColumnWithWidth, {id, "TEXT", "20"}));
    }
    zeroLengthPass(conn);
    for (int i = 1; i <= n; ++i) {
        conn.execute(jet::fill(productdb::kUpdateDispSeqno, {std::to_string(i), fieldId(i)}));
    }
    conn.commitTrans();
}

std::vector<std::string> floorStatements(const std::string& path, int n);

// One engine run on a new file; the SQL sent to SQLCipher goes to `trace` when given,
// the statements of the floor for the same result to `floor`.
double engineRun(int n, std::vector<std::string>* trace,
                 std::vector<std::string>* floor = nullptr) {
    const std::string path = scratch().newFile();
    const std::string connStr = jet::ConnectionString::build(path, kPassword);
    jet::Catalog::create(connStr);
    jet::Connection conn;
    conn.open(connStr);
    if (trace) {
        conn.setEngineTrace([trace](std::string_view sql) { trace->emplace_back(sql); });
    }
    const auto start = Clock::now();
    build(conn, n);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    conn.close();
    if (floor) {
        *floor = floorStatements(path, n);
    }
    std::filesystem::remove(path);
    return seconds;
}

const std::vector<std::string>& traceFor(int n) {
    auto it = g_traces.find(n);
    if (it == g_traces.end()) {
        std::vector<std::string> trace;
        engineRun(n, &trace, &g_floors[n]);
        it = g_traces.emplace(n, std::move(trace)).first;
        g_figures[n].traced = it->second.size();
    }
    return it->second;
}

bool beginsTransaction(std::string_view sql) {
    std::string head(sql.substr(0, 5));
    std::transform(head.begin(), head.end(), head.begin(), ::toupper);
    return head == "BEGIN";
}

void exec(sqlite3* db, const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : "unknown error";
        sqlite3_free(message);
        throw std::runtime_error(text + " in: " + sql);
    }
}

// `path` opened raw with the key derived, as the engine opens a file.
sqlite3* openRaw(const std::string& path) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + path);
    }
    sqlite3_key(db, kPassword.data(), static_cast<int>(kPassword.size()));
    exec(db, "SELECT count(*) FROM sqlite_master");  // derives the key
    exec(db, "PRAGMA cell_size_check=ON");
    return db;
}

std::string quoted(const unsigned char* text) {
    std::string out = "'";
    for (const char* c = reinterpret_cast<const char*>(text); *c; ++c) {
        out += *c == '\'' ? "''" : std::string(1, *c);
    }
    return out + "'";
}

// The tables as the engine left them in `path`, each as one CREATE TABLE, and the
// rows of INFO, SEQNO and FIELD as plain inserts of their final values.
std::vector<std::string> floorStatements(const std::string& path, int n) {
    sqlite3* db = openRaw(path);
    std::vector<std::string> out;
    std::vector<std::string> tables;
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT name, sql FROM sqlite_master WHERE type='table' AND name NOT "
                       "LIKE 'sqlite%' ORDER BY rowid",
                       -1, &s, nullptr);
    while (sqlite3_step(s) == SQLITE_ROW) {
        tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
        out.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)));
    }
    sqlite3_finalize(s);
    for (const std::string& table : tables) {
        sqlite3_prepare_v2(db, ("SELECT * FROM \"" + table + "\"").c_str(), -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW) {
            std::string insert = "INSERT INTO \"" + table + "\" VALUES(";
            for (int i = 0; i < sqlite3_column_count(s); ++i) {
                insert += i ? "," : "";
                const unsigned char* v = sqlite3_column_text(s, i);
                insert += !v ? "NULL"
                          : sqlite3_column_type(s, i) == SQLITE_TEXT
                              ? quoted(v)
                              : std::string(reinterpret_cast<const char*>(v));
            }
            out.push_back(insert + ")");
        }
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    if (out.size() != tables.size() + 2 + static_cast<std::size_t>(n)) {
        throw std::runtime_error("the engine's file does not hold the expected rows");
    }
    return out;
}

// The statements run through the raw API on a new file keyed the same way, in one
// transaction unless they hold their own.
double rawRun(const std::vector<std::string>& trace) {
    const std::string path = scratch().newFile();
    jet::Catalog::create(jet::ConnectionString::build(path, kPassword));
    sqlite3* db = openRaw(path);

    const bool ownTransaction = std::none_of(
        trace.begin(), trace.end(), [](const std::string& s) { return beginsTransaction(s); });
    const auto start = Clock::now();
    if (ownTransaction) {
        exec(db, "BEGIN");
    }
    for (const std::string& sql : trace) {
        exec(db, sql);
    }
    if (ownTransaction) {
        exec(db, "COMMIT");
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    sqlite3_close(db);
    std::filesystem::remove(path);
    return seconds;
}

void BM_Engine(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    traceFor(n);
    for (auto _ : state) {
        try {
            const double s = engineRun(n, nullptr);
            state.SetIterationTime(s);
            g_figures[n].engine.push_back(s);
        } catch (const jet::Error& e) {
            state.SkipWithError(e.what());
            break;
        }
    }
    state.counters["fields"] = n;
}

void BM_Raw(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<std::string>* trace = nullptr;
    try {
        trace = &traceFor(n);
    } catch (const jet::Error& e) {
        state.SkipWithError(e.what());
        return;
    }
    for (auto _ : state) {
        try {
            const double s = rawRun(*trace);
            state.SetIterationTime(s);
            g_figures[n].raw.push_back(s);
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            break;
        }
    }
    state.counters["fields"] = n;
    state.counters["sql_texts"] = static_cast<double>(trace->size());
}

void BM_Floor(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    try {
        traceFor(n);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    for (auto _ : state) {
        try {
            const double s = rawRun(g_floors[n]);
            state.SetIterationTime(s);
            g_figures[n].floor.push_back(s);
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            break;
        }
    }
    state.counters["fields"] = n;
}

void printSummary() {
    std::printf("\nProduct database build, median of the runs (ms):\n");
    std::printf("%6s %10s %10s %8s %12s %10s %8s %12s %10s\n", "N", "engine", "raw", "ratio",
                "overhead/f", "floor", "/floor", "engine/f", "sql texts");
    for (const auto& [n, f] : g_figures) {
        if (f.engine.empty() || f.raw.empty() || f.floor.empty()) {
            continue;
        }
        const double e = median(f.engine) * 1e3;
        const double r = median(f.raw) * 1e3;
        const double fl = median(f.floor) * 1e3;
        std::printf("%6d %10.1f %10.1f %8.2f %12.3f %10.1f %8.2f %12.3f %10zu\n", n, e, r, e / r,
                    (e - r) / n, fl, e / fl, e / n, f.traced);
    }
    std::printf(
        "raw: the engine's own SQL replayed; floor: the final tables made with one CREATE\n"
        "TABLE each and the final rows inserted; /f: per field.\n"
        "targets: ratio <= 1.3 at N = 255; /floor <= 1.5 at N = 255 and 1000;\n"
        "engine/f about the same from N = 255 to 1000\n");
}

}  // namespace

int main(int argc, char** argv) {
    for (int n : kFieldCounts) {
        // Enough runs that the medians hold still on a shared machine.
        const int runs = n >= 1000 ? 9 : 15;
        benchmark::RegisterBenchmark("engine_build", BM_Engine)
            ->Arg(n)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(runs);
        benchmark::RegisterBenchmark("raw_build", BM_Raw)
            ->Arg(n)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(runs);
        benchmark::RegisterBenchmark("floor_build", BM_Floor)
            ->Arg(n)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(runs);
    }
    if (!bench::runAll(argc, argv)) {
        return 1;
    }
    printSummary();
    return 0;
}
