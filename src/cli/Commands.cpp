#include "cli/Commands.h"

#include <ostream>
#include <stdexcept>
#include <string>

#include "cli/CliArgs.h"
#include "session/ClientList.h"
#include "session/ClientRisk.h"
#include "session/DataLocation.h"
#include "session/LogAccess.h"
#include "session/Session.h"
#include "session/StartUp.h"
#include "storage/FileError.h"
#include "storage/Latin1.h"

namespace qlm::cli {

void OpenLocationFor(Session& session, const CliArgs& args, LocationUse use) {
    const auto data = args.get("data");
    StartSession(
        session,
        {[&] { return OpenDataLocation(session, data ? *data : StoredDataPath(session), use); },
         {}});
}

void SelectClientFor(Session& session, const CliArgs& args) {
    const int client = args.number("client");
    OpenLocationFor(session, args);
    if (client < 1 || client > session.Clients.NumberOfClients()) {
        throw std::invalid_argument("--client must be a client of the data location (1 to " +
                                    std::to_string(session.Clients.NumberOfClients()) + "), not " +
                                    std::to_string(client));
    }
    session.CurrentClient = client;
}

void LogFor(Session& session, AccessAction action, const std::vector<int>& clients,
            const std::string& notDone) {
    try {
        session.Log.record(DataLocationOf(session), action, clients);
    } catch (const FileError& error) {
        throw std::runtime_error(notDone + ": the access log cannot be written: Error " +
                                 std::to_string(error.number()) + ": " + error.what());
    }
}

int RunClients(Session& session, const CliArgs& args, std::ostream& out) {
    args.allow({"home", "data", "risk"});
    OpenLocationFor(session, args);
    const bool withRisk = args.has("risk");
    const auto risks = withRisk ? ClientRisks(session) : std::vector<std::optional<ClientRisk>>{};
    for (int n = 1; n <= session.Clients.NumberOfClients(); ++n) {
        std::string line = MarkedClientListItem(session, n);
        // A damaged record says so already; a valid test names its highest range.
        if (withRisk && session.Clients.damage(n).empty()) {
            const auto& risk = risks[static_cast<std::size_t>(n)];
            line += risk ? "  " + risk->range + ": " + risk->scaleList() : "  invalid test";
        }
        out << Latin1ToUtf8(line) << '\n';
    }
    return 0;
}

}  // namespace qlm::cli
