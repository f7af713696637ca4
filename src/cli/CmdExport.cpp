#include <ostream>
#include <string>

#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "session/LogAccess.h"
#include "session/ScoreExport.h"
#include "session/Session.h"
#include "storage/FileSystem.h"

namespace qlm::cli {

int RunExport(Session& session, const CliArgs& args, std::ostream& out) {
    args.allow({"home", "data", "csv", "out"});
    if (!args.has("csv")) {
        throw UsageError("export needs --csv (the only format it writes)");
    }
    OpenLocationFor(session, args);
    const std::string csv = ScoresCsv(session);
    LogFor(session, AccessAction::Export, AllClients(session), "nothing was exported");
    if (const auto path = args.get("out")) {
        session.Files.replaceFile(*path, csv);
        out << *path << '\n';
    } else {
        out << csv;
    }
    return 0;
}

}  // namespace qlm::cli
