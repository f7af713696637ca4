#include "TableFiles.h"
#include "session/Operations.h"

#include <algorithm>

#include "scoring/Scoring.h"

namespace qlm::test {

void TableFiles::setPoints(std::initializer_list<std::array<int, 3>> keyed) {
    for (const auto& [item, answer, points] : keyed) {
        std::string& key = item <= 97 ? key1.at(answer) : key2.at(answer);
        key.at(item <= 97 ? item - 1 : item - 98) = static_cast<char>('0' + points);
    }
}

namespace {

// `count` values, value(1) first, comma-separated, as one line.
std::string line(int count, const std::function<int(int)>& value) {
    std::string text;
    for (int i = 1; i <= count; ++i) {
        text += (i > 1 ? "," : "") + std::to_string(value(i));
    }
    return text + "\n";
}

int same(int i) {
    return i;
}

}  // namespace

void TableFiles::writeTo(const std::string& folder) const {
    std::string report =
        "\"Truth\",\"Alcohol, use\",\"Drugs\",\"Violence\",\"Antisocial\"\n"
        "\"Lo\",\"Mid\",\"Prob\",\"Max\"\nTitle\nNote, with a comma\n\"Quoted note\"\n\n";
    for (int i = 1; i <= 55; ++i) {
        report += " Significant " + std::to_string(i) + ", said \"True\"\n";
    }
    for (int i = 1; i <= 48; ++i) {
        report += "Choice " + std::to_string(i) + "\n";
    }
    std::string keys = line(55, same);
    for (const auto& key : key1) {
        keys += "\"" + key + "\"\n";
    }
    for (const auto& key : key2) {
        keys += "\"" + key + "\"\n";
    }
    for (int group = 0; group < 6; ++group) {
        keys += "\"Group " + std::to_string(group) + ", norms\"\n";
        for (int sc = 1; sc <= 5; ++sc) {
            keys += "\"Scale\"," + std::to_string(maxRaw[sc]) + "\n" +
                    line(maxRaw[sc], [group](int raw) { return std::min(99, raw + group); });
        }
    }
    keys += "\"Scale items\"\n";
    for (int sc = 1; sc <= 5; ++sc) {
        const auto& items = scaleItems[sc];
        keys += std::to_string(items.size()) + "\n" +
                (items.empty() ? "" : line(int(items.size()), [&](int k) { return items[k - 1]; }));
    }
    keys += "\"Floor items A\"\n" + line(75, same) + "\"Floor items D\"\n" +
            line(14, [](int e) { return 75 + e; }) + "\"Corrections\"\n";
    for (int sc = 1; sc <= 5; ++sc) {
        keys += line(9, [sc](int band) { return 10 * sc + band; });
    }
    keys += "\"Narrative items\"\n" + line(12, same) + line(15, same);
    if (edit) {
        edit(report, keys);
    }
    TestFolder::write(folder + "/QLMRPT.TXT", report);
    TestFolder::write(folder + "/QLMB.TXT", keys);
}

ScoringFixture::ScoringFixture(const TableFiles& tables)
    : session(files, folder.program()), s(session.Scoring) {
    tables.writeTo(folder.program());
    SetTestSpec(session.Constants);
    LoadScoringTables(session);
    // Education "N" adds no points, so that each test sees only the points it sets up.
    s.ClientInfo[6] = "N";
}

}  // namespace qlm::test
