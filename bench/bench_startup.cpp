// SPDX-License-Identifier: MIT
// Cold start of the wizard: rv_makedb, started afresh each time with the bundled base.mdb
// beside it, opens the wizard on a new file in a temporary folder; its start-up probe
// (RV_MAKEDB_STARTUP_PROBE) prints the time from process start to the window shown and
// presses Cancel, which removes the file again.
//
// Two figures per run: what the program measured itself (kernel start time, 10 ms steps),
// and the time from spawning it here until its line arrived (includes exec and loading
// the libraries, in microseconds).

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

#include "bench_support.h"

namespace {

using bench::median;
using bench::Scratch;

using Clock = std::chrono::steady_clock;

constexpr int kRuns = 7;

std::vector<double> g_self;
std::vector<double> g_spawned;

std::filesystem::path programFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

struct Run {
    double selfMs = 0;
    double spawnedMs = 0;
};

// One start of rv_makedb on database; throws when it fails or leaves the file behind.
Run startOnce(const std::filesystem::path& program, const std::filesystem::path& database) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0) {
            env.emplace_back(*e);
        }
    }
    env.emplace_back("QT_QPA_PLATFORM=offscreen");
    env.emplace_back("RV_MAKEDB_STARTUP_PROBE=1");
    std::vector<char*> envp;
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::string programText = program.string();
    std::string databaseText = database.string();
    char* argv[] = {programText.data(), databaseText.data(), nullptr};

    int out[2];
    if (::pipe(out) != 0) {
        throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    pid_t pid = 0;
    const auto start = Clock::now();
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        throw std::runtime_error("cannot start " + programText);
    }

    Run run;
    std::string output;
    char buffer[256];
    bool seen = false;
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) {
        output.append(buffer, static_cast<std::size_t>(n));
        if (!seen && output.find('\n') != std::string::npos) {
            run.spawnedMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            seen = true;
        }
    }
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("rv_makedb failed: " + output);
    }
    if (std::sscanf(output.c_str(), "startup_ms %lf", &run.selfMs) != 1) {
        throw std::runtime_error("no start-up time from rv_makedb: " + output);
    }
    if (std::filesystem::exists(database)) {
        throw std::runtime_error("Cancel left " + databaseText + " behind");
    }
    return run;
}

void BM_ColdStart(benchmark::State& state) {
    const std::filesystem::path program = programFolder() / "rv_makedb";
    Scratch scratch;
    int n = 0;
    for (auto _ : state) {
        try {
            const Run run =
                startOnce(program, scratch.dir() / ("new" + std::to_string(++n) + ".mdb"));
            state.SetIterationTime(run.spawnedMs / 1e3);
            g_self.push_back(run.selfMs);
            g_spawned.push_back(run.spawnedMs);
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            break;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("wizard_cold_start", BM_ColdStart)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(kRuns);
    if (!bench::runAll(argc, argv)) {
        return 1;
    }
    if (g_spawned.empty()) {
        return 1;
    }
    std::printf(
        "\nWizard cold start (process start to window shown, bundled base.mdb), median "
        "of %zu runs:\n",
        g_spawned.size());
    std::printf("  from spawn: %.1f ms   as measured by rv_makedb: %.1f ms\n", median(g_spawned),
                median(g_self));
    return 0;
}
