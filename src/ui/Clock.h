#pragma once

#include <chrono>
#include <string>

namespace qlm {

// Today's date, so that screens that stamp a record can be tested on a fixed day, and the
// time that waits are measured in, so that tests need not wait them out.
class Clock {
public:
    virtual ~Clock() = default;
    // Today as "mm/dd/yyyy".
    virtual std::string Today() const = 0;
    virtual std::chrono::steady_clock::time_point Now() const = 0;
};

// The machine's own calendar, in local time.
class SystemClock : public Clock {
public:
    std::string Today() const override;
    std::chrono::steady_clock::time_point Now() const override {
        return std::chrono::steady_clock::now();
    }
};

}  // namespace qlm
