#include <chrono>
#include <ostream>

#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "session/LogAccess.h"
#include "session/Session.h"
#include "storage/Backup.h"
#include "storage/ClientRecord.h"
#include "storage/DataFileError.h"
#include "storage/FileError.h"
#include "storage/FileSystem.h"

namespace qlm::cli {

namespace {

int listBackups(const Session& session, std::ostream& out) {
    const std::string folder = BackupFolderFor(session.Clients.fileName());
    for (const std::string& name : ListBackups(session.Files, folder)) {
        out << name << "  ";
        try {
            out << ReadWholeClientFile(session.Files, folder + "/" + name).size() /
                       ClientRecord::Size
                << " clients\n";
        } catch (const DataFileError& error) {
            out << error.problem() << '\n';
        } catch (const FileError& error) {
            out << "Error " << error.number() << ": " << error.description() << '\n';
        }
    }
    return 0;
}

}  // namespace

int RunBackup(Session& session, const CliArgs& args, std::ostream& out) {
    args.allow({"home", "data"});
    const std::string what = args.arguments.empty() ? std::string() : args.arguments[0];
    if (what == "list" && args.arguments.size() == 1) {
        OpenLocationFor(session, args);
        return listBackups(session, out);
    }
    if (what == "restore" && args.arguments.size() == 2) {
        OpenLocationFor(session, args, LocationUse::ReadWrite);
        const std::string& name = args.arguments[1];
        const std::string current =
            session.Clients.RestoreBackup(name, std::chrono::system_clock::now());
        out << "restored " << name;
        if (!current.empty()) {
            out << "; the file it replaced is kept as " << current;
        }
        out << '\n';
        LogFor(session, AccessAction::Restore, AllClients(session),
               "the backup is restored, but not recorded");
        return 0;
    }
    throw UsageError("backup takes \"list\" or \"restore NAME\"");
}

}  // namespace qlm::cli
