#pragma once

#include <string>

namespace qlm {

// Today's date, so that screens that stamp a record can be tested on a fixed day.
class Clock {
public:
    virtual ~Clock() = default;
    // Today as "mm/dd/yyyy".
    virtual std::string Today() const = 0;
};

// The machine's own calendar, in local time.
class SystemClock : public Clock {
public:
    std::string Today() const override;
};

}  // namespace qlm
