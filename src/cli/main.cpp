// qlm: the command-line companion of the desktop program, working on the same program folder
// and data locations.

#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "session/ProgramFolder.h"
#include "session/Session.h"
#include "storage/FileError.h"
#include "storage/FileSystem.h"

namespace {

using Command = std::function<int(qlm::Session&, const qlm::cli::CliArgs&, std::ostream&)>;

struct CommandEntry {
    Command run;
    const char* synopsis;
    const char* description;
};

const std::map<std::string, CommandEntry>& commands() {
    static const std::map<std::string, CommandEntry> table{
        {"backup",
         {qlm::cli::RunBackup, "backup list | backup restore NAME [--data DIR]",
          "list the data location's backups of its client file, newest first, or put one back in "
          "its place (the current file is backed up first)"}},
        {"bank",
         {qlm::cli::RunBank, "bank [--language English|Spanish]",
          "list the question bank's languages, or one language's items"}},
        {"clients",
         {qlm::cli::RunClients, "clients [--data DIR] [--risk]",
          "list the clients of a data location; --risk adds each client's highest risk range "
          "and its scales (\"invalid test\" where the report shows none)"}},
        {"code",
         {qlm::cli::RunCode, "code set | code clear",
          "set the site's own supervisor secret code (at least 6 characters, typed twice, or "
          "two lines on the standard input; only a hash of it is kept, in the installation's "
          "settings), or go back to the default code"}},
        {"export",
         {qlm::cli::RunExport, "export --csv [--data DIR] [--out FILE]",
          "every client's scores as CSV, one row per client (default: standard output); a cell "
          "that begins with =, +, -, @, a tab or a carriage return gets a leading apostrophe, "
          "so that a spreadsheet shows it as text instead of running it as a formula"}},
        {"log",
         {qlm::cli::RunLog, "log [--since YYYY-MM-DD] [--data DIR]",
          "print the data location's access log: one line per report viewed, printed or "
          "written, export and change of client data, with the time (UTC), user, program, "
          "action and client numbers"}},
        {"report",
         {qlm::cli::RunReport, "report (--client N | --all) [--data DIR] [--out FILE | --pdf FILE]",
          "write client N's report, or every client's in client order, as text or as the "
          "printed pages in a PDF file (default: report.prn in the program folder where qlm may "
          "write it, else in ~/.local/share/quillmere)"}},
        {"score",
         {qlm::cli::RunScore, "score --client N [--data DIR]",
          "score client N and print its scores as JSON"}},
    };
    return table;
}

void describe(std::ostream& out, const CommandEntry& entry) {
    out << "  " << entry.synopsis << "\n      " << entry.description << '\n';
}

// The usage of every command, or of `only`.
void usage(std::ostream& out, const std::string& only = {}) {
    out << "usage: qlm COMMAND [--home DIR] [options]\n"
           "       qlm help [COMMAND]\n"
           "       qlm --version\n"
           "  --home DIR   the program folder (default: QUILLMERE_HOME, else qlm's own folder)\n"
           "  --data DIR   the data location (default: the FilePath setting)\n"
           "  A value may also follow its option after \"=\" (--data=DIR); \"--\" ends the "
           "options.\n";
    for (const auto& [name, entry] : commands()) {
        if (only.empty() || only == name) {
            describe(out, entry);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const auto args = qlm::cli::CliArgs::parse(std::vector<std::string>(argv + 1, argv + argc));
        if (args.version) {
            std::cout << "qlm " QLM_VERSION "\n";
            return 0;
        }
        if (args.command == "help" || args.help || args.command.empty()) {
            const std::string topic = args.command != "help"   ? args.command
                                      : args.arguments.empty() ? std::string()
                                                               : args.arguments[0];
            if (!topic.empty() && !commands().contains(topic)) {
                throw qlm::cli::UsageError("unknown command \"" + topic + "\"");
            }
            usage(args.command.empty() && !args.help ? std::cerr : std::cout, topic);
            return args.command.empty() && !args.help ? 2 : 0;
        }
        const auto command = commands().find(args.command);
        if (command == commands().end()) {
            throw qlm::cli::UsageError("unknown command \"" + args.command + "\"");
        }
        const qlm::FileSystem files;
        const std::string programFolder = qlm::ResolveProgramFolder(args.get("home").value_or(""));
        qlm::Session session(
            files, programFolder,
            qlm::ResolveUserFolders(programFolder, qlm::FolderIsWritable(programFolder)));
        session.Log.setProgram("qlm");
        return command->second.run(session, args, std::cout);
    } catch (const qlm::cli::UsageError& e) {
        std::cerr << "qlm: " << e.what() << "\n(qlm help shows the commands and their options)\n";
        return 2;
    } catch (const qlm::FileError& e) {
        std::cerr << "qlm: Error " << e.number() << ": " << e.what() << '\n';
    } catch (const std::exception& e) {
        std::cerr << "qlm: " << e.what() << '\n';
    }
    return 1;
}
