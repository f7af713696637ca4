#include "entry/ClientInfoRules.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "storage/ClientFile.h"
#include "storage/ClientRecord.h"

namespace qlm {

namespace {

bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

int number(std::string_view digits) {
    int value = 0;
    for (const char c : digits) {
        value = value * 10 + (c - '0');
    }
    return value;
}

// Digits only, so that nothing but a number or "N" is ever stored.
std::optional<std::string> acceptCount(std::string_view typed, int lowest, int highest) {
    const std::string text = Trim(typed);
    if (text == "N" || text == "n") {
        return std::string("N");
    }
    if (!allDigits(text)) {
        return std::nullopt;
    }
    const int value = number(text);
    if (value < lowest || value > highest) {
        return std::nullopt;
    }
    return text;
}

std::string upper(std::string_view text, std::size_t count) {
    std::string out(text.substr(0, std::min(count, text.size())));
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

// Month, day and year of a text shaped mm/dd/yyyy (digits only), without checking the calendar.
std::optional<std::array<int, 3>> dateParts(std::string_view date) {
    if (date.size() != 10 || date[2] != '/' || date[5] != '/' || !allDigits(date.substr(0, 2)) ||
        !allDigits(date.substr(3, 2)) || !allDigits(date.substr(6, 4))) {
        return std::nullopt;
    }
    return std::array<int, 3>{number(date.substr(0, 2)), number(date.substr(3, 2)),
                              number(date.substr(6, 4))};
}

}  // namespace

bool GoodDate(std::string_view date) {
    const auto parts = dateParts(date);
    if (!parts) {
        return false;
    }
    const auto [month, day, year] = *parts;
    if (year < 1890 || year > 2050 || month < 1 || month > 12 || day < 1) {
        return false;
    }
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int last = days[month - 1] + (month == 2 && leap ? 1 : 0);
    return day <= last;
}

std::string NormalizeDate(std::string_view typed) {
    std::string text = Trim(typed);
    std::erase(text, '_');
    const auto first = text.find('/');
    const auto second = first == std::string::npos ? first : text.find('/', first + 1);
    if (second == std::string::npos) {
        return std::string(typed);
    }
    const std::string_view view(text);
    const std::string_view month = view.substr(0, first);
    const std::string_view day = view.substr(first + 1, second - first - 1);
    const std::string_view year = view.substr(second + 1);
    const auto twoDigits = [](std::string_view part) {
        return std::string(part.size() == 1 ? "0" : "") + std::string(part);
    };
    if (!allDigits(month) || month.size() > 2 || !allDigits(day) || day.size() > 2 ||
        !allDigits(year) || year.size() != 4) {
        return std::string(typed);
    }
    return twoDigits(month) + "/" + twoDigits(day) + "/" + std::string(year);
}

std::optional<std::string> AcceptAge(std::string_view typed) {
    return acceptCount(typed, 11, 99);
}

std::optional<std::string> AcceptEducation(std::string_view typed) {
    return acceptCount(typed, 1, 99);
}

bool AcceptNumberAtOk(std::string_view typed) {
    const std::string text = Trim(typed);
    if (text == "N" || text == "n") {
        return true;
    }
    return allDigits(text) && text.size() <= 2 && (number(text) > 0 || text == "0");
}

bool AcceptDateOfBirth(std::string_view typed) {
    const std::string text = upper(Trim(typed), std::string_view::npos);
    return (!text.empty() && text.front() == 'N') || GoodDate(NormalizeDate(text));
}

bool AgeDisagreesWithBirthDate(const ClientInfoContents& contents, std::string_view today) {
    const std::string age = Trim(contents[AgeField]);
    const std::string birth = NormalizeDate(contents[DateOfBirthField]);
    const auto now = dateParts(today);
    if (!allDigits(age) || number(age) == 0 || !GoodDate(birth) || !now) {
        return false;
    }
    const auto [month, day, year] = *dateParts(birth);
    const auto [thisMonth, thisDay, thisYear] = *now;
    const bool birthdayToCome = thisMonth < month || (thisMonth == month && thisDay < day);
    const int years = thisYear - year - (birthdayToCome ? 1 : 0);
    return std::abs(years - number(age)) > 1;
}

std::string CapitalNotAvailable(std::string_view typed) {
    const std::string text = Trim(typed);
    if (text == "n" || text == "N") {
        return "N";
    }
    return std::string(typed);
}

std::optional<int> SexPosition(std::string_view text) {
    const std::string first = upper(text, 1);
    if (first == "1" || first == "M") {
        return 1;
    }
    if (first == "2" || first == "F") {
        return 2;
    }
    if (first == "0" || first == "N") {
        return 0;
    }
    return std::nullopt;
}

std::optional<int> RacePosition(std::string_view text) {
    static constexpr std::string_view codes[][2] = {{"1", "CA"}, {"2", "BL"}, {"3", "HI"},
                                                    {"4", "AS"}, {"5", "NA"}, {"6", "OT"}};
    const std::string firstTwo = upper(text, 2);
    for (int i = 0; i < 6; ++i) {
        if (firstTwo == codes[i][0] || firstTwo == codes[i][1]) {
            return i + 1;
        }
    }
    if (firstTwo == "0" || firstTwo == "N/") {
        return 0;
    }
    return std::nullopt;
}

bool KeyTaken(ClientInfoField field, char key) {
    const bool notAvailable = key == 'N' || key == 'n';
    switch (field) {
        case SexField:
            return notAvailable || (key >= '0' && key <= '2');
        case RaceField:
            return notAvailable || (key >= '0' && key <= '6');
        case DateOfBirthField:
            return notAvailable || key == '/' || (key >= '0' && key <= '9');
        default:
            return true;
    }
}

std::optional<ClientInfoField> FirstRefusedField(const ClientInfoContents& contents) {
    if (Trim(contents[NameField]).empty()) {
        return NameField;
    }
    if (!AcceptNumberAtOk(contents[AgeField])) {
        return AgeField;
    }
    if (contents[SexField].empty()) {
        return SexField;
    }
    if (contents[RaceField].empty()) {
        return RaceField;
    }
    if (!AcceptNumberAtOk(contents[EducationField])) {
        return EducationField;
    }
    if (!AcceptDateOfBirth(contents[DateOfBirthField])) {
        return DateOfBirthField;
    }
    return std::nullopt;
}

namespace {

std::string positionText(std::string_view stored, int highest) {
    const int value = DigitValue(stored);
    return std::to_string(value <= highest ? value : 0);
}

std::string dateContent(std::string_view stored) {
    const std::string date = Trim(stored);
    if (date.empty()) {
        return "__/__/____";
    }
    if (date.front() == 'N' || date.front() == 'n') {
        return std::string(DateNotAvailable);
    }
    return FixedWidth(stored, 10);
}

// The date of birth as the record keeps it: "N" when not available, else the date text.
std::string storedDate(std::string_view content) {
    const std::string date = Trim(content);
    if (!date.empty() && (date.front() == 'N' || date.front() == 'n')) {
        return "N";
    }
    return NormalizeDate(date);
}

}  // namespace

ClientInfoContents ContentsOfRecord(const ClientRecord& record) {
    ClientInfoContents contents;
    contents[NameField] = Trim(record.Name);
    contents[AgeField] = Trim(record.Age);
    contents[SexField] = positionText(record.Sex, 2);
    contents[RaceField] = positionText(record.Race, 6);
    contents[EducationField] = Trim(record.Education);
    contents[DateOfBirthField] = dateContent(record.DateOfBirth);
    return contents;
}

namespace {

// Each field of the screen with the record field it is stored in and the text stored: a field
// whose content says what the record says already is not written, so its bytes stay.
struct StoredField {
    ClientInfoField field;
    ClientRecord::Field member;
    std::string (*stored)(const std::string& content);
    std::string (*shown)(const std::string& recordText);
};

std::string trimmed(const std::string& text) {
    return Trim(text);
}

std::string digit(const std::string& text) {
    return std::to_string(DigitValue(text));
}

std::string date(const std::string& text) {
    return storedDate(text);
}

constexpr StoredField StoredFields[] = {
    {NameField, &ClientRecord::Name, trimmed, trimmed},
    {AgeField, &ClientRecord::Age, trimmed, trimmed},
    {SexField, &ClientRecord::Sex, trimmed, digit},
    {RaceField, &ClientRecord::Race, trimmed, digit},
    {EducationField, &ClientRecord::Education, trimmed, trimmed},
    {DateOfBirthField, &ClientRecord::DateOfBirth, date, trimmed},
};

bool fieldDiffers(const ClientRecord& record, const ClientInfoContents& contents,
                  const StoredField& f) {
    return f.shown(record.*f.member) != f.stored(contents[f.field]);
}

void setDigit(ClientRecord& record, ClientRecord::Field field, int value) {
    if (DigitValue(record.*field) != value) {
        record.set(field, std::to_string(value));
    }
}

}  // namespace

bool ContentsDiffer(const ClientRecord& record, const ClientInfoContents& contents) {
    for (const StoredField& f : StoredFields) {
        if (fieldDiffers(record, contents, f)) {
            return true;
        }
    }
    return false;
}

void RecordToDB(ClientRecord& record, const ClientInfoContents& contents, int editCount,
                int nameDeletedFlag) {
    for (const StoredField& f : StoredFields) {
        if (fieldDiffers(record, contents, f)) {
            // The name is kept as typed; the rest as compared.
            const std::string& typed = contents[f.field];
            record.set(f.member, f.field == NameField ? typed : f.stored(typed));
        }
    }
    record.set(&ClientRecord::MaritalStatus, "0");
    setDigit(record, &ClientRecord::NameDeleted, nameDeletedFlag);
    setDigit(record, &ClientRecord::EditCount, editCount);
}

ClientRecord NewClientRecord(const std::string& today) {
    ClientRecord record;
    record.set(&ClientRecord::Answers, std::string(ClientRecord::AnswerCount, '0'));
    record.set(&ClientRecord::EditCount, "0");
    record.set(&ClientRecord::NameDeleted, "0");
    record.set(&ClientRecord::MaritalStatus, "0");
    record.set(&ClientRecord::Sex, "0");
    record.set(&ClientRecord::Race, "0");
    record.set(&ClientRecord::DateScored, today);
    return record;
}

EditTracker::EditTracker(const ClientInfoContents& remembered, int editCount)
    : m_remembered(remembered), m_count(editCount), m_countAtStart(editCount) {}

EditTracker::Change EditTracker::check(ClientInfoField field, const std::string& content) {
    if (content == m_remembered[field]) {
        return Change::Same;
    }
    if (m_count >= Limit) {
        return Change::LimitReached;
    }
    ++m_count;
    m_remembered[field] = content;
    return Change::Counted;
}

int DigitValue(std::string_view text) {
    const std::string trimmed = Trim(text);
    int value = 0;
    for (const char c : trimmed) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            break;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

ClientInfoOutcome DecideClientInfoOk(const ClientInfoOk& situation) {
    const bool editing = situation.mode == EntryMode::Edit;
    if (editing && situation.nameDeleted) {
        return ClientInfoOutcome::Leave;
    }
    if (!editing && situation.clients >= MaxClients) {
        return ClientInfoOutcome::TableFull;
    }
    // The first client, and a scanned one, are never held back by the edit limit.
    const bool blocked = situation.clients != 0 && situation.mode != EntryMode::Scanned &&
                         situation.editsAtStart >= EditTracker::Limit;
    if (!situation.changed || blocked) {
        return ClientInfoOutcome::KeepAsIs;
    }
    return editing ? ClientInfoOutcome::SaveChanges : ClientInfoOutcome::AddClient;
}

}  // namespace qlm
