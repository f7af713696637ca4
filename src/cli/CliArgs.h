#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include <stdexcept>

namespace qlm::cli {

// A command line that is not one qlm understands (exit status 2, as usage errors have).
class UsageError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// "qlm COMMAND [ARGUMENT]... [--option VALUE]...": the command, its arguments (the command that
// "help" explains; what "backup" does, and the backup it restores) and its options. "--help" and "-h" ask for help, and "--all"
// and "--csv" are switches: they take no value.
// How many arguments `command` takes at most.
std::size_t ArgumentsOf(const std::string& command);

struct CliArgs {
    std::string command;
    std::vector<std::string> arguments;
    std::map<std::string, std::string> options;
    bool help = false;

    // Parses argv; throws UsageError with a message for the user.
    static CliArgs parse(const std::vector<std::string>& args);

    std::optional<std::string> get(const std::string& name) const;
    // Whether a switch (or an option) was given.
    bool has(const std::string& name) const { return options.contains(name); }
    // A whole number option; throws std::invalid_argument when missing or not a number.
    int number(const std::string& name) const;
    // Refuses options the command does not know (UsageError).
    void allow(const std::vector<std::string>& names) const;
};

}  // namespace qlm::cli
