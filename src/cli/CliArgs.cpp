#include "cli/CliArgs.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace qlm::cli {

std::size_t ArgumentsOf(const std::string& command) {
    return command == "help" ? 1 : command == "backup" ? 2 : 0;
}

CliArgs CliArgs::parse(const std::vector<std::string>& args) {
    CliArgs parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            parsed.help = true;
        } else if (arg == "--all" || arg == "--csv") {
            if (!parsed.options.emplace(arg.substr(2), "").second) {
                throw UsageError("option " + arg + " is given more than once");
            }
        } else if (arg.starts_with("--") && arg.size() > 2) {
            if (i + 1 >= args.size()) {
                throw UsageError("option " + arg + " needs a value");
            }
            if (!parsed.options.emplace(arg.substr(2), args[++i]).second) {
                throw UsageError("option " + arg + " is given more than once");
            }
        } else if (arg.starts_with("-")) {
            throw UsageError("unknown option " + arg);
        } else if (parsed.command.empty()) {
            parsed.command = arg;
        } else if (parsed.arguments.size() < ArgumentsOf(parsed.command)) {
            parsed.arguments.push_back(arg);
        } else {
            throw UsageError("unexpected argument: " + arg);
        }
    }
    return parsed;
}

std::optional<std::string> CliArgs::get(const std::string& name) const {
    const auto it = options.find(name);
    return it == options.end() ? std::nullopt : std::optional(it->second);
}

int CliArgs::number(const std::string& name) const {
    const auto text = get(name);
    if (!text) {
        throw std::invalid_argument("--" + name + " is required");
    }
    int value = 0;
    const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (ec != std::errc{} || end != text->data() + text->size()) {
        throw std::invalid_argument("--" + name + " must be a whole number, not \"" + *text + "\"");
    }
    return value;
}

void CliArgs::allow(const std::vector<std::string>& names) const {
    for (const auto& [name, value] : options) {
        if (std::find(names.begin(), names.end(), name) == names.end()) {
            throw UsageError("unknown option --" + name + " for " + command);
        }
    }
}

}  // namespace qlm::cli
