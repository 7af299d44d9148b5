// SPDX-License-Identifier: MIT
// The local date and time as the package layer reads it; replaceable so that
// file names and dates are deterministic in tests.
#pragma once

namespace xls2qdp {

struct LocalDateTime {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() const = 0;
};

// The machine's local time.
class SystemClock : public Clock {
public:
    LocalDateTime now() const override;
};

// Always the same moment (tests, reproducible runs).
class FixedClock : public Clock {
public:
    explicit FixedClock(LocalDateTime moment) : moment_(moment) {}
    LocalDateTime now() const override { return moment_; }
    void set(LocalDateTime moment) { moment_ = moment; }

private:
    LocalDateTime moment_;
};

} // namespace xls2qdp
