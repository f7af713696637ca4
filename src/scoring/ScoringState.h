#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace qlm {

// The working values of the client being scored. Rebuilt from the client record at every
// scoring; nothing here is ever stored.
struct ScoringState {
    // 1 Name, 2 Age, 3 Sex code, 4 Race code, 6 Education, 7 DateOfBirth, 8 MaritalStatus code,
    // 10 DateScored; 5 and 9 are not used.
    std::array<std::string, 11> ClientInfo;
    // Court history counts 1 to 11 as text, "N/A" when not available.
    std::array<std::string, 12> CourtCounts;
    // Answer value of items 1 to 109; 0 is omitted.
    std::array<int, 110> ItemAnswers{};
    std::int16_t CurrentTestNumber = 0;
    std::int16_t NameDeletedFlag = 0;

    // Points of each scale item; scales 1 to 5 below.
    std::array<std::int16_t, 110> ItemScore{};
    std::array<double, 6> RawScore{};
    std::array<int, 6> OmittedCount{};
    std::array<std::int16_t, 6> DeviantCount{};
    std::array<std::int16_t, 6> Percentile{};
};

}  // namespace qlm
