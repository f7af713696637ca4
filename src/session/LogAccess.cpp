#include "session/LogAccess.h"

#include <algorithm>
#include <numeric>

#include "session/Session.h"
#include "storage/FileError.h"
#include "ui/Messages.h"

namespace qlm {

std::string AccessLogFailure(const FileError& error) {
    return "The access log cannot be written: Error " + std::to_string(error.number()) + ": " +
           error.what() + ".";
}

bool LogAccess(Session& session, Messages& messages, AccessAction action,
               const std::vector<int>& clients, const std::string& notDone) {
    try {
        session.Log.record(DataLocationOf(session), action, clients);
        return true;
    } catch (const FileError& error) {
        messages.show({AccessLogFailure(error) + "\r\n\r\n" + notDone, "Access Log",
                       MsgIcon::Critical, MsgButtons::OK});
        return false;
    }
}

std::string DataLocationOf(const Session& session) {
    const std::string& file = session.Clients.fileName();
    const auto slash = file.rfind('/');
    return slash == std::string::npos ? std::string()
                                      : file.substr(0, std::max<std::size_t>(slash, 1));
}

std::vector<int> AllClients(const Session& session) {
    std::vector<int> all(static_cast<std::size_t>(session.Clients.NumberOfClients()));
    std::iota(all.begin(), all.end(), 1);
    return all;
}

}  // namespace qlm
