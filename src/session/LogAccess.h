#pragma once

#include <string>
#include <vector>

#include "storage/AccessLog.h"

namespace qlm {

class FileError;
class Messages;
struct Session;

// Why no access log could be written, for a message.
std::string AccessLogFailure(const FileError& error);

// Records `action` on `clients` of the session's data location in the access log. When no log
// can be written, a message says why, followed by `notDone` ("The report is not shown."), and
// false is returned: a disclosure is made only once its line is written.
bool LogAccess(Session& session, Messages& messages, AccessAction action,
               const std::vector<int>& clients, const std::string& notDone);

// The folder of the client file in use.
std::string DataLocationOf(const Session& session);

// The numbers of every client of the session, 1 to the last.
std::vector<int> AllClients(const Session& session);

}  // namespace qlm
