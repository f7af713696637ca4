#include <numeric>
#include <ostream>
#include <string>
#include <vector>

#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "cli/PdfOutput.h"
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
    // whole before the access log records it and it is written.
    std::string text;
    for (const int n : clients) {
        session.CurrentClient = n;
        ScoreCurrentClient(session);
        text += (text.empty() ? "" : "\f") + ComposeReport(session);
    }
    if (args.has("pdf") && clients.empty()) {
        throw std::runtime_error("the data location holds no clients: no PDF was written");
    }
    LogFor(session, args.has("pdf") ? AccessAction::Pdf : AccessAction::Report, clients,
           "no report was written");
    if (args.has("pdf")) {
        WriteReportPdf(text, path);
    } else {
        session.Files.replaceFile(path, text);
    }
    out << path << '\n';
    return 0;
}

}  // namespace qlm::cli
