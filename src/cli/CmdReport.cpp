#include <numeric>
#include <ostream>
#include <string>
#include <vector>

#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "cli/PdfOutput.h"
#include "report/Report.h"
#include "session/ClientList.h"
#include "session/Operations.h"
#include "session/Session.h"
#include "storage/FileSystem.h"

namespace qlm::cli {

int RunReport(Session& session, const CliArgs& args, std::ostream& out) {
    args.allow({"home", "data", "client", "out", "pdf", "all"});
    if (args.has("out") && args.has("pdf")) {
        throw UsageError("--out and --pdf cannot be given together");
    }
    if (args.has("all") && args.has("client")) {
        throw UsageError("--client and --all cannot be given together");
    }
    std::vector<int> clients;
    if (args.has("all")) {
        OpenLocationFor(session, args);
        clients.resize(static_cast<std::size_t>(session.Clients.NumberOfClients()));
        std::iota(clients.begin(), clients.end(), 1);
    } else {
        SelectClientFor(session, args);
        clients.push_back(session.CurrentClient);
    }
    const std::string path =
        args.get("pdf").value_or(args.get("out").value_or(session.reportFile()));
    // Every report in client order, each client's pages after a form feed of their own; set
    // whole before the access log records it and it is written. A damaged record keeps no
    // other client's report from being written.
    std::string text;
    std::vector<int> written;
    std::vector<int> skipped;
    for (const int n : clients) {
        if (!session.Clients.damage(n).empty() && args.has("all")) {
            skipped.push_back(n);
            continue;
        }
        session.CurrentClient = n;
        ScoreCurrentClient(session);
        text += (text.empty() ? "" : "\f") + ComposeReport(session);
        written.push_back(n);
    }
    if (args.has("pdf") && written.empty()) {
        throw std::runtime_error(clients.empty()
                                     ? "the data location holds no clients: no PDF was written"
                                     : SkippedReports(skipped, "written") + " No PDF was written.");
    }
    LogFor(session, args.has("pdf") ? AccessAction::Pdf : AccessAction::Report, written,
           "no report was written");
    if (args.has("pdf")) {
        WriteReportPdf(text, path);
    } else {
        session.Files.replaceFile(path, text);
    }
    out << path << '\n';
    if (!skipped.empty()) {
        throw std::runtime_error(SkippedReports(skipped, "written"));
    }
    return 0;
}

}  // namespace qlm::cli
