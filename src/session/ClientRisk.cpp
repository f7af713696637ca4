#include "session/ClientRisk.h"

#include "report/Report.h"
#include "report/Sections.h"
#include "scoring/Scoring.h"
#include "scoring/ScoringState.h"
#include "scoring/ScoringTables.h"
#include "scoring/TestSpec.h"
#include "scoring/UnpackClient.h"
#include "session/Session.h"
#include "storage/ClientRecord.h"

namespace qlm {

std::string ClientRisk::scaleList() const {
    std::string list;
    for (const std::string& scale : scales) {
        list += (list.empty() ? "" : ", ") + scale;
    }
    return list;
}

std::vector<std::optional<ClientRisk>> ClientRisks(const Session& session) {
    const int count = session.Clients.NumberOfClients();
    std::vector<std::optional<ClientRisk>> risks(static_cast<std::size_t>(count) + 1);
    if (count == 0) {
        return risks;
    }
    const ScoringTables tables = ReadScoringTables(session.Files, session.DataFolder);
    TestSpec shape;
    SetTestSpec(shape);
    for (int n = 1; n <= count; ++n) {
        if (!session.Clients.damage(n).empty()) {
            continue;
        }
        ScoringState s;
        UnpackClient(session.Clients.entry(n), n, s);
        ScoreScales(s, tables, shape);
        ConvertToPercentiles(s, tables);
        if (!IsFullReport(s)) {
            continue;
        }
        ClientRisk risk;
        for (std::size_t sc = 1; sc <= TestSpec::ScaleCount; ++sc) {
            if (s.OmittedCount[sc] > MaxOmittedForScoring) {
                continue;
            }
            const int level = RiskLevel(s.Percentile[sc], tables).level;
            if (level > risk.level) {
                risk.level = level;
                risk.scales.clear();
            }
            if (level == risk.level) {
                risk.scales.push_back(Trim(tables.ScaleName[sc]));
            }
        }
        if (risk.level > 0) {
            risk.range = Trim(tables.RiskRangeName[static_cast<std::size_t>(risk.level)]);
            risks[static_cast<std::size_t>(n)] = std::move(risk);
        }
    }
    return risks;
}

}  // namespace qlm
