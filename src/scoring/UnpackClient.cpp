#include "scoring/UnpackClient.h"

#include <cstdio>
#include <utility>

#include "scoring/NumericValue.h"
#include "scoring/ScoringState.h"
#include "storage/ClientRecord.h"

namespace qlm {

namespace {

// A date typed as m/d/yyyy in its "mm/dd/yyyy" form; any other text as it stands.
std::string formatDate(const std::string& text) {
    unsigned month = 0, day = 0, year = 0;
    int used = 0;
    if (std::sscanf(text.c_str(), "%2u/%2u/%4u%n", &month, &day, &year, &used) == 3 &&
        static_cast<std::size_t>(used) == text.size() && month >= 1 && month <= 12 && day >= 1 &&
        day <= 31) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%02u/%02u/%04u", month, day, year);
        return buffer;
    }
    return text;
}

}  // namespace

void UnpackClient(const ClientRecord& record, int testNumber, ScoringState& s) {
    const auto take = [&record](ClientRecord::Field field) { return Trim(record.*field); };
    const std::pair<int, ClientRecord::Field> info[] = {
        {1, &ClientRecord::Name},          {2, &ClientRecord::Age},
        {3, &ClientRecord::Sex},           {4, &ClientRecord::Race},
        {6, &ClientRecord::Education},     {7, &ClientRecord::DateOfBirth},
        {8, &ClientRecord::MaritalStatus}, {10, &ClientRecord::DateScored},
    };
    s.ClientInfo = {};
    for (const auto& [position, field] : info) {
        s.ClientInfo[static_cast<std::size_t>(position)] = take(field);
    }
    s.ClientInfo[10] = formatDate(s.ClientInfo[10]);

    for (int i = 1; i <= ClientRecord::CourtCountCount; ++i) {
        std::string count = take(ClientRecord::courtCountField(i));
        if (count == "N" || count == "n" || count == "-1") {
            count = "N/A";
        }
        s.CourtCounts[static_cast<std::size_t>(i)] = count;
    }

    for (std::size_t i = 1; i <= ClientRecord::AnswerCount; ++i) {
        s.ItemAnswers[i] =
            static_cast<int>(NumericValue(std::string_view(&record.Answers[i - 1], 1)));
    }
    s.NameDeletedFlag = static_cast<std::int16_t>(NumericValue(record.NameDeleted));
    s.CurrentTestNumber = static_cast<std::int16_t>(testNumber);
}

}  // namespace qlm
