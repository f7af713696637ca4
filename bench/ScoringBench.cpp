#include <benchmark/benchmark.h>

#include <filesystem>

#include "scoring/Scoring.h"
#include "session/Operations.h"
#include "session/Session.h"
#include "storage/FileSystem.h"

// Scoring one client from start to end, with both scoring tables read from the built program
// folder as every report does.
namespace {

// The benches lie in build/bench, the program folder is build/bin.
std::string builtProgramFolder() {
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / ".." / "bin").string();
}

void ScoreOneClient(benchmark::State& state) {
    const qlm::FileSystem files;
    qlm::Session session(files, builtProgramFolder());
    qlm::ClientRecord& record = session.Clients.entry(1);
    record.set(&qlm::ClientRecord::Sex, "2");
    record.set(&qlm::ClientRecord::Race, "3");
    record.set(&qlm::ClientRecord::Education, "8");
    record.set(&qlm::ClientRecord::ArrestCount, "4");
    std::string answers;
    for (int item = 1; item <= 109; ++item) {
        answers += static_cast<char>('1' + item % (item <= 97 ? 2 : 4));
    }
    record.set(&qlm::ClientRecord::Answers, answers);
    session.CurrentClient = 1;
    for (auto _ : state) {
        qlm::ScoreCurrentClient(session);
        benchmark::DoNotOptimize(session.Scoring.Percentile);
    }
}
BENCHMARK(ScoreOneClient);

}  // namespace
