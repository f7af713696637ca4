#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace qlm {

// What the scoring and text data files hold; loaded afresh for every scoring.
struct ScoringTables {
    static constexpr int MaxRawLimit = 100;
    static constexpr int MaxScaleItems = 30;
    // The room the report's layout gives the texts: a scale name before the percentile column
    // of the profile and, with a range name, before the narrative heading's percentile; the
    // significant item and answer lines in the left of two columns.
    static constexpr std::size_t ScaleNameWidth = 20;
    static constexpr std::size_t RiskRangeNameWidth = 14;
    static constexpr std::size_t ListedTextWidth = 36;

    struct ScaleItemList {
        int Count = 0;
        std::array<int, MaxScaleItems + 1> Items{};  // 1 to Count
        bool operator==(const ScaleItemList&) const = default;
    };
    // Percentile by [raw 0..100][race 1..3][sex 1..2]; raw 0 is always percentile 0.
    using NormGrid = std::array<std::array<std::array<std::int16_t, 3>, 4>, MaxRawLimit + 1>;

    std::array<std::string, 6> ScaleName;             // 1..5
    std::array<std::string, 5> RiskRangeName;         // 1..4
    std::array<std::string, 56> SignificantItemText;  // 1..55
    std::array<std::string, 49> ChoiceText;           // 1..48
    std::array<int, 56> SignificantItem{};            // 1..55
    // ScoringKey[section 1..2][answer 0..SectionChoices]: one digit per item position.
    std::array<std::array<std::string, 5>, 3> ScoringKey;
    std::array<int, 6> MaxRaw{};                           // 1..5
    std::array<NormGrid, 6> NormTable{};                   // [scale 1..5]
    std::array<ScaleItemList, 6> ScaleItems;               // 1..5
    std::array<int, 76> FloorItemsA{};                     // 1..75
    std::array<int, 15> FloorItemsD{};                     // 1..14
    std::array<std::array<int, 10>, 6> TruthCorrection{};  // [scale 1..5][band 1..9]
    std::array<int, 13> AlcoholNarrativeItems{};           // 1..12
    std::array<int, 16> DrugNarrativeItems{};              // 1..15
    std::array<std::string, 6> NarrativeFile;              // 1..5, full paths

    bool operator==(const ScoringTables&) const = default;
};

}  // namespace qlm
