#include "scoring/NumericValue.h"

#include <charconv>

#include <cctype>

namespace qlm {

double NumericValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    double sign = 1.0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        sign = text[i] == '-' ? -1.0 : 1.0;
        ++i;
    }
    const auto isDigit = [&](std::size_t k) {
        return k < text.size() && std::isdigit(static_cast<unsigned char>(text[k]));
    };
    double value = 0.0;
    for (; isDigit(i); ++i) {
        value = value * 10.0 + (text[i] - '0');
    }
    if (i < text.size() && text[i] == '.') {
        double scale = 0.1;
        for (++i; isDigit(i); ++i) {
            value += (text[i] - '0') * scale;
            scale /= 10.0;
        }
    }
    return sign * value;
}

std::string ShortestNumber(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value + 0.0);
    return std::string(buffer, result.ptr);
}

}  // namespace qlm
