#include "TableFiles.h"

#include <algorithm>

#include "scoring/Scoring.h"

namespace qlm::test {

TableFiles::TableFiles()
    : key1{std::string(97, '0'), std::string(97, '0'), std::string(97, '0')},
      key2{std::string(12, '0'), std::string(12, '0'), std::string(12, '0'), std::string(12, '0'),
           std::string(12, '0')},
      norm([](int group, int, int raw) { return std::min(99, raw + group); }) {
    for (auto& group : maxRaw) {
        group.fill(99);
    }
    for (int e = 1; e <= 75; ++e) {
        floorA[e] = e;
    }
    for (int e = 1; e <= 14; ++e) {
        floorD[e] = 75 + e;
    }
    for (int sc = 1; sc <= 5; ++sc) {
        for (int band = 1; band <= 9; ++band) {
            corrections[sc][band] = 10 * sc + band;
        }
    }
    for (int i = 1; i <= 55; ++i) {
        significantItems.push_back(i);
    }
}

void TableFiles::setPoints(int item, int answer, int points) {
    std::string& key = item <= 97 ? key1.at(answer) : key2.at(answer);
    key.at(item <= 97 ? item - 1 : item - 98) = static_cast<char>('0' + points);
}

void TableFiles::setPoints(std::initializer_list<std::array<int, 3>> keyed) {
    for (const auto& [item, answer, points] : keyed) {
        setPoints(item, answer, points);
    }
}

void TableFiles::setMaxRaw(int scale, int m) {
    for (auto& group : maxRaw) {
        group[scale] = m;
    }
}

namespace {

template <typename List>
std::string joined(const List& values) {
    std::string text;
    for (const int v : values) {
        text += (text.empty() ? "" : ",") + std::to_string(v);
    }
    return text + "\n";
}

template <std::size_t N>
std::vector<int> fromOne(const std::array<int, N>& values) {
    return {values.begin() + 1, values.end()};
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

}  // namespace

std::string TableFiles::reportText() const {
    std::string text;
    for (int sc = 1; sc <= 5; ++sc) {
        text += quoted(scaleNames[sc]) + (sc < 5 ? "," : "\n");
    }
    for (int r = 1; r <= 4; ++r) {
        text += quoted(riskNames[r]) + (r < 4 ? "," : "\n");
    }
    text += "Title\nNote, with a comma\n\"Quoted note\"\n\n";
    for (int i = 1; i <= 55; ++i) {
        text += " Significant " + std::to_string(i) + ", said \"True\"\n";
    }
    for (int i = 1; i <= 48; ++i) {
        text += "Choice " + std::to_string(i) + "\n";
    }
    return text;
}

std::string TableFiles::keysText() const {
    std::string text = joined(significantItems);
    for (const auto& key : key1) {
        text += quoted(key) + "\n";
    }
    for (const auto& key : key2) {
        text += quoted(key) + "\n";
    }
    for (int group = 0; group < 6; ++group) {
        text += quoted("Group " + std::to_string(group) + ", norms") + "\n";
        for (int sc = 1; sc <= 5; ++sc) {
            std::vector<int> percentiles;
            for (int raw = 1; raw <= maxRaw[group][sc]; ++raw) {
                percentiles.push_back(norm(group, sc, raw));
            }
            text += quoted("Scale " + std::to_string(sc)) + "," +
                    std::to_string(maxRaw[group][sc]) + "\n" +
                    (percentiles.empty() ? "" : joined(percentiles));
        }
    }
    text += "\"Scale items\"\n";
    for (int sc = 1; sc <= 5; ++sc) {
        text += std::to_string(scaleItems[sc].size()) + "\n" +
                (scaleItems[sc].empty() ? "" : joined(scaleItems[sc]));
    }
    text += "\"Floor items A\"\n" + joined(fromOne(floorA));
    text += "\"Floor items D\"\n" + joined(fromOne(floorD));
    text += "\"Corrections\"\n";
    for (int sc = 1; sc <= 5; ++sc) {
        text += joined(fromOne(corrections[sc]));
    }
    text += "\"Narrative items\"\n1,2,3,4,5,6,7,8,9,10,11,12\n";
    text += "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15\n";
    return text;
}

void TableFiles::writeTo(const std::string& folder) const {
    std::string report = reportText();
    std::string keys = keysText();
    if (edit) {
        edit(report, keys);
    }
    if (writeReport) {
        TestFolder::write(folder + "/QLMRPT.TXT", report);
    }
    if (writeKeys) {
        TestFolder::write(folder + "/QLMB.TXT", keys);
    }
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
