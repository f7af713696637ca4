#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "session/Operations.h"
#include "session/Session.h"
#include "storage/ClientFile.h"
#include "storage/FileSystem.h"

// Loading a full client file and saving one record (with its flush to the disk).
namespace {

std::string fullClientFile() {
    const auto dir = std::filesystem::temp_directory_path() / "qlm-bench-clients";
    std::filesystem::create_directories(dir);
    const auto file = dir / "DATA401.QLM";
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << std::string(51 * qlm::ClientRecord::Size, '1');
    return file.string();
}

void LoadFullClientFile(benchmark::State& state) {
    const qlm::FileSystem files;
    qlm::Session session(files, "/tmp");
    const std::string clients = fullClientFile();
    for (auto _ : state) {
        qlm::LoadClients(session, clients);
        benchmark::DoNotOptimize(session.Clients.NumberOfClients());
    }
}
BENCHMARK(LoadFullClientFile);

void SaveOneClient(benchmark::State& state) {
    const qlm::FileSystem files;
    qlm::Session session(files, "/tmp");
    qlm::LoadClients(session, fullClientFile());
    for (auto _ : state) {
        qlm::SaveClient(session, 51);
    }
}
BENCHMARK(SaveOneClient);

}  // namespace
