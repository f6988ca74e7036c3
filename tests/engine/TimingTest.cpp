#include "engine/Benchmark.h"
#include "platform/linux/LinuxSecondsClock.h"
#include "support/FakeClock.h"
#include "support/RunRecorder.h"
#include "support/ShownTexts.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <gtest/gtest.h>

namespace vexo {
namespace {

using test::CountingPump;
using test::EventLog;
using test::FakeClock;
using test::shownOn;
constexpr auto Status = RunPageView::StatusLine;

struct TimingRig {
    explicit TimingRig(std::int16_t startSecond = 0, std::int64_t budget = 4)
        : clock(startSecond, budget) {
        state.run.CurrentPhase = 1;
        state.run.PhaseCount = 1;
    }
    EventLog log;
    FakeClock clock;
    CountingPump pump{log};
    test::ScriptedDialogs dialogs{log};
    test::RecordingRunPage page{log};
    AppState state;
    Benchmark benchmark{state, {clock, pump, dialogs, page, dialogs}};
};

// Clock budgets under which throttling try i counts exactly counts[i] readings: each try
// spends one second waiting for a change and counts the next.
void scheduleThrottle(FakeClock& clock, const std::vector<std::int64_t>& counts) {
    clock.setBudget(0, 1);
    for (std::size_t i = 0; i < counts.size(); ++i) {
        clock.setBudget(static_cast<std::int64_t>(2 * i + 1), counts[i] + 2);
        clock.setBudget(static_cast<std::int64_t>(2 * i + 2), 2);
    }
}

std::string lossStatus(int loss, int tryNumber) {
    return "Status: " + std::to_string(loss) +
           "% percent lost timeslices ( try number: " + std::to_string(tryNumber) +
           " / 25 timeout )";
}

TEST(WaitNextSecond, YieldsOnceThenReturnsAtTheFirstChangeIncludingTheWrapTo0) {
    TimingRig rig(59, 3);
    rig.benchmark.Wait_Next_Second();
    // All three readings of second 59, then the first of second 0.
    EXPECT_EQ((std::vector<std::int64_t>{static_cast<std::int64_t>(rig.log.yields()),
                                         rig.clock.field(), rig.clock.readings()}),
              (std::vector<std::int64_t>{1, 0, 4}));
}

// The program's own clock goes through the loops as its concrete type: the wait ends on a
// change of the wall-clock second, within a little more than one second.
TEST(WaitNextSecond, TheProgramsClockEndsAtTheNextWallClockSecond) {
    EventLog log;
    CountingPump pump{log};
    LinuxSecondsClock clock;
    const auto started = std::chrono::steady_clock::now();
    const std::time_t before = std::time(nullptr);
    Wait_Next_Second(clock, pump);
    const std::time_t after = std::time(nullptr);
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(log.yields(), 1u);
    EXPECT_GE(after, before + 1);
    EXPECT_LT(waited, std::chrono::milliseconds(1500));
}

TEST(MeasurementWindow, CountsBodiesInExactly31SecondsWithoutYieldingOrShowingAnything) {
    TimingRig rig(0, 10);
    rig.clock.setBudget(0, 1);
    rig.clock.setBudget(32, 1'000'000); // a 32nd second must not be counted
    rig.log.add("start");
    int bodies = 0;
    const std::int64_t count = rig.benchmark.measure([&] { ++bodies; });
    // Per pass: one reading records the second, eight equal readings run a body, the first
    // reading of the next second ends the pass.
    EXPECT_EQ(count, 31 * 8);
    EXPECT_EQ(bodies, count);
    const std::vector<std::string> expected{"start", "measure 31", "yield x1"};
    EXPECT_EQ(rig.log.events(), expected);
}

TEST(MeasurementWindow, ABodyThatOutlastsASecondIsCountedOnceInFullAndEndsItsPass) {
    TimingRig rig(0, 4);
    rig.clock.setBudget(0, 1);
    // Each body lasts until the first reading two seconds on, so it starts in one second,
    // outlasts the next and ends in the one after.
    const std::int64_t count = rig.benchmark.measure([&] {
        const std::int64_t start = rig.clock.secondsElapsed();
        while (rig.clock.secondsElapsed() < start + 2)
            rig.clock.skipReadings(1);
    });
    EXPECT_EQ(count, 31);
    EXPECT_GT(rig.clock.secondsElapsed(), 31 + 30);
}

// Double precision, its rounding included: 100 / 97 * 97 is just below 100; any drop costs at
// least 1; clamped to 16 bits.
TEST(ThrottleLoss, FollowsTheDoublePrecisionFormulaIncludingItsRounding) {
    const auto loss = Benchmark::throttleLoss;
    EXPECT_EQ((std::vector<int>{loss(1000, 1000), loss(97, 97), loss(1000, 1009), loss(1000, 1010),
                                loss(1000, 999), loss(1000, 500), loss(1, 1'000'000)}),
              (std::vector<int>{0, 1, 0, 1, 1, 50, 32767}));
}

// Try 0 only sets the reference (two waits pass before the first try's status); after the
// final status the run waits for a second boundary.
TEST(Throttle, ShowsItsTextsAndEachTryThenWaitsForASecondBoundary) {
    TimingRig rig;
    scheduleThrottle(rig.clock, std::vector<std::int64_t>(26, 1000));
    rig.benchmark.Throttle_System();
    const auto& events = rig.log.events();
    EXPECT_EQ(rig.log.from(shownOn(Status, shown::ThrottleStatus), 7),
              (std::vector<std::string>{
                  shownOn(Status, shown::ThrottleStatus),
                  shownOn(RunPageView::ProgressLine, "Benchmark Progress: Phase 1 of 1"),
                  shownOn(RunPageView::EstimateLine, shown::ThrottleEstimate),
                  shownOn(RunPageView::DescriptionLine, shown::ThrottleDescription), "yield x2",
                  shownOn(Status, lossStatus(0, 1)), "yield x2"}));
    EXPECT_EQ(events.back(), "yield x1");
    // The wait ended on the first reading of a new second.
    const std::int64_t second = rig.clock.secondsElapsed();
    rig.clock.setBudget(0, 2);
    rig.clock.readSeconds();
    EXPECT_EQ(rig.clock.secondsElapsed(), second);
}

// Counts changing by a steady factor from try to try, after alternating between 1,000,000 and
// 2,000,000 before try alternatingUntil.
std::vector<std::int64_t> steadyChange(double factor, std::size_t alternatingUntil = 0) {
    std::vector<std::int64_t> counts{1'000'000};
    while (counts.size() < 26)
        counts.push_back(
            counts.size() < alternatingUntil
                ? 1'000'000 * (1 + counts.size() % 2)
                : static_cast<std::int64_t>(static_cast<double>(counts.back()) * factor));
    return counts;
}

TEST(Throttle, StableAfterThreeTriesWithoutLossOrTimedOutAfter25) {
    const struct {
        const char* name;
        std::vector<std::int64_t> counts;
        int tries, lastLoss;
    } rows[] = {
        {"equal counts", std::vector<std::int64_t>(26, 1'000'000), 3, 0},
        {"a steady half percent rise", steadyChange(1.005), 3, 0},
        {"a steady half percent drop", steadyChange(0.995), kThrottleTimedOut, 1},
        // Alternating counts never agree; from try 22 on they are equal.
        {"stable exactly at the last try", steadyChange(1, 23), 25, 0},
        {"a loss resets the run of stable tries", {1000, 1000, 1000, 990, 990, 990, 990}, 6, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TimingRig rig;
        scheduleThrottle(rig.clock, row.counts);
        rig.benchmark.Throttle_System();
        EXPECT_EQ(rig.state.run.ThrottleTries, row.tries);
        EXPECT_EQ(rig.state.run.CurrentPhase, 2);
        const bool timedOut = row.tries == kThrottleTimedOut;
        const int lastTry = timedOut ? 25 : row.tries;
        const auto statuses = rig.log.texts(Status);
        ASSERT_EQ(statuses.size(), 2u + static_cast<std::size_t>(lastTry));
        EXPECT_EQ(statuses[statuses.size() - 2], lossStatus(row.lastLoss, lastTry));
        EXPECT_EQ(statuses.back(), timedOut ? shown::ThrottleTimedOut : shown::ThrottleStable);
        const auto& losses = rig.benchmark.throttleLosses();
        EXPECT_TRUE(losses.size() == static_cast<std::size_t>(lastTry) &&
                    losses.back() == row.lastLoss);
    }
}

} // namespace
} // namespace vexo
