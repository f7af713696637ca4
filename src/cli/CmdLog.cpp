#include <chrono>
#include <ostream>
#include <string>

#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "session/Session.h"

namespace qlm::cli {

namespace {

bool isDate(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return false;
    }
    for (const std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    const std::chrono::year_month_day day{std::chrono::year(std::stoi(text.substr(0, 4))),
                                          std::chrono::month(std::stoul(text.substr(5, 2))),
                                          std::chrono::day(std::stoul(text.substr(8, 2)))};
    return day.ok();
}

}  // namespace

int RunLog(Session& session, const CliArgs& args, std::ostream& out) {
    args.allow({"home", "data", "since"});
    const std::string since = args.get("since").value_or("");
    if (!since.empty() && !isDate(since)) {
        throw UsageError("--since must be a day as YYYY-MM-DD, not \"" + since + "\"");
    }
    const auto data = args.get("data");
    for (const std::string& line :
         session.Log.read(data ? *data : session.Settings.GetINIFilePath(), since)) {
        out << line << '\n';
    }
    return 0;
}

}  // namespace qlm::cli
