#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qlm {

struct Session;

// The highest risk range a client's report shows, and the scales it shows in that range.
struct ClientRisk {
    int level = 0;                    // 1 to 4, as RiskLevel gives it
    std::string range;                // the range's name as the report heads it
    std::vector<std::string> scales;  // the scales' names, in scale order

    // The scales' names, comma-separated.
    std::string scaleList() const;
};

// The range from the 90th percentile on, which the client list flags.
inline constexpr int TopRiskLevel = 4;

// Every client of the session scored as its report would be, leaving the session's scoring
// state and current client alone: element n is client n's (element 0 is unused), none for a
// damaged record or an invalid test, whose report shows no risk range. A scale left unscored
// for want of answers does not count. The scoring tables are read once (DataFileError).
std::vector<std::optional<ClientRisk>> ClientRisks(const Session& session);

}  // namespace qlm
