// The scoring tables are files an installation may replace: any bytes must either load into
// tables whose every list stays within its bounds, or be refused with DataFileError; and any
// loaded tables must score any answers without reading outside the state.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "scoring/Scoring.h"
#include "scoring/ScoringState.h"
#include "scoring/ScoringTables.h"
#include "scoring/TestSpec.h"
#include "storage/DataFileError.h"

namespace {

bool isItem(int item) {
    return item >= 1 && item <= 109;
}

void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Input: report text, a NUL byte, keys text, a NUL byte, answer digits and counts.
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t first = input.find('\0');
    const std::size_t second = first == std::string::npos ? first : input.find('\0', first + 1);
    if (second == std::string::npos) {
        return 0;
    }
    // One state for every input: a whole program state per input cost more than the parsing.
    static qlm::ScoringTables tables;
    static qlm::ScoringState s;
    static qlm::TestSpec shape;
    try {
        tables = qlm::ParseScoringTables("QLMRPT.TXT", input.substr(0, first), "QLMB.TXT",
                                         input.substr(first + 1, second - first - 1));
    } catch (const qlm::DataFileError&) {
        return 0;
    }
    const qlm::ScoringTables& t = tables;
    for (int sc = 1; sc <= 5; ++sc) {
        check(t.MaxRaw[sc] >= 0 && t.MaxRaw[sc] <= qlm::ScoringTables::MaxRawLimit);
        check(t.ScaleItems[sc].Count >= 0 &&
              t.ScaleItems[sc].Count <= qlm::ScoringTables::MaxScaleItems);
        for (int k = 1; k <= t.ScaleItems[sc].Count; ++k) {
            check(isItem(t.ScaleItems[sc].Items[k]));
        }
    }
    for (std::size_t i = 1; i < t.FloorItemsA.size(); ++i) {
        check(isItem(t.FloorItemsA[i]));
    }
    for (std::size_t i = 1; i < t.FloorItemsD.size(); ++i) {
        check(isItem(t.FloorItemsD[i]));
    }

    const std::string rest = input.substr(second + 1);
    qlm::SetTestSpec(shape);
    s = qlm::ScoringState{};
    for (std::size_t i = 1; i <= 109 && i <= rest.size(); ++i) {
        s.ItemAnswers[i] = rest[i - 1] >= '0' && rest[i - 1] <= '9' ? rest[i - 1] - '0' : 0;
    }
    for (std::size_t i = 1; i <= 11 && 109 + i <= rest.size(); ++i) {
        s.CourtCounts[i] = std::string(1, rest[108 + i]);
    }
    qlm::ScoreScales(s, tables, shape);
    qlm::ConvertToPercentiles(s, tables);
    for (int sc = 1; sc <= 5; ++sc) {
        check(s.Percentile[sc] >= 0 && s.Percentile[sc] <= 99);
        check(qlm::RiskLevel(s.Percentile[sc], t).level >= 1);
    }
    return 0;
}
