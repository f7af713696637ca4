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

const std::map<std::string, Command>& commands() {
    static const std::map<std::string, Command> table{
        {"bank", qlm::cli::RunBank},
        {"clients", qlm::cli::RunClients},
        {"report", qlm::cli::RunReport},
        {"score", qlm::cli::RunScore},
    };
    return table;
}

int usage(std::ostream& out) {
    out << "usage: qlm COMMAND [--home DIR] [options]\n"
           "  bank [--language English|Spanish]\n"
           "                          list the question bank's languages, or one language's items\n"
           "  clients [--data DIR]    list the clients of a data location\n"
           "  report --client N [--data DIR] [--out FILE]\n"
           "                          write client N's report (default: report.prn beside qlm)\n"
           "  score --client N [--data DIR]\n"
           "                          score client N and print its scores as JSON\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const auto args = qlm::cli::CliArgs::parse(std::vector<std::string>(argv + 1, argv + argc));
        const auto command = commands().find(args.command);
        if (command == commands().end()) {
            if (!args.command.empty()) {
                std::cerr << "qlm: unknown command \"" << args.command << "\"\n";
            }
            return usage(std::cerr);
        }
        const qlm::FileSystem files;
        qlm::Session session(files, qlm::ResolveProgramFolder(args.get("home").value_or("")));
        return command->second(session, args, std::cout);
    } catch (const qlm::FileError& e) {
        std::cerr << "qlm: Error " << e.number() << ": " << e.what() << '\n';
    } catch (const std::exception& e) {
        std::cerr << "qlm: " << e.what() << '\n';
    }
    return 1;
}
