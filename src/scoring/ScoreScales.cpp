#include <cctype>
#include <cmath>

#include "scoring/NumericValue.h"
#include "scoring/Scoring.h"
#include "scoring/ScoringState.h"
#include "scoring/ScoringTables.h"
#include "scoring/TestSpec.h"

namespace qlm {

namespace {

// Points that answer `a` earns on the item at `position` of `section`: the digit of its key;
// 0 for an answer that has no key (3 or 4 in section 1, 5 and above anywhere) and for a key
// that is too short or holds no digit there.
int keyPoints(const ScoringTables& t, const TestSpec& shape, int section, int a, int position) {
    if (a < 0 || a > shape.SectionChoices[section]) {
        return 0;
    }
    const std::string& key = t.ScoringKey[section][a];
    const auto p = static_cast<std::size_t>(position);
    if (p < 1 || p > key.size() || !std::isdigit(static_cast<unsigned char>(key[p - 1]))) {
        return 0;
    }
    return key[p - 1] - '0';
}

void scoreItems(ScoringState& s, const ScoringTables& t, const TestSpec& shape) {
    const auto& end = shape.SectionEnd;
    for (int sc = 1; sc <= TestSpec::ScaleCount; ++sc) {
        const auto& list = t.ScaleItems[sc];
        for (int k = 1; k <= list.Count; ++k) {
            const int item = list.Items[k];
            const int section = item <= end[1] ? 1 : 2;
            const int a = s.ItemAnswers[item];
            if (a == 0) {
                ++s.OmittedCount[sc];
            }
            const int points = keyPoints(t, shape, section, a, item - end[section - 1]);
            s.ItemScore[item] = static_cast<std::int16_t>(points);
            s.RawScore[sc] += points;
            if (points > 0) {
                ++s.DeviantCount[sc];
            }
        }
    }
}

// Items 102 and 103 stand on both the Alcohol and the Drugs scale; their answer decides
// which of the two keeps the points.
void moveSubstanceItems(ScoringState& s) {
    const int a102 = s.ItemAnswers[TestSpec::FirstSubstanceItem];
    const int a103 = s.ItemAnswers[TestSpec::SecondSubstanceItem];
    if (a102 == 1) {
        s.RawScore[Drugs] -= 2;
    } else if (a102 == 2) {
        s.RawScore[Alcohol] -= 2;
    }
    if (a103 == 1) {
        s.RawScore[Drugs] -= 3;
    } else if (a103 == 2) {
        s.RawScore[Alcohol] -= 2;
    } else if (a103 == 3) {
        s.RawScore[Drugs] -= 1;
    }
}

// A count above `cap` counts as `capped`; a positive count adds its value.
void addCount(ScoringState& s, int scale, double v, double cap, double capped) {
    if (v > cap) {
        v = capped;
    }
    if (v > 0) {
        s.RawScore[scale] += v;
    }
}

void addCourtHistory(ScoringState& s) {
    const auto count = [&s](int i) { return NumericValue(s.CourtCounts[i]); };

    const double firstArrest = count(1);
    if (firstArrest >= 1 && firstArrest <= 16) {
        s.RawScore[Antisocial] += 3;
        s.RawScore[Violence] += 4;
    } else if (firstArrest == 17 || firstArrest == 18) {
        s.RawScore[Antisocial] += 2;
        s.RawScore[Violence] += 3;
    } else if (firstArrest == 19 || firstArrest == 20) {
        s.RawScore[Violence] += 1;
    }

    addCount(s, Antisocial, count(2), 5, 5);

    const double runaway = count(3);
    if (runaway == 1 || runaway == 2) {
        s.RawScore[Antisocial] += 1;
    } else if (runaway == 3) {
        s.RawScore[Antisocial] += 2;
    } else if (runaway == 4) {
        s.RawScore[Antisocial] += 3;
    } else if (runaway > 4) {
        s.RawScore[Antisocial] += 4;
    }

    const double arrests = count(4);
    if (arrests == 1 || arrests == 2) {
        s.RawScore[Antisocial] += 1;
    } else if (arrests == 3 || arrests == 4) {
        s.RawScore[Antisocial] += 2;
        s.RawScore[Drugs] += 1;
    } else if (arrests == 5 || arrests == 6) {
        s.RawScore[Antisocial] += 3;
        s.RawScore[Drugs] += 2;
    } else if (arrests > 6) {
        s.RawScore[Antisocial] += 5;
        s.RawScore[Drugs] += 3;
    }

    addCount(s, Violence, count(5), 4, 4);
    addCount(s, Violence, count(6), 4, 4);
    addCount(s, Antisocial, count(7), 5, 5);
    // Count 8 (convictions) is only shown in the report.
    addCount(s, Alcohol, count(9), 3, 5);
    addCount(s, Alcohol, count(10), 5, 5);
    addCount(s, Drugs, count(11), 5, 5);
}

void addEducation(ScoringState& s) {
    const std::string& text = s.ClientInfo[6];
    if (text == "N" || text == "n") {
        return;
    }
    const double e = NumericValue(text);
    if (e <= 6) {
        s.RawScore[Antisocial] += 3;
    } else if (e == 7 || e == 8) {
        s.RawScore[Antisocial] += 2;
    } else if (e == 9 || e == 10 || e == 11) {
        s.RawScore[Antisocial] += 1;
    }
}

// More True answers in section 1 than 95 % of its items make the Truthfulness scale invalid.
void checkTrueResponses(ScoringState& s, const TestSpec& shape) {
    const int sectionEnd = shape.SectionEnd[1];
    int trueCount = 0;
    for (int item = 1; item <= sectionEnd; ++item) {
        trueCount += s.ItemAnswers[item] == 1 ? 1 : 0;
    }
    if (trueCount > static_cast<int>(std::floor(sectionEnd * 0.95))) {
        s.RawScore[Truthfulness] = 99;
    }
}

}  // namespace

void ScoreScales(ScoringState& s, const ScoringTables& t, const TestSpec& shape) {
    s.RawScore = {};
    s.Percentile = {};
    s.OmittedCount = {};
    s.DeviantCount = {};
    // Items on no scale keep 0, so no value survives from the client scored before.
    s.ItemScore = {};

    scoreItems(s, t, shape);
    moveSubstanceItems(s);
    addCourtHistory(s);
    addEducation(s);
    checkTrueResponses(s, shape);
}

}  // namespace qlm
