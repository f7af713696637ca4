#include "TableFiles.h"

#include <algorithm>

#include "scoring/Scoring.h"

namespace qlm::test {

TableFiles::TableFiles() : norm([](int group, int, int raw) { return std::min(99, raw + group); }) {
    key1.fill(std::string(97, '0'));
    key2.fill(std::string(12, '0'));
    for (auto& group : maxRaw) {
        group.fill(99);
    }
    for (int e = 1; e <= 75; ++e) {
        floorA[e] = e;
    }
    for (int e = 1; e <= 14; ++e) {
        floorD[e] = 75 + e;
    }
    for (int i = 1; i <= 55; ++i) {
        significantItems.push_back(i);
    }
}

void TableFiles::setPoints(std::initializer_list<std::array<int, 3>> keyed) {
    for (const auto& [item, answer, points] : keyed) {
        std::string& key = item <= 97 ? key1.at(answer) : key2.at(answer);
        key.at(item <= 97 ? item - 1 : item - 98) = static_cast<char>('0' + points);
    }
}

void TableFiles::setMaxRaw(int scale, int m) {
    for (auto& group : maxRaw) {
        group[scale] = m;
    }
}

namespace {

// Values from index `from` on, comma-separated, as one line.
template <typename List>
std::string line(const List& values, std::size_t from = 0) {
    std::string text;
    for (auto v = values.begin() + from; v != values.end(); ++v) {
        text += (text.empty() ? "" : ",") + std::to_string(*v);
    }
    return text + "\n";
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
    std::string keys = line(significantItems);
    for (const auto& key : key1) {
        keys += "\"" + key + "\"\n";
    }
    for (const auto& key : key2) {
        keys += "\"" + key + "\"\n";
    }
    for (int group = 0; group < 6; ++group) {
        keys += "\"Group " + std::to_string(group) + ", norms\"\n";
        for (int sc = 1; sc <= 5; ++sc) {
            std::vector<int> percentiles;
            for (int raw = 1; raw <= maxRaw[group][sc]; ++raw) {
                percentiles.push_back(norm(group, sc, raw));
            }
            keys += "\"Scale\"," + std::to_string(maxRaw[group][sc]) + "\n" +
                    (percentiles.empty() ? "" : line(percentiles));
        }
    }
    keys += "\"Scale items\"\n";
    for (int sc = 1; sc <= 5; ++sc) {
        keys += std::to_string(scaleItems[sc].size()) + "\n" +
                (scaleItems[sc].empty() ? "" : line(scaleItems[sc]));
    }
    keys += "\"Floor items A\"\n" + line(floorA, 1) + "\"Floor items D\"\n" + line(floorD, 1);
    keys += "\"Corrections\"\n";
    for (int sc = 1; sc <= 5; ++sc) {
        std::vector<int> corrections;
        for (int band = 1; band <= 9; ++band) {
            corrections.push_back(10 * sc + band);
        }
        keys += line(corrections);
    }
    keys +=
        "\"Narrative items\"\n1,2,3,4,5,6,7,8,9,10,11,12\n1,2,3,4,5,6,7,8,9,10,11,12,13,14,15\n";
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
