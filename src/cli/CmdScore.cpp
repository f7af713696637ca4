#include <ostream>
#include <set>
#include <stdexcept>

#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "scoring/NumericValue.h"
#include "scoring/Scoring.h"
#include "session/Operations.h"
#include "session/Session.h"

namespace qlm::cli {

namespace {

template <typename List>
void printScales(std::ostream& out, const char* key, const List& values) {
    out << '"' << key << "\":[";
    for (int sc = 1; sc <= TestSpec::ScaleCount; ++sc) {
        out << (sc > 1 ? "," : "") << ShortestNumber(static_cast<double>(values[sc]));
    }
    out << "],";
}

}  // namespace

int RunScore(Session& session, const CliArgs& args, std::ostream& out) {
    args.allow({"home", "data", "client"});
    SelectClientFor(session, args);
    ScoreCurrentClient(session);
    LogFor(session, AccessAction::Score, {session.CurrentClient}, "no scores were printed");

    const ScoringState& s = session.Scoring;
    std::set<int> scaleItems;
    for (int sc = 1; sc <= TestSpec::ScaleCount; ++sc) {
        const auto& list = session.Tables.ScaleItems[sc];
        scaleItems.insert(list.Items.begin() + 1, list.Items.begin() + 1 + list.Count);
    }
    out << '{';
    printScales(out, "RawScore", s.RawScore);
    printScales(out, "Percentile", s.Percentile);
    printScales(out, "OmittedCount", s.OmittedCount);
    printScales(out, "DeviantCount", s.DeviantCount);
    out << "\"ItemScore\":{";
    const char* separator = "";
    for (const int item : scaleItems) {
        out << separator << '"' << item << "\":" << s.ItemScore[item];
        separator = ",";
    }
    out << "}}\n";
    return 0;
}

}  // namespace qlm::cli
