#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "session/DataLocation.h"
#include "storage/AccessLog.h"

namespace qlm {
struct Session;
}

namespace qlm::cli {

struct CliArgs;

// Starts the session on the data location named by --data, else by the FilePath setting (the
// user's own folder where it names none, an empty location until the desktop program writes it).
// Only what writes asks for a writable location. Throws FileError.
void OpenLocationFor(Session& session, const CliArgs& args,
                     LocationUse use = LocationUse::ReadOnly);
// Opens the location and makes client --client N the current client; a number that is not one
// of the location's clients throws std::invalid_argument, a missing one UsageError.
void SelectClientFor(Session& session, const CliArgs& args);

// Records `action` on `clients` in the access log; where no log can be written, throws
// std::runtime_error saying so after `notDone` ("no report was written").
void LogFor(Session& session, AccessAction action, const std::vector<int>& clients,
            const std::string& notDone);

// Each command writes its result to `out` and returns the exit status; errors are thrown.
// The client list as the main menu shows it; --risk adds each client's highest risk range.
int RunClients(Session& session, const CliArgs& args, std::ostream& out);
// The languages of the question bank, or the items and offered choices of one language.
int RunBank(Session& session, const CliArgs& args, std::ostream& out);
// Scores client --client N and prints its scores as one JSON object.
int RunScore(Session& session, const CliArgs& args, std::ostream& out);
// Scores client --client N (or every client, --all) and writes the report to --out or as PDF
// pages to --pdf, else to the user's "report.prn"; prints the file's name.
int RunReport(Session& session, const CliArgs& args, std::ostream& out);
// "backup list": the data location's backups, newest first; "backup restore NAME": that backup
// put in place of the client file, which is backed up first.
int RunBackup(Session& session, const CliArgs& args, std::ostream& out);
// Every client's scores as CSV, to --out or the standard output.
int RunExport(Session& session, const CliArgs& args, std::ostream& out);
// "code set": the site's own secret code, typed twice (without echo on a terminal) or read as
// two lines; "code clear": back to the default code.
int RunCode(Session& session, const CliArgs& args, std::ostream& out);
// The access log's lines about the data location, from --since YYYY-MM-DD on.
int RunLog(Session& session, const CliArgs& args, std::ostream& out);

}  // namespace qlm::cli
