#pragma once

#include <array>

namespace qlm {

// The shape of the test: 109 items in two sections (items 1-97 True/False, 98-109 with four
// choices), eleven court history counts and five scales. Lists keep the test's own numbering
// from 1; element 0 is unused unless stated.
struct TestSpec {
    static constexpr int ItemCount = 109;
    static constexpr int ScaleCount = 5;
    // Last item of each section; element 0 is 0 so that section s runs from
    // SectionEnd[s - 1] + 1 to SectionEnd[s].
    std::array<int, 3> SectionEnd{};
    // Highest answer value of section 1 and 2.
    std::array<int, 3> SectionChoices{};
    int CourtItemCount = 0;
};

void SetTestSpec(TestSpec& constants);

// 1 when low <= value <= high, else 0.
int InRange(double value, double low, double high);

}  // namespace qlm
