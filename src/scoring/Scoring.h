#pragma once

#include <string>

namespace qlm {

class FileSystem;
struct ScoringState;
struct ScoringTables;
struct TestSpec;

enum ScaleNumber : int { Truthfulness = 1, Alcohol = 2, Drugs = 3, Violence = 4, Antisocial = 5 };

// Scoring of one client. A missing, unreadable, short or malformed data file throws
// DataFileError before any table or score changes, so no part of a result is ever built on it.

// Reads "QLMRPT.TXT" and "QLMB.TXT" from `dataFolder` and records the narrative file names.
ScoringTables ReadScoringTables(const FileSystem& files, const std::string& dataFolder);
// The tables held by the texts of both files, named `reportFile` and `keysFile` in errors.
ScoringTables ParseScoringTables(const std::string& reportFile, std::string report,
                                 const std::string& keysFile, std::string keys);
// Raw scores, item points, omitted and deviant counts of the unpacked client in `s`.
void ScoreScales(ScoringState& s, const ScoringTables& t, const TestSpec& shape);
// Percentiles with the Truthfulness correction and the per-scale floors.
void ConvertToPercentiles(ScoringState& s, const ScoringTables& t);

struct RiskRange {
    int level = 0;     // 1 to 4
    std::string name;  // RiskRangeName(1) or (3), or the split names of levels 2 and 4
};
// Percentiles below 0 count as 0, above 99 as 99.
RiskRange RiskLevel(int percentile, const ScoringTables& tables);

}  // namespace qlm
