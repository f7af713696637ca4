#pragma once

#include <exception>
#include <string>
#include <vector>

namespace qlm {

struct Services;
struct Session;

// The report file written last: its whole text but the final line feed.
std::string ReadReportText(const Session& session);

// Sends the report text of `clients` to the printer, one printed page per report page, once
// the access log holds a line for each client; a printer, file or log that fails is said,
// never called printed. True when it was printed.
bool PrintReportText(Session& session, Services& services, const std::string& text,
                     const std::string& title, const std::vector<int>& clients);

// Makes the reports of `clients` in turn and prints them as one job, so that one choice of
// printer serves them all; the current client ends as the last one made. Damaged records are
// left out, the others printed, and those left out named in one message afterwards; any other
// report that cannot be made is said, naming its client, and nothing is printed.
bool PrintClientReports(Session& session, Services& services, const std::vector<int>& clients);

// What went wrong, for a message: "Error N:description" for a file error, else its text.
std::string FailureText(const std::exception& error);

}  // namespace qlm
