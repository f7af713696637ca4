#include "ui/Clock.h"

#include <cstdio>
#include <ctime>

namespace qlm {

std::string SystemClock::Today() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[40];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", local.tm_mon + 1, local.tm_mday,
                  local.tm_year + 1900);
    return text;
}

}  // namespace qlm
