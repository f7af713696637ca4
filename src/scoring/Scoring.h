#pragma once

#include <string>

namespace qlm {

struct Session;
struct ScoringTables;

// Scoring of the current client. Every step reads and writes the session's scoring state;
// a missing or malformed data file throws DataFileError (or FileError), and then no part of
// the result may be used.

// Reads "QLMRPT.TXT" and "QLMB.TXT" from the program folder into session.Tables and records
// the narrative file names.
void LoadScoringTables(Session& session);
// Raw scores, item points, omitted and deviant counts.
void ScoreScales(Session& session);
// Percentiles with the Truthfulness correction and the per-scale floors.
void ConvertToPercentiles(Session& session);
// SetTestSpec, LoadScoringTables, UnpackClient, ScoreScales, ConvertToPercentiles.
void ScoreCurrentClient(Session& session);

struct RiskRange {
    int level = 0;     // 1 to 4
    std::string name;  // RiskRangeName(1) or (3), or the split names of levels 2 and 4
};
RiskRange RiskLevel(int percentile, const ScoringTables& tables);

}  // namespace qlm
