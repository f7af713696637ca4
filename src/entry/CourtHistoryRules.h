#pragma once

#include <array>
#include <string>
#include <string_view>

#include "storage/ClientRecord.h"

namespace qlm {

inline constexpr int CourtFieldCount = ClientRecord::CourtCountCount;
inline constexpr const char* CourtEntryErrorTitle = "Data Entry Error";

enum class CourtRule { Count, AgeAtFirstArrest };

// One field of the court history screen, in tab order (which is record order).
struct CourtField {
    ClientRecord::Field field;
    std::string name;  // the record field's name; its text box is "txt" followed by it
    std::string caption;
    CourtRule rule;
    std::string prompt;
    std::string message;  // shown when the field's rule refuses what was typed
};

const std::array<CourtField, CourtFieldCount>& CourtFields();

// A count: "N" or "n" (not available), or a whole number from `lowest` to `highest`; an empty
// text counts 0. Blanks at either end are ignored; anything else (a sign, a point, a letter)
// is refused.
bool CheckCount(std::string_view text, int lowest, int highest);
// The age at the first arrest: "N" or "n", or a whole number from 5 to 99; not empty.
bool CheckAgeAtFirstArrest(std::string_view text);
// The rule of `field`: 0 to 99 for the counts, 5 to 99 for the age.
bool CheckCourtField(const CourtField& field, std::string_view text);
// What a field shows once Enter or Tab accepted it: trimmed and upper-cased.
std::string NormalizeCourtText(std::string_view text);

// The texts of the eleven fields, in tab order.
using CourtTexts = std::array<std::string, CourtFieldCount>;

// The record's counts, trimmed, for the text boxes. The record itself is left as it is, so
// that leaving the screen without storing keeps it byte for byte.
CourtTexts GetCourtData(const ClientRecord& record);
// Stores the texts into the record's counts, left-aligned and blank-padded to 2 characters; a
// count that says what the record says already (" 0" for "0") keeps its bytes.
void SaveCourtData(ClientRecord& record, const CourtTexts& texts);
// The first field that Information OK refuses, or -1 when every field is acceptable. It holds
// all eleven to 0 to 100, the age at the first arrest too, so an empty age or one below 5
// passes here though Enter refuses it.
int FirstRefusedCourtField(const CourtTexts& texts);
// Whether the age at the first arrest is a number above the client's age (both as typed or
// stored); false when either is not available (a client's age of 0 included).
bool FirstArrestAfterAge(std::string_view ageAtFirstArrest, std::string_view clientAge);

}  // namespace qlm
