#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "session/EntryMode.h"
#include "storage/ClientRecord.h"

namespace qlm {

// True for a date of birth typed as mm/dd/yyyy that is a real calendar day (29 February only
// in leap years) of a year from 1890 to 2050.
bool GoodDate(std::string_view date);

// A date typed with a one-digit month or day (1/5/2005, or 1_/5_/2005 as the date field shows
// it) in its two-digit form 01/05/2005; any other text as it is.
std::string NormalizeDate(std::string_view typed);

// The text an age field stores ("N", or the trimmed digits of 11 to 99), or nullopt when refused.
std::optional<std::string> AcceptAge(std::string_view typed);
// The text an education field stores ("N", or the trimmed digits of 1 to 99), or nullopt.
std::optional<std::string> AcceptEducation(std::string_view typed);
// Age and education as Information OK holds them, laxer than Enter so that any stored value
// passes: N, or one or two digits (a lone "0" included, "00" not).
bool AcceptNumberAtOk(std::string_view typed);
// Whether a date of birth field's text is acceptable: N (not available) or a GoodDate, once
// normalized.
bool AcceptDateOfBirth(std::string_view typed);
// An "n" or "N" (blanks aside) in capitals; any other text as it is.
std::string CapitalNotAvailable(std::string_view typed);

// The list position that typed text chooses on the sex (0 to 2) and race (0 to 6) lists;
// nullopt means the list is to be opened for the user to choose.
std::optional<int> SexPosition(std::string_view text);
std::optional<int> RacePosition(std::string_view text);

// The fields of the client information screen, in tab order.
enum ClientInfoField : int {
    NameField,
    AgeField,
    SexField,
    RaceField,
    EducationField,
    DateOfBirthField,
};
inline constexpr int ClientInfoFieldCount = 6;

// What each field holds, as the screen compares and stores it: texts as typed, sex and race as
// their list position in one digit, the date of birth as shown ("N_/__/____" when not available).
using ClientInfoContents = std::array<std::string, ClientInfoFieldCount>;

inline constexpr std::string_view DateNotAvailable = "N_/__/____";

// Whether a key typed into the sex list, the race list or the date of birth is taken at all.
bool KeyTaken(ClientInfoField field, char key);

// The first field that Information OK refuses (age and education by AcceptNumberAtOk), or
// nullopt when all are acceptable.
std::optional<ClientInfoField> FirstRefusedField(const ClientInfoContents& contents);

// Whether the age typed is more than a year away from the whole years that the date of birth
// gives on `today` (mm/dd/yyyy); false when either is not available (an age of 0 included).
bool AgeDisagreesWithBirthDate(const ClientInfoContents& contents, std::string_view today);

// The screen's contents for a stored client (name, age and education trimmed); the record is
// only read.
ClientInfoContents ContentsOfRecord(const ClientRecord& record);
// Whether any field differs from the record (each record field compared trimmed).
bool ContentsDiffer(const ClientRecord& record, const ClientInfoContents& contents);

// Copies the screen's fields, the edit count and the name-deleted mark into `record`; a field
// that says what the record says already keeps its bytes.
void RecordToDB(ClientRecord& record, const ClientInfoContents& contents, int editCount,
                int nameDeletedFlag);
// A new client's record before its fields are copied in: no answers yet (109 "0"), never
// edited, name not deleted, marital status not available, stamped with `today`.
ClientRecord NewClientRecord(const std::string& today);

// The edit limit: over a record's life at most three field changes are accepted.
class EditTracker {
public:
    static constexpr int Limit = 3;

    enum class Change {
        Same,          // the field holds what it held
        Counted,       // a change, counted and remembered
        LimitReached,  // a change beyond the limit: refused, the remembered content stands
    };

    EditTracker() = default;
    EditTracker(const ClientInfoContents& remembered, int editCount);

    Change check(ClientInfoField field, const std::string& content);

    int count() const { return m_count; }
    // The edit count as it was when the client was shown.
    int countAtStart() const { return m_countAtStart; }
    const std::string& remembered(ClientInfoField field) const { return m_remembered[field]; }
    bool limitReached() const { return m_count >= Limit; }

private:
    ClientInfoContents m_remembered{};
    int m_count = 0;
    int m_countAtStart = 0;
};

// The numeric value of a stored digit field ("" and anything not a number count 0).
int DigitValue(std::string_view text);

// What "Information OK" does once the fields were accepted.
enum class ClientInfoOutcome {
    Leave,        // a deleted name is not edited: back to the main menu
    TableFull,    // the new client has no room: said, then back to the main menu
    KeepAsIs,     // nothing changed, or the edit limit was reached before: go on, nothing saved
    AddClient,    // the new client takes the next entry of the table (memory only)
    SaveChanges,  // the edited client is written back
};
struct ClientInfoOk {
    EntryMode mode = EntryMode::NewClient;
    int clients = 0;  // in the table
    bool nameDeleted = false;
    bool changed = true;   // the fields differ from the record (an edit)
    int editsAtStart = 0;  // the record's edit count when the screen opened
};
ClientInfoOutcome DecideClientInfoOk(const ClientInfoOk& situation);

}  // namespace qlm
