// qlm's command line: any arguments must parse or be refused as a usage error, and whatever
// parses must answer the commands' questions without failing any other way. Input: the
// arguments, split by NUL bytes.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "cli/CliArgs.h"

using qlm::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args;
    for (const std::string_view arg : qlm::fuzz::split(qlm::fuzz::text(data, size), '\0')) {
        args.emplace_back(arg);
    }
    qlm::cli::CliArgs parsed;
    try {
        parsed = qlm::cli::CliArgs::parse(args);
    } catch (const qlm::cli::UsageError&) {
        return 0;
    }
    check(parsed.arguments.size() <= qlm::cli::ArgumentsOf(parsed.command));
    try {
        (void)parsed.number("client");
    } catch (const qlm::cli::UsageError&) {
    }
    // Only the options qlm knows can parse.
    try {
        parsed.allow({"home", "data", "client", "out", "pdf", "all", "csv", "language"});
    } catch (const qlm::cli::UsageError&) {
        check(false);
    }
    (void)parsed.get("data");
    return 0;
}
