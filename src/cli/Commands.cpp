#include "cli/Commands.h"

#include <ostream>

#include "app/ClientList.h"
#include "app/DataLocation.h"
#include "app/Session.h"
#include "app/Settings.h"
#include "cli/CliArgs.h"
#include "storage/Latin1.h"

namespace qlm::cli {

void OpenLocationFor(Session& session, const CliArgs& args) {
    const auto data = args.get("data");
    OpenDataLocation(session, data ? *data : Settings(session.Files, session.ProgramFolder).GetINIFilePath());
}

int RunClients(Session& session, const CliArgs& args, std::ostream& out) {
    args.allow({"home", "data"});
    OpenLocationFor(session, args);
    for (int n = 1; n <= session.NumberOfClients; ++n) {
        out << Latin1ToUtf8(ClientListItem(n, session.ClientTable[static_cast<std::size_t>(n)]))
            << '\n';
    }
    return 0;
}

}  // namespace qlm::cli
