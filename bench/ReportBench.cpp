#include <benchmark/benchmark.h>

#include <filesystem>

#include "report/Publisher.h"
#include "report/Report.h"
#include "session/Operations.h"
#include "session/Session.h"
#include "storage/CodeTexts.h"
#include "storage/FileSystem.h"

// Making one client's report from start to end: scoring with the shipped tables beside the
// program (build/bin), then composing and writing the report file.
namespace {

std::string programFolder() {
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / ".." / "bin")
        .lexically_normal()
        .string();
}

// Section 1 answered by `pattern` repeated, Section 2 with choices 1 to 4 in turn.
std::string answers(const std::string& pattern) {
    std::string text;
    while (text.size() < 97) {
        text += pattern;
    }
    text.resize(97);
    return text + "123412341234";
}

void MakeOneReport(benchmark::State& state, const std::string& pattern) {
    const qlm::FileSystem files;
    qlm::Session session(files, programFolder());
    qlm::FillCodeTexts(session.Codes);
    session.Publisher = qlm::ReadPublisherCode(files, session.ProgramFolder);
    qlm::ClientRecord& record = session.Clients.entry(1);
    record.set(&qlm::ClientRecord::Name, "BENCH CLIENT");
    record.set(&qlm::ClientRecord::Age, "15");
    record.set(&qlm::ClientRecord::Sex, "1");
    record.set(&qlm::ClientRecord::Race, "2");
    record.set(&qlm::ClientRecord::DateScored, "07/17/2026");
    record.set(&qlm::ClientRecord::Answers, answers(pattern));
    session.CurrentClient = 1;
    const std::string out =
        (std::filesystem::temp_directory_path() / "qlm-bench-report.prn").string();
    for (auto _ : state) {
        qlm::MakeReport(session, out);
    }
    std::filesystem::remove(out);
}

}  // namespace

// A mixed answer sheet gives a full report; one of only True answers an invalid-test report.
BENCHMARK_CAPTURE(MakeOneReport, full_report, std::string("1221212"))
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MakeOneReport, all_true, std::string("1"))->Unit(benchmark::kMicrosecond);
