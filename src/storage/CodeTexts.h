#pragma once

#include <array>
#include <string>

namespace qlm {

// Words for the stored code digits, each padded to its table's width.
struct CodeTexts {
    std::array<std::string, 3> GenderText;   // width 6
    std::array<std::string, 7> RaceText;     // width 15
    std::array<std::string, 6> MaritalText;  // width 9
    std::array<std::string, 3> YesNoText;    // width 3
};

void FillCodeTexts(CodeTexts& codes);

// The text of `code` in `table`, or "N/A" padded to the table's width for a code it has no
// text for.
template <std::size_t N>
std::string CodeText(const std::array<std::string, N>& table, double code) {
    const std::size_t width = table[0].size();
    if (code >= 0 && code < static_cast<double>(N) &&
        code == static_cast<double>(static_cast<int>(code))) {
        return table[static_cast<std::size_t>(code)];
    }
    std::string na = "N/A";
    na.resize(width, ' ');
    return na;
}

}  // namespace qlm
