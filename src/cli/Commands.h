#pragma once

#include <iosfwd>

namespace qlm {
struct Session;
}

namespace qlm::cli {

struct CliArgs;

// Opens the data location named by --data, else by the FilePath setting. Throws FileError.
void OpenLocationFor(Session& session, const CliArgs& args);

// Each command writes its result to `out` and returns the exit status; errors are thrown.
int RunClients(Session& session, const CliArgs& args, std::ostream& out);
// The languages of the question bank, or the items and offered choices of one language.
int RunBank(Session& session, const CliArgs& args, std::ostream& out);

}  // namespace qlm::cli
