#include "entry/CourtHistoryRules.h"

#include <optional>

namespace qlm {

namespace {

constexpr std::array<const char*, CourtFieldCount> Captions{
    "1. Your age at your first arrest",
    "2. Number of times you have been picked up for truancy:",
    "3. Number of runaways from home",
    "4. Total number of times arrested",
    "5. Number of times on probation",
    "6. Number of probation revocations",
    "7. Number of times held in detention",
    "8. Number of court convictions",
    "9. Number of driving under the influence arrests",
    "10. Number of alcohol-related (not DUI) arrests",
    "11. Number of drug-related arrests",
};

bool notAvailable(std::string_view text) {
    return text == "N" || text == "n";
}

// The value of a whole number typed in a field (an empty one counts 0); nullopt when the
// text is anything but digits. Long digit strings saturate rather than overflow.
std::optional<int> wholeValue(std::string_view text) {
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value > 100000 ? value : value * 10 + (c - '0');
    }
    return value;
}

bool inRange(std::string_view text, int lowest, int highest) {
    const std::string trimmed = Trim(text);
    if (notAvailable(trimmed)) {
        return true;
    }
    const auto value = wholeValue(trimmed);
    return value && *value >= lowest && *value <= highest;
}

}  // namespace

const std::array<CourtField, CourtFieldCount>& CourtFields() {
    static const std::array<CourtField, CourtFieldCount> fields = [] {
        std::array<CourtField, CourtFieldCount> table;
        for (int k = 0; k < CourtFieldCount; ++k) {
            CourtField& f = table[static_cast<std::size_t>(k)];
            f.field = ClientRecord::courtCountField(k + 1);
            for (const auto& layout : ClientRecord::layout()) {
                if (layout.field == f.field) {
                    f.name = layout.name;
                }
            }
            f.caption = Captions[static_cast<std::size_t>(k)];
            f.rule = k == 0 ? CourtRule::AgeAtFirstArrest : CourtRule::Count;
            const std::string range = k == 0 ? "5 to 99" : "0 to 99";
            f.prompt = "Type a value " + range + " or N for not available, then press Enter.";
            f.message = "Enter a number from " + range +
                        " or N for not available. Press Enter to continue.";
        }
        return table;
    }();
    return fields;
}

bool CheckCount(std::string_view text, int lowest, int highest) {
    return inRange(text, lowest, highest) || Trim(text) == "0";
}

bool CheckAgeAtFirstArrest(std::string_view text) {
    return !Trim(text).empty() && inRange(text, 5, 99);
}

bool CheckCourtField(const CourtField& field, std::string_view text) {
    return field.rule == CourtRule::AgeAtFirstArrest ? CheckAgeAtFirstArrest(text)
                                                     : CheckCount(text, 0, 99);
}

std::string NormalizeCourtText(std::string_view text) {
    std::string out = Trim(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

CourtTexts GetCourtData(const ClientRecord& record) {
    CourtTexts texts;
    for (int k = 0; k < CourtFieldCount; ++k) {
        texts[static_cast<std::size_t>(k)] = Trim(record.courtCount(k + 1));
    }
    return texts;
}

void SaveCourtData(ClientRecord& record, const CourtTexts& texts) {
    for (int k = 0; k < CourtFieldCount; ++k) {
        const std::string& text = texts[static_cast<std::size_t>(k)];
        if (NormalizeCourtText(record.courtCount(k + 1)) != NormalizeCourtText(text)) {
            record.set(ClientRecord::courtCountField(k + 1), text);
        }
    }
}

int FirstRefusedCourtField(const CourtTexts& texts) {
    for (int k = 0; k < CourtFieldCount; ++k) {
        if (!CheckCount(texts[static_cast<std::size_t>(k)], 0, 100)) {
            return k;
        }
    }
    return -1;
}

bool FirstArrestAfterAge(std::string_view ageAtFirstArrest, std::string_view clientAge) {
    // Empty texts count 0; a client's age of 0 tells nothing, so it is not compared.
    const auto arrest = wholeValue(Trim(ageAtFirstArrest));
    const auto age = wholeValue(Trim(clientAge));
    return arrest && age && *age > 0 && *arrest > *age;
}

}  // namespace qlm
