#pragma once

#include "platform/SecondsClock.h"

#include <cstdint>
#include <map>

namespace vexo::test {

// A seconds clock driven by the number of readings taken: each clock second lasts a given
// number of readings (its budget), after which the seconds field moves on by one, wrapping from
// 59 to 0. Budgets not set explicitly use the default.
class FakeClock final : public SecondsClock {
public:
    explicit FakeClock(std::int16_t startSecond = 0, std::int64_t defaultBudget = 4)
        : m_startSecond(startSecond)
        , m_defaultBudget(defaultBudget) {}

    std::int16_t readSeconds() override {
        advance();
        return field();
    }
    // Each reading is a millisecond after the one before.
    std::int16_t readTimedSeconds(std::int64_t& nanoseconds) override {
        advance();
        nanoseconds = m_readings * 1'000'000;
        return field();
    }
    void beginRun() override { ++m_runsBegun; }

    // Sets the budgets of the seconds from the current one on (relative index 0 = now).
    void setBudget(std::int64_t relativeSecond, std::int64_t readings) {
        m_budgets[m_second + relativeSecond] = readings;
    }

    // Makes the next measurement window count exactly n iterations of a body that takes no
    // readings of its own: the current second ends now, the wait for the next change finds it
    // at once, the window's first second holds n iterations and its other 30 none.
    void scheduleWindow(std::int64_t n) {
        m_budgets[m_second] = m_used;
        // Wait: its start reading is the next second's only reading; the change is seen on the
        // first reading of the window's first second.
        m_budgets[m_second + 1] = 1;
        // Each pass takes one reading to record the second, n (or 0) equal readings that each
        // run a body, and the first reading of the next second ends it.
        for (int pass = 0; pass < 31; ++pass)
            m_budgets[m_second + 2 + pass] = pass == 0 ? n + 2 : 2;
    }

    // Time passing inside a benchmark body.
    void skipReadings(std::int64_t n) {
        for (std::int64_t i = 0; i < n; ++i)
            advance();
    }

    std::int64_t readings() const { return m_readings; }
    std::int64_t secondsElapsed() const { return m_second; }
    std::int16_t field() const {
        return static_cast<std::int16_t>((m_startSecond + m_second) % 60);
    }
    int runsBegun() const { return m_runsBegun; }

private:
    void advance() {
        if (m_used >= (m_budgets.contains(m_second) ? m_budgets[m_second] : m_defaultBudget)) {
            ++m_second;
            m_used = 0;
        }
        ++m_used;
        ++m_readings;
    }

    std::int16_t m_startSecond;
    std::int64_t m_defaultBudget;
    std::map<std::int64_t, std::int64_t> m_budgets;
    std::int64_t m_second = 0, m_used = 0, m_readings = 0;
    int m_runsBegun = 0;
};

} // namespace vexo::test
