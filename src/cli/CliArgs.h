#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qlm::cli {

// "qlm COMMAND [--option VALUE]...": the command and its options.
struct CliArgs {
    std::string command;
    std::map<std::string, std::string> options;

    // Parses argv; throws std::invalid_argument with a message for the user.
    static CliArgs parse(const std::vector<std::string>& args);

    std::optional<std::string> get(const std::string& name) const;
    // A whole number option; throws std::invalid_argument when missing or not a number.
    int number(const std::string& name) const;
    // Refuses options the command does not know.
    void allow(const std::vector<std::string>& names) const;
};

}  // namespace qlm::cli
