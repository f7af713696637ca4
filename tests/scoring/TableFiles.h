#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "session/Session.h"
#include "storage/FileSystem.h"
#include "support/TestFolder.h"

namespace qlm::test {

// Small scoring tables of a test's own, written out as "QLMRPT.TXT" and "QLMB.TXT" so that
// each test states only what it changes. Every key digit is 0 unless set; the percentile of a
// raw score is raw + group (at most 99), groups 0 to 5 in file order, so group 0 (male, race 1)
// maps raw to itself; no scale items; FloorItemsA entry e is item e, FloorItemsD entry e item
// 75 + e; TruthCorrection(scale, band) = 10 * scale + band; significant item s is item s.
struct TableFiles {
    std::array<std::string, 3> key1{std::string(97, '0'), std::string(97, '0'),
                                    std::string(97, '0')};  // answers 0 to 2
    std::array<std::string, 5> key2;                        // answers 0 to 4, 12 digits
    std::array<int, 6> maxRaw{0, 99, 99, 99, 99, 99};
    std::array<std::vector<int>, 6> scaleItems;
    // Last changes to the texts, for faults the fields above cannot express.
    std::function<void(std::string& report, std::string& keys)> edit;

    TableFiles() { key2.fill(std::string(12, '0')); }
    // {item, answer, points} for each keyed answer.
    void setPoints(std::initializer_list<std::array<int, 3>> keyed);
    void writeTo(const std::string& folder) const;
};

// A session on a program folder holding `tables`, with the tables loaded.
struct ScoringFixture {
    explicit ScoringFixture(const TableFiles& tables = {});

    TestFolder folder;
    FileSystem files;
    Session session;
    ScoringState& s;
};

}  // namespace qlm::test
