#include <ostream>
#include <string>

#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "report/Report.h"
#include "session/Operations.h"
#include "session/Session.h"

namespace qlm::cli {

int RunReport(Session& session, const CliArgs& args, std::ostream& out) {
    args.allow({"home", "data", "client", "out"});
    SelectClientFor(session, args);
    const std::string path = args.get("out").value_or(session.programFile(ReportFileName));
    MakeReport(session, path);
    out << path << '\n';
    return 0;
}

}  // namespace qlm::cli
