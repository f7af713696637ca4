#include <array>
#include <string>

#include "scoring/DataFileReader.h"
#include "scoring/Scoring.h"
#include "scoring/ScoringTables.h"
#include "scoring/TestSpec.h"

namespace qlm {

namespace {

std::string scale(int sc) {
    return "scale " + std::to_string(sc);
}

// A text the report sets in a place of `width` columns; a longer one would push the columns
// after it out of line.
std::string fitting(DataFileReader& in, std::string text, const std::string& what,
                    std::size_t width) {
    if (text.size() > width) {
        in.fail(what + " is " + std::to_string(text.size()) +
                " characters long; the report has room for " + std::to_string(width));
    }
    return text;
}

void readReportTexts(DataFileReader in, ScoringTables& t) {
    for (int sc = 1; sc <= TestSpec::ScaleCount; ++sc) {
        const std::string what = "the name of " + scale(sc);
        t.ScaleName[sc] = fitting(in, in.field(what), what, ScoringTables::ScaleNameWidth);
    }
    for (int r = 1; r <= 4; ++r) {
        const std::string what = "the name of risk range " + std::to_string(r);
        t.RiskRangeName[r] = fitting(in, in.field(what), what, ScoringTables::RiskRangeNameWidth);
    }
    for (int i = 1; i <= 4; ++i) {
        in.line("the four title lines");
    }
    for (std::size_t i = 1; i < t.SignificantItemText.size(); ++i) {
        const std::string what = "significant item line " + std::to_string(i);
        t.SignificantItemText[i] = fitting(in, in.line(what), what, ScoringTables::ListedTextWidth);
    }
    for (std::size_t i = 1; i < t.ChoiceText.size(); ++i) {
        const std::string what = "answer line " + std::to_string(i);
        t.ChoiceText[i] = fitting(in, in.line(what), what, ScoringTables::ListedTextWidth);
    }
}

// A key holds one points digit for each item of its section.
std::string key(DataFileReader& in, const std::string& what, std::size_t items) {
    std::string text = in.field(what);
    if (text.size() != items || text.find_first_not_of("0123456789") != std::string::npos) {
        in.fail(what + " must be " + std::to_string(items) + " digits, one for each item, not \"" +
                text + "\"");
    }
    return text;
}

template <std::size_t N>
void readItems(DataFileReader& in, std::array<int, N>& items, std::string_view what) {
    for (std::size_t i = 1; i < N; ++i) {
        items[i] = in.item(what);
    }
}

void readNorms(DataFileReader& in, ScoringTables& t) {
    for (int sex = 1; sex <= 2; ++sex) {
        for (int race = 1; race <= 3; ++race) {
            const std::string group =
                "norm group (sex " + std::to_string(sex) + ", race " + std::to_string(race) + ")";
            in.label("the label of " + group);
            for (int sc = 1; sc <= TestSpec::ScaleCount; ++sc) {
                const std::string what = "the norms of " + scale(sc) + " in " + group;
                in.label(what);
                const int maxRaw = in.number(what, 0, ScoringTables::MaxRawLimit);
                // Every group is read with the one maximum of the last group; a group that
                // differs would read percentiles it does not have.
                if ((sex > 1 || race > 1) && maxRaw != t.MaxRaw[sc]) {
                    in.fail(group + " gives " + scale(sc) + " the maximum raw score " +
                            std::to_string(maxRaw) + ", the groups before it " +
                            std::to_string(t.MaxRaw[sc]));
                }
                t.MaxRaw[sc] = maxRaw;
                for (int raw = 1; raw <= maxRaw; ++raw) {
                    t.NormTable[sc][raw][race][sex] =
                        static_cast<std::int16_t>(in.number(what, 0, 99));
                }
            }
        }
    }
}

void readKeysAndNorms(DataFileReader in, ScoringTables& t) {
    readItems(in, t.SignificantItem, "the 55 significant items");
    constexpr std::size_t first = TestSpec::TrueFalseItemCount;
    constexpr std::size_t second = TestSpec::ItemCount - TestSpec::TrueFalseItemCount;
    for (int a = 0; a <= 2; ++a) {
        t.ScoringKey[1][a] = key(in, "the scoring key of items 1 to 97", first);
    }
    for (int a = 0; a <= 4; ++a) {
        t.ScoringKey[2][a] = key(in, "the scoring key of items 98 to 109", second);
    }
    readNorms(in, t);

    in.label("the label of the scale item lists");
    for (int sc = 1; sc <= TestSpec::ScaleCount; ++sc) {
        const std::string what = "the items of " + scale(sc);
        auto& list = t.ScaleItems[sc];
        list.Count = in.number(what, 0, ScoringTables::MaxScaleItems);
        for (int k = 1; k <= list.Count; ++k) {
            list.Items[k] = in.item(what);
        }
    }
    in.label("the label of the floor items");
    readItems(in, t.FloorItemsA, "the 75 floor items of 2, 3 and 4 points");
    in.label("the label of the floor items");
    readItems(in, t.FloorItemsD, "the 14 floor items of 1 point");
    in.label("the label of the Truthfulness corrections");
    for (int sc = 1; sc <= TestSpec::ScaleCount; ++sc) {
        for (int band = 1; band <= 9; ++band) {
            t.TruthCorrection[sc][band] =
                in.number("the Truthfulness corrections of " + scale(sc),
                          -ScoringTables::MaxRawLimit, ScoringTables::MaxRawLimit);
        }
    }
    in.label("the label of the narrative items");
    readItems(in, t.AlcoholNarrativeItems, "the 12 Alcohol narrative items");
    readItems(in, t.DrugNarrativeItems, "the 15 Drugs narrative items");
}

}  // namespace

ScoringTables ParseScoringTables(const std::string& reportFile, std::string report,
                                 const std::string& keysFile, std::string keys) {
    ScoringTables t;
    readReportTexts(DataFileReader(reportFile, std::move(report)), t);
    readKeysAndNorms(DataFileReader(keysFile, std::move(keys)), t);
    return t;
}

ScoringTables ReadScoringTables(const FileSystem& files, const std::string& dataFolder) {
    static constexpr const char* narratives[] = {"QLMVA.TXT", "QLMAL.TXT", "QLMDG.TXT", "QLMVI.TXT",
                                                 "QLMAS.TXT"};
    const std::string report = dataFolder + "/QLMRPT.TXT";
    const std::string keys = dataFolder + "/QLMB.TXT";
    ScoringTables t = ParseScoringTables(report, DataFileReader::readText(files, report), keys,
                                         DataFileReader::readText(files, keys));
    for (int sc = 1; sc <= TestSpec::ScaleCount; ++sc) {
        t.NarrativeFile[sc] = dataFolder + "/" + narratives[sc - 1];
    }
    return t;
}

}  // namespace qlm
