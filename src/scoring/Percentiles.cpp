#include <algorithm>
#include <climits>
#include <cmath>

#include "scoring/NumericValue.h"
#include "scoring/Scoring.h"
#include "scoring/ScoringState.h"
#include "scoring/ScoringTables.h"
#include "scoring/TestSpec.h"

namespace qlm {

namespace {

// The norm group of a sex or race code; codes without a group of their own (not available,
// Asian, Native American, Other, or anything out of range) use group 1.
int normGroup(const std::string& code, int groups) {
    const double v = NumericValue(code);
    return v >= 1 && v <= groups && v == std::floor(v) ? static_cast<int>(v) : 1;
}

// The norm table row of a raw score: scores below 0 as 0, fractions (from counts typed with a
// decimal point) rounded half to even.
int normRow(double raw) {
    return raw <= 0 ? 0
                    : std::min(static_cast<int>(std::nearbyint(raw)), ScoringTables::MaxRawLimit);
}

// Truthfulness band 1 to 9 of a percentile from 11 to 94; 0 below.
int truthBand(int p1) {
    if (p1 <= 10) {
        return 0;
    }
    return p1 <= 90 ? (p1 - 1) / 10 : 9;
}

struct FloorCounts {
    int A = 0, B = 0, C = 0, D = 0, T = 0;
};

constexpr int Any = INT_MIN;

// One floor: when the counts hold and the percentile is below K, it becomes K.
struct FloorRule {
    int A, B, C, D, T;
    std::array<int, 6> K;        // by scale 2 to 5
    bool orMore = false;         // T or more instead of exactly T
    bool antisocialNoD = false;  // on the Antisocial scale the rule also needs D = 0

    bool holds(const FloorCounts& n, int sc) const {
        const auto is = [](int want, int have) { return want == Any || want == have; };
        return is(A, n.A) && is(B, n.B) && is(C, n.C) && is(D, n.D) &&
               (orMore ? n.T >= T : is(T, n.T)) && !(antisocialNoD && sc == Antisocial && n.D != 0);
    }
};

// The floors of scales 2 to 5, tried in this order.
constexpr FloorRule FloorRules[] = {
    {Any, Any, Any, 1, Any, {0, 0, 3, 4, 4, 5}},
    {Any, Any, Any, 2, Any, {0, 0, 8, 9, 7, 8}},
    {1, Any, Any, 0, Any, {0, 0, 12, 15, 11, 13}},
    {1, 0, 0, 1, Any, {0, 0, 16, 20, 15, 17}},
    {2, 0, 0, Any, Any, {0, 0, 20, 25, 19, 20}},
    {0, 1, 0, 0, Any, {0, 0, 25, 28, 21, 23}},
    {0, 1, 0, 1, Any, {0, 0, 29, 31, 23, 25}},
    {1, 1, 0, Any, Any, {0, 0, 31, 36, 26, 28}},
    {0, 2, 0, Any, Any, {0, 0, 34, 38, 29, 30}},
    {0, 0, 1, 0, Any, {0, 0, 36, 40, 33, 34}},
    {0, 0, 1, 1, Any, {0, 0, 39, 42, 36, 37}},
    {1, 0, 1, Any, Any, {0, 0, 40, 43, 40, 39}},
    {0, 1, 1, Any, Any, {0, 0, 42, 45, 43, 43}, false, true},
    {Any, Any, 2, Any, 2, {0, 0, 45, 47, 49, 46}},
    {Any, Any, Any, Any, 3, {0, 0, 48, 49, 52, 49}},
    {Any, Any, Any, Any, 4, {0, 0, 53, 53, 61, 53}},
    {Any, Any, Any, Any, 5, {0, 0, 64, 60, 67, 61}},
    {Any, Any, Any, Any, 6, {0, 0, 70, 70, 70, 69}},
    {Any, Any, Any, Any, 7, {0, 0, 74, 74, 75, 75}},
    {Any, Any, Any, Any, 8, {0, 0, 78, 79, 81, 77}, true},
};

FloorCounts countFloorItems(const ScoringState& s, const ScoringTables& t, int sc) {
    // Entries of FloorItemsA and FloorItemsD that belong to each scale.
    static constexpr std::array<std::array<int, 2>, 6> aEntries = {
        {{0, -1}, {0, -1}, {1, 16}, {17, 36}, {37, 58}, {59, 75}}};
    static constexpr std::array<std::array<int, 2>, 6> dEntries = {
        {{0, -1}, {0, -1}, {1, 4}, {5, 7}, {8, 9}, {10, 14}}};
    FloorCounts n;
    for (int e = aEntries[sc][0]; e <= aEntries[sc][1]; ++e) {
        switch (s.ItemScore[t.FloorItemsA[e]]) {
            case 2:
                ++n.A;
                break;
            case 3:
                ++n.B;
                break;
            case 4:
                ++n.C;
                break;
            default:
                break;
        }
    }
    for (int e = dEntries[sc][0]; e <= dEntries[sc][1]; ++e) {
        n.D += s.ItemScore[t.FloorItemsD[e]] == 1 ? 1 : 0;
    }
    // Items 102 and 103 count on the scale their answer names only.
    const int a102 = s.ItemAnswers[TestSpec::FirstSubstanceItem];
    const int a103 = s.ItemAnswers[TestSpec::SecondSubstanceItem];
    if (sc == Alcohol) {
        n.A -= (a102 == 2 ? 1 : 0) + (a103 == 2 ? 1 : 0);
    } else if (sc == Drugs) {
        n.A -= a102 == 1 ? 1 : 0;
        n.B -= a103 == 1 ? 1 : 0;
    }
    n.T = n.A + n.B + n.C;
    return n;
}

// Raises the percentile to the K of the first rule whose counts hold and whose K is above it;
// a rule that holds with the percentile already at K or more passes on to the next.
void applyFloors(ScoringState& s, const ScoringTables& t, int sc) {
    const FloorCounts n = countFloorItems(s, t, sc);
    std::int16_t& p = s.Percentile[sc];
    for (const FloorRule& rule : FloorRules) {
        if (rule.holds(n, sc) && p < rule.K[sc]) {
            p = static_cast<std::int16_t>(rule.K[sc]);
            return;
        }
    }
}

}  // namespace

void ConvertToPercentiles(ScoringState& s, const ScoringTables& t) {
    const int sex = normGroup(s.ClientInfo[3], 2);
    const int race = normGroup(s.ClientInfo[4], 3);

    for (int sc = 1; sc <= TestSpec::ScaleCount; ++sc) {
        std::int16_t& p = s.Percentile[sc];
        if (s.RawScore[sc] > t.MaxRaw[sc] || s.OmittedCount[sc] >= 4) {
            p = 99;
        } else {
            p = t.NormTable[sc][normRow(s.RawScore[sc])][race][sex];
            if (sc != Truthfulness) {
                if (s.DeviantCount[sc] == 2 && p > 38) {
                    p = 38;
                } else if (s.DeviantCount[sc] == 1 && p > 28) {
                    p = 28;
                }
            }
        }

        if (sc == Truthfulness) {
            // An untruthful profile corrects the other scales' raw scores before they are
            // converted; from 95 on all of them are beyond interpretation.
            const int band = truthBand(p);
            if (p >= 95) {
                for (int j = Alcohol; j <= Antisocial; ++j) {
                    s.RawScore[j] += t.TruthCorrection[j][9];
                    s.Percentile[j] = 99;
                }
                return;
            }
            for (int j = Alcohol; band > 0 && j <= Antisocial; ++j) {
                if (s.DeviantCount[j] >= 1) {
                    s.RawScore[j] += t.TruthCorrection[j][band];
                }
            }
        } else {
            applyFloors(s, t, sc);
        }
    }
}

RiskRange RiskLevel(int percentile, const ScoringTables& tables) {
    const int p = std::clamp(percentile, 0, 99);
    if (p <= 39) {
        return {1, tables.RiskRangeName[1]};
    }
    if (p <= 69) {
        return {2, p < 56 ? "MEDIUM-LOW" : "MEDIUM-HIGH"};
    }
    if (p <= 89) {
        return {3, tables.RiskRangeName[3]};
    }
    return {4, p < 95 ? "MAXIMUM-LOW" : "MAXIMUM-HIGH"};
}

}  // namespace qlm
