// SPDX-License-Identifier: MIT
// Cold starts, from the spawn to the first paint of the window: a bare Qt dialog as large as
// the wizard (startup_bare_dialog, the floor), and rv_makedb opening the wizard on a new file
// with the shipped base.mdb, and with libraries of 10,000 and 100,000 entries (copies of
// base.mdb filled in a temporary folder beforehand). Each program prints a line on its first
// paint and closes; the time is the spawn until that line arrives (exec, loading the
// libraries, the program's own start). rv_makedb's Cancel removes the new file again.
// Beside them, the same dialog holding controls of the wizard's kinds with Japanese texts and
// no logic (startup_bare_dialog --controls): what Qt itself costs for such a window, the
// fonts of its texts included, which a bare dialog never loads.
//
// The five take turns within every round, the first of a round moving on each time, so that
// all meet the same machine load; the summary gives medians and their ratios. The platform is
// the X server of DISPLAY when there is one and QT_QPA_PLATFORM is not set (xvfb-run -a), else
// offscreen.
//
// Targets: the wizard with the shipped library at most 1.2 times the bare dialog; with 10,000
// and 100,000 entries at most 1.1 times the shipped library.

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

#include "bench_support.h"
#include "template_library.h"

namespace {

using bench::median;
using bench::Scratch;

using Clock = std::chrono::steady_clock;

constexpr int kRounds = 9;

struct Case {
    const char* name;
    std::string program;
    std::vector<std::string> arguments;  // the new database's path comes last
    bool wizard;
    std::vector<double> ms;
    std::vector<double> cpuMs;
};

struct Start {
    double ms;     // from the spawn to the line
    double cpuMs;  // processor time until the first paint, as the program says in its line
};

std::array<Case, 5> g_cases;

std::filesystem::path programFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

// The platform the programs are told to use; empty on a display, where they find it
// themselves as on a desktop.
std::string platform() {
    const char* set = std::getenv("QT_QPA_PLATFORM");
    if (set != nullptr && *set != '\0') {
        return set;
    }
    return std::getenv("DISPLAY") != nullptr ? "" : "offscreen";
}

// One start: the milliseconds until its line arrived, and the processor time the program
// used. Throws when it fails or, for the wizard, leaves the file behind.
Start startOnce(const Case& c, const std::filesystem::path& database) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0) {
            env.emplace_back(*e);
        }
    }
    if (!platform().empty()) {
        env.emplace_back("QT_QPA_PLATFORM=" + platform());
    }
    env.emplace_back("RV_MAKEDB_STARTUP_PROBE=1");
    std::vector<char*> envp;
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::vector<std::string> args{c.program};
    args.insert(args.end(), c.arguments.begin(), c.arguments.end());
    if (c.wizard) {
        args.push_back(database.string());
    }
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

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
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        throw std::runtime_error("cannot start " + c.program);
    }
    double ms = -1;
    std::string output;
    char buffer[256];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) {
        output.append(buffer, static_cast<std::size_t>(n));
        if (ms < 0 && output.find('\n') != std::string::npos) {
            ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
    }
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    const auto cpu = output.find("cpu_ms ");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || ms < 0 || cpu == std::string::npos) {
        throw std::runtime_error(std::string(c.name) + " failed: " + output);
    }
    if (c.wizard && std::filesystem::exists(database)) {
        throw std::runtime_error("Cancel left " + database.string() + " behind");
    }
    return {ms, std::stod(output.substr(cpu + 7))};
}

void BM_ColdStarts(benchmark::State& state) {
    Scratch scratch;
    const std::filesystem::path folder = programFolder();
    const std::string large = scratch.path("large.mdb");
    const std::string huge = scratch.path("huge.mdb");
    bench::makeLibrary(large, 10000 - bench::kLibraryFolders);
    bench::makeLibrary(huge, 100000 - bench::kLibraryFolders);
    const std::string wizard = (folder / "rv_makedb").string();
    const std::string dialog = (folder / "startup_bare_dialog").string();
    g_cases = {Case{"bare Qt dialog", dialog, {}, false, {}, {}},
               Case{"wizard, shipped library", wizard, {}, true, {}, {}},
               Case{"wizard, 10,000 entries", wizard, {"--library", large}, true, {}, {}},
               Case{"wizard, 100,000 entries", wizard, {"--library", huge}, true, {}, {}},
               Case{"dialog with such controls", dialog, {"--controls"}, false, {}, {}}};
    int n = 0;
    std::size_t first = 0;
    for (auto _ : state) {
        try {
            for (std::size_t i = 0; i < g_cases.size(); ++i) {
                Case& c = g_cases[(first + i) % g_cases.size()];
                const Start run =
                    startOnce(c, scratch.dir() / ("new" + std::to_string(++n) + ".mdb"));
                c.ms.push_back(run.ms);
                c.cpuMs.push_back(run.cpuMs);
            }
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            break;
        }
        first = (first + 1) % g_cases.size();
        state.SetIterationTime(g_cases[1].ms.back() / 1e3);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // where makeLibrary() finds base.mdb
    benchmark::RegisterBenchmark("cold_starts", BM_ColdStarts)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(kRounds);
    if (!bench::runAll(argc, argv)) {
        return 1;
    }
    if (g_cases[0].ms.empty()) {
        return 1;
    }
    std::printf(
        "\nCold start to the first paint (platform %s), median of %zu rounds (ms; the "
        "processor time until then beside it):\n",
        platform().c_str(), g_cases[0].ms.size());
    for (const Case& c : g_cases) {
        std::printf("  %-26s %8.1f %8.1f\n", c.name, median(c.ms), median(c.cpuMs));
    }
    const auto ratios = [](const char* what, std::vector<double> Case::*figures) {
        const double bare = median(g_cases[0].*figures);
        const double shipped = median(g_cases[1].*figures);
        std::printf(
            "%s: wizard / bare dialog %.2f (target <= 1.2); 10,000 / shipped %.2f, "
            "100,000 / shipped %.2f (targets <= 1.1)\n",
            what, shipped / bare, median(g_cases[2].*figures) / shipped,
            median(g_cases[3].*figures) / shipped);
    };
    ratios("ratios", &Case::ms);
    ratios("processor time ratios", &Case::cpuMs);
    std::printf(
        "beside the target: wizard / a dialog with controls of its kinds and no logic %.2f "
        "(processor time %.2f); that dialog / the bare dialog %.2f (processor time %.2f), "
        "what Qt alone takes to draw such a window\n",
        median(g_cases[1].ms) / median(g_cases[4].ms),
        median(g_cases[1].cpuMs) / median(g_cases[4].cpuMs),
        median(g_cases[4].ms) / median(g_cases[0].ms),
        median(g_cases[4].cpuMs) / median(g_cases[0].cpuMs));
    return 0;
}
