#include <benchmark/benchmark.h>

#include <filesystem>

#include "cli/PdfOutput.h"
#include "report/Publisher.h"
#include "session/Operations.h"
#include "session/Session.h"
#include "storage/CodeTexts.h"
#include "storage/FileSystem.h"

// A full data location's 51 reports written and laid out as one PDF, as `qlm report --all
// --pdf` does it, with the shipped tables and the PDF writer beside the program (build/bin).
namespace {

std::string programFolder() {
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / ".." / "bin")
        .lexically_normal()
        .string();
}

void FullLocationAsPdf(benchmark::State& state) {
    const qlm::FileSystem files;
    qlm::Session session(files, programFolder());
    qlm::FillCodeTexts(session.Codes);
    session.Publisher = qlm::ReadPublisherCode(files, session.ProgramFolder);
    session.PublisherTexts =
        qlm::LoadPublisherTexts(files, session.ProgramFolder, session.Publisher);
    for (int n = 1; n <= qlm::Session::MaxClients; ++n) {
        qlm::ClientRecord& record = session.Clients.entry(n);
        record.set(&qlm::ClientRecord::Name, "BENCH CLIENT " + std::to_string(n));
        record.set(&qlm::ClientRecord::Age, "15");
        std::string answers;
        for (int i = 1; i <= 109; ++i) {
            answers += static_cast<char>('1' + (i * n) % (i <= 97 ? 2 : 4));
        }
        record.set(&qlm::ClientRecord::Answers, answers);
    }
    const std::string pdf = (std::filesystem::temp_directory_path() / "qlm-bench.pdf").string();
    for (auto _ : state) {
        std::string text;
        for (int n = 1; n <= qlm::Session::MaxClients; ++n) {
            session.CurrentClient = static_cast<std::int16_t>(n);
            qlm::ScoreCurrentClient(session);
            text += (text.empty() ? "" : "\f") + qlm::ComposeReport(session);
        }
        qlm::cli::WriteReportPdf(text, pdf, {programFolder() + "/libqlmpdf.so"});
    }
    std::filesystem::remove(pdf);
}

}  // namespace

BENCHMARK(FullLocationAsPdf)->Unit(benchmark::kMillisecond)->Iterations(3);
