#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qlm {

// True for a date of birth typed as mm/dd/yyyy that is a real calendar day (29 February only
// in leap years) of a year from 1890 to 2050.
bool GoodDate(std::string_view date);

// The text an age field stores ("N", or the trimmed digits of 11 to 99), or nullopt when refused.
std::optional<std::string> AcceptAge(std::string_view typed);
// The text an education field stores ("N", or the trimmed digits of 1 to 99), or nullopt.
std::optional<std::string> AcceptEducation(std::string_view typed);

// The list position that typed text chooses on the sex (0 to 2) and race (0 to 6) lists;
// nullopt means the list is to be opened for the user to choose.
std::optional<int> SexPosition(std::string_view text);
std::optional<int> RacePosition(std::string_view text);

}  // namespace qlm
