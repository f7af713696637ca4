#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <iostream>
#include <ostream>
#include <stdexcept>
#include <string>

#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "session/Session.h"
#include "session/SiteCode.h"
#include "storage/FileError.h"

namespace qlm::cli {

namespace {

// The terminal as it was before echo was turned off, put back on the way out, also when a
// signal ends the program meanwhile.
termios g_terminal{};

extern "C" void restoreAndRaise(int signal) {
    ::tcsetattr(STDIN_FILENO, TCSANOW, &g_terminal);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

class EchoOff {
public:
    EchoOff() {
        if (::tcgetattr(STDIN_FILENO, &g_terminal) != 0) {
            return;
        }
        termios quiet = g_terminal;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
            std::signal(signal, restoreAndRaise);
        }
        m_on = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;
    ~EchoOff() {
        if (m_on) {
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_terminal);
        }
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
            std::signal(signal, SIG_DFL);
        }
    }

private:
    bool m_on = false;
};

// One code: asked for without echo on a terminal, else the next line of the standard input.
std::string readCode(const char* prompt) {
    std::string line;
    bool got = false;
    if (::isatty(STDIN_FILENO) != 0) {
        std::cerr << prompt << std::flush;
        const EchoOff quiet;
        got = static_cast<bool>(std::getline(std::cin, line));
        std::cerr << '\n';
    } else {
        got = static_cast<bool>(std::getline(std::cin, line));
    }
    if (!got) {
        throw std::runtime_error("the code is not set: it must be given twice, one line each");
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

}  // namespace

int RunCode(Session& session, const CliArgs& args, std::ostream& out) {
    args.allow({"home"});
    const std::string what = args.arguments.empty() ? std::string() : args.arguments[0];
    if (what != "set" && what != "clear") {
        throw UsageError("code takes \"set\" or \"clear\"");
    }
    const std::string& file = session.Code.settingsFile();
    try {
        if (what == "clear") {
            session.Code.clear();
            out << "the default secret code is in use again (" << file << ")\n";
            return 0;
        }
        const std::string code = readCode("New secret code: ");
        if (const std::string problem = SiteCode::Problem(code); !problem.empty()) {
            throw std::runtime_error("the code is not set: " + problem);
        }
        if (readCode("The same code again: ") != code) {
            throw std::runtime_error("the code is not set: the two codes differ");
        }
        session.Code.set(code);
    } catch (const FileError& error) {
        throw std::runtime_error(
            "the code is not changed: " +
            std::string(error.number() == FileError::PermissionDenied
                            ? "only an administrator can change the site's settings; "
                            : "") +
            "Error " + std::to_string(error.number()) + ": " + error.what());
    }
    out << "the secret code is set in " << file << '\n';
    return 0;
}

}  // namespace qlm::cli
