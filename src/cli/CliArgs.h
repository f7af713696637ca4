#pragma once

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace qlm::cli {

// A command line that is not one qlm understands (exit status 2, as usage errors have).
class UsageError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// How many arguments `command` takes at most: the command that "help" explains; what "code"
// does; what "backup" does, and the backup it restores.
std::size_t ArgumentsOf(const std::string& command);

// "qlm COMMAND [ARGUMENT]... [--option VALUE]...", read by getopt_long: options anywhere, their
// values as the next argument or after "=", and "--" ending the options. "--all", "--csv" and
// "--risk" are switches; "--help" (-h) and "--version" ask for help or the version.
struct CliArgs {
    std::string command;
    std::vector<std::string> arguments;
    std::map<std::string, std::string> options;
    bool help = false;
    bool version = false;

    // Parses the arguments after the program's name; throws UsageError with a message for the
    // user.
    static CliArgs parse(const std::vector<std::string>& args);

    std::optional<std::string> get(const std::string& name) const;
    // Whether a switch (or an option) was given.
    bool has(const std::string& name) const { return options.contains(name); }
    // A whole number option; throws UsageError when missing or not a number.
    int number(const std::string& name) const;
    // Refuses options the command does not know (UsageError).
    void allow(const std::vector<std::string>& names) const;
};

}  // namespace qlm::cli
