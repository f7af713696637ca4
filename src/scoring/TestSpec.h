#pragma once

#include <array>

namespace qlm {

// The shape of the test: 109 items in two sections (items 1-97 True/False, 98-109 with four
// choices), eleven court history counts and five scales. Lists keep the test's own numbering
// from 1; element 0 is unused unless stated.
struct TestSpec {
    static constexpr int ItemCount = 109;
    static constexpr int TrueFalseItemCount = 97;
    static constexpr int ScaleCount = 5;
    // The two items that stand on both the Alcohol and the Drugs scale: their answer names the
    // substance, and so the scale that keeps their points.
    static constexpr int FirstSubstanceItem = 102;
    static constexpr int SecondSubstanceItem = 103;
    // Last item of each section; element 0 is 0 so that section s runs from
    // SectionEnd[s - 1] + 1 to SectionEnd[s].
    std::array<int, 3> SectionEnd{};
    // Highest answer value of section 1 and 2.
    std::array<int, 3> SectionChoices{};
    int CourtItemCount = 0;
};

void SetTestSpec(TestSpec& constants);

}  // namespace qlm
