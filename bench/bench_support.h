// SPDX-License-Identifier: MIT
#pragma once

// What every benchmark here needs: a scratch folder of its own and medians.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace bench {

// A fresh folder under the system's temporary folder, removed with its contents.
class Scratch {
  public:
    Scratch() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "rv_bench_XXXXXX").string();
        if (::mkdtemp(tmpl.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        m_dir = tmpl;
    }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    const std::filesystem::path& dir() const { return m_dir; }
    std::string path(const std::string& name) const { return (m_dir / name).string(); }
    // A new database path each call.
    std::string newFile() { return path("db" + std::to_string(++m_count) + ".mdb"); }

  private:
    std::filesystem::path m_dir;
    int m_count = 0;
};

inline double median(std::vector<double> v) {
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A benchmark of widgets draws off screen, unless the environment names a platform.
inline void offscreenUnlessSet() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
}

// Registers `fn`, which times itself (manual time), to run `runs` times; shown in ms.
template <typename Fn>
inline void registerTimed(const char* name, Fn fn, int runs) {
    benchmark::RegisterBenchmark(name, fn)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(runs);
}

// Runs the registered benchmarks; false when the command line was not understood.
inline bool runAll(int& argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return false;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return true;
}

}  // namespace bench
