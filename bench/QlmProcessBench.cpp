#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

// qlm as a whole process, start to exit, as a user or a script runs it: the demo clients in a
// data location of the bench's own, the data files of the built program folder. QLM_BENCH_QLM
// names another qlm to time (an older build, to compare).
namespace {

namespace fs = std::filesystem;

const fs::path& builtProgramFolder() {
    static const fs::path folder =
        (fs::read_symlink("/proc/self/exe").parent_path() / ".." / "bin").lexically_normal();
    return folder;
}

const std::string& demoLocation() {
    static const std::string folder = [] {
        std::string pattern = (fs::temp_directory_path() / "qlm-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        fs::copy_file(fs::path(QLM_SOURCE_DIR) / "demo" / "DATA401.QLM",
                      fs::path(pattern) / "DATA401.QLM");
        static const std::string removed = pattern;
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(removed, ignored);
        });
        return pattern;
    }();
    return folder;
}

void RunQlm(benchmark::State& state, std::vector<std::string> args) {
    const char* other = std::getenv("QLM_BENCH_QLM");
    const std::string program = other != nullptr ? other : (builtProgramFolder() / "qlm").string();
    args.insert(args.begin(), program);
    args.insert(args.end(), {"--home", builtProgramFolder().string(), "--data", demoLocation()});
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    double childCpu = 0;  // the benchmark's own CPU column counts only the spawning
    for (auto _ : state) {
        pid_t child = 0;
        int status = 0;
        rusage usage{};
        if (posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ) != 0 ||
            wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            state.SkipWithError(("cannot run " + program).c_str());
            break;
        }
        for (const timeval& t : {usage.ru_utime, usage.ru_stime}) {
            childCpu += static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    state.counters["qlm_cpu_ms"] = benchmark::Counter(childCpu, benchmark::Counter::kAvgIterations);
}

}  // namespace

BENCHMARK_CAPTURE(RunQlm, version, {"--version"})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunQlm, clients, {"clients"})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunQlm, score, {"score", "--client", "1"})->Unit(benchmark::kMillisecond);
