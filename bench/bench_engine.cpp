// The product database build with N new fields, through the engine and through raw
// SQLCipher replaying the SQL the engine handed to SQLCipher for the same work.
//
// The work, inside one transaction: the twenty tables, the seed rows, a zero-length pass
// over the catalog, N x (FIELD insert with a size + ALTER TABLE ADDRESS ADD COLUMN), a
// second zero-length pass, N display-order updates, commit. Both sides start from a file
// made by jet::Catalog::create and already open with its key derived, so the timed part
// is the work alone.

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
    std::size_t traced = 0;  // SQL texts the engine handed to SQLCipher
};
std::map<int, Figures> g_figures;
std::map<int, std::vector<std::string>> g_traces;

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

// One engine run on a new file; the SQL sent to SQLCipher goes to `trace` when given.
double engineRun(int n, std::vector<std::string>* trace) {
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
    std::filesystem::remove(path);
    return seconds;
}

const std::vector<std::string>& traceFor(int n) {
    auto it = g_traces.find(n);
    if (it == g_traces.end()) {
        std::vector<std::string> trace;
        engineRun(n, &trace);
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

// The same SQL replayed through the raw API on a new file keyed the same way.
double rawRun(const std::vector<std::string>& trace) {
    const std::string path = scratch().newFile();
    jet::Catalog::create(jet::ConnectionString::build(path, kPassword));
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + path);
    }
    sqlite3_key(db, kPassword.data(), static_cast<int>(kPassword.size()));
    exec(db, "SELECT count(*) FROM sqlite_master");  // derives the key, outside the timing
    exec(db, "PRAGMA cell_size_check=ON");           // as the engine opens a file

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

void printSummary() {
    std::printf("\nProduct database build, median of the runs (ms):\n");
    std::printf("%6s %12s %12s %8s %14s %16s %10s\n", "N", "engine", "raw", "ratio", "overhead",
                "overhead/field", "sql texts");
    for (const auto& [n, f] : g_figures) {
        if (f.engine.empty() || f.raw.empty()) {
            continue;
        }
        const double e = median(f.engine) * 1e3;
        const double r = median(f.raw) * 1e3;
        std::printf("%6d %12.1f %12.1f %8.2f %14.1f %16.3f %10zu\n", n, e, r, e / r, e - r,
                    (e - r) / n, f.traced);
    }
    std::printf("target: ratio <= 1.3 at N = 255; overhead/field about constant\n");
}

}  // namespace

int main(int argc, char** argv) {
    for (int n : kFieldCounts) {
        const int runs = n >= 1000 ? 3 : 5;
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
    }
    if (!bench::runAll(argc, argv)) {
        return 1;
    }
    printSummary();
    return 0;
}
