#include "entry/ClientInfoRules.h"

#include <algorithm>
#include <cctype>

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

}  // namespace

bool GoodDate(std::string_view date) {
    if (date.size() != 10 || date[2] != '/' || date[5] != '/' || !allDigits(date.substr(0, 2)) ||
        !allDigits(date.substr(3, 2)) || !allDigits(date.substr(6, 4))) {
        return false;
    }
    const int month = number(date.substr(0, 2));
    const int day = number(date.substr(3, 2));
    const int year = number(date.substr(6, 4));
    if (year < 1890 || year > 2050 || month < 1 || month > 12 || day < 1) {
        return false;
    }
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int last = days[month - 1] + (month == 2 && leap ? 1 : 0);
    return day <= last;
}

std::optional<std::string> AcceptAge(std::string_view typed) {
    return acceptCount(typed, 11, 99);
}

std::optional<std::string> AcceptEducation(std::string_view typed) {
    return acceptCount(typed, 1, 99);
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

}  // namespace qlm
