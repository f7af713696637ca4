#include "cli/CliArgs.h"

#include <getopt.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

namespace qlm::cli {

namespace {

// getopt_long reports an option by its `val`: the option's index in this table plus First.
constexpr int First = 256;
constexpr int Help = 'h';
constexpr int Version = 'V';

const std::array<option, 13> LongOptions{{
    {"home", required_argument, nullptr, First + 0},
    {"data", required_argument, nullptr, First + 1},
    {"client", required_argument, nullptr, First + 2},
    {"out", required_argument, nullptr, First + 3},
    {"pdf", required_argument, nullptr, First + 4},
    {"language", required_argument, nullptr, First + 5},
    {"all", no_argument, nullptr, First + 6},
    {"csv", no_argument, nullptr, First + 7},
    {"since", required_argument, nullptr, First + 8},
    {"risk", no_argument, nullptr, First + 9},
    {"help", no_argument, nullptr, Help},
    {"version", no_argument, nullptr, Version},
    {nullptr, 0, nullptr, 0},
}};

void addWord(CliArgs& parsed, const std::string& word) {
    if (parsed.command.empty()) {
        parsed.command = word;
    } else if (parsed.arguments.size() < ArgumentsOf(parsed.command)) {
        parsed.arguments.push_back(word);
    } else {
        throw UsageError("unexpected argument: " + word);
    }
}

// Why getopt_long refused `typed`, a word that begins with "--": no option has that name, or
// it begins the names of several.
std::string unknownOption(const std::string& typed) {
    std::string name = typed.substr(0, typed.find('='));
    name.erase(0, std::min<std::size_t>(2, name.size()));
    std::string candidates;
    for (const option& known : LongOptions) {
        if (known.name != nullptr && std::string_view(known.name).starts_with(name)) {
            candidates += (candidates.empty() ? "--" : " or --") + std::string(known.name);
        }
    }
    return name.empty() || candidates.find(" or ") == std::string::npos
               ? "unknown option --" + name
               : "option --" + name + " is ambiguous: " + candidates + "?";
}

}  // namespace

std::size_t ArgumentsOf(const std::string& command) {
    return command == "help" || command == "code" ? 1 : command == "backup" ? 2 : 0;
}

CliArgs CliArgs::parse(const std::vector<std::string>& args) {
    // getopt_long wants argv as main has it; it may reorder the pointers, never the words.
    std::vector<std::string> words{"qlm"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const int argc = static_cast<int>(words.size());

    CliArgs parsed;
    // "-": words in the order given, whatever POSIXLY_CORRECT says; ":": a missing value is
    // told apart from an unknown option. No message of getopt's own: ours say the same.
    optind = 0;
    opterr = 0;
    for (int index = -1;; index = -1) {
        const int got = getopt_long(argc, argv.data(), "-:h", LongOptions.data(), &index);
        if (got == -1) {
            break;
        }
        if (got == 1) {
            addWord(parsed, optarg);
        } else if (got == Help) {
            parsed.help = true;
        } else if (got == Version) {
            parsed.version = true;
        } else if (got == ':') {
            throw UsageError("option --" + std::string(LongOptions[optopt - First].name) +
                             " needs a value");
        } else if (got == '?') {
            const std::string& typed = words[static_cast<std::size_t>(optind - 1)];
            if (optopt >= First || optopt == Help || optopt == Version) {
                throw UsageError("option " + typed.substr(0, typed.find('=')) + " takes no value");
            }
            throw UsageError(optopt == 0
                                 ? unknownOption(typed)
                                 : "unknown option -" + std::string(1, static_cast<char>(optopt)));
        } else {
            const std::string name = LongOptions[got - First].name;
            if (!parsed.options.emplace(name, optarg != nullptr ? optarg : "").second) {
                throw UsageError("option --" + name + " is given more than once");
            }
        }
    }
    for (int i = optind; i < argc; ++i) {
        addWord(parsed, words[i]);
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
        throw UsageError("--" + name + " is required");
    }
    int value = 0;
    const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (ec != std::errc{} || end != text->data() + text->size()) {
        throw UsageError("--" + name + " must be a whole number, not \"" + *text + "\"");
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
