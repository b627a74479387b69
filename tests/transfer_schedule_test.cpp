// The retry schedule of a load or a write, driven as the window's button and
// retry timer drive it.
#include "parameter/transfer_schedule.h"

#include <vector>

#include <gtest/gtest.h>

namespace zelk20 {
namespace {

// Runs one series: the button's attempt, then retry ticks until the
// schedule stops or gives up. `outcomes` are the attempts' outcomes in
// order; the last one repeats. Returns the number of attempts made and
// whether the series gave up.
struct Series {
    int attempts = 0;
    bool gave_up = false;
};
Series run_series(TransferSchedule& schedule, const std::vector<AttemptOutcome>& outcomes) {
    auto outcome = [&](int k) { return outcomes[std::min<std::size_t>(k, outcomes.size() - 1)]; };
    Series series{1, false};
    RetryStep step = schedule.after_attempt(outcome(0));
    if (step != RetryStep::retry) return series;
    for (;;) {  // the retry timer runs
        step = schedule.after_attempt(outcome(series.attempts++));
        if (schedule.count_tick()) {
            series.gave_up = true;
            return series;
        }
        if (step == RetryStep::stop) return series;
    }
}

TEST(TransferSchedule, GivesUpAfterTwelveTicksAndCountsATickThatSucceeded) {
    using enum AttemptOutcome;
    struct Case {
        const char* name;
        std::vector<std::vector<AttemptOutcome>> series;  // one after the other on the same schedule
        std::vector<int> attempts;
        std::vector<bool> gave_up;
        std::uint16_t retry_count_after;
    };
    const Case cases[] = {
        {"a silent module: thirteen attempts, then the failure", {{failed}}, {13}, {true}, 0},
        {"accepted at once", {{accepted}}, {1}, {false}, 0},
        {"accepted at the third tick", {{failed, failed, failed, accepted}}, {4}, {false}, 1},
        {"a success inside a tick shortens the next failing series by one tick",
         {{failed, accepted}, {failed}},
         {2, 12},
         {false, true},
         0},
        {"a button's success resets the count", {{failed, accepted}, {accepted}, {failed}}, {2, 1, 13}, {false, false, true}, 0},
    };
    for (const Case& c : cases) {
        TransferSchedule schedule;
        for (std::size_t k = 0; k < c.series.size(); ++k) {
            const Series series = run_series(schedule, c.series[k]);
            EXPECT_EQ(series.attempts, c.attempts[k]) << c.name << ", series " << k;
            EXPECT_EQ(series.gave_up, c.gave_up[k]) << c.name << ", series " << k;
        }
        EXPECT_EQ(schedule.retry_count, c.retry_count_after) << c.name;
    }
}

TEST(TransferSchedule, IntervalGrowsAtTheFirstSuccessOfTheRun) {
    TransferSchedule schedule;
    EXPECT_EQ(schedule.retry_interval(), std::chrono::milliseconds(400));
    EXPECT_EQ(schedule.after_attempt(AttemptOutcome::failed), RetryStep::retry);
    EXPECT_EQ(schedule.retry_interval(), std::chrono::milliseconds(400));
    EXPECT_EQ(schedule.after_attempt(AttemptOutcome::accepted), RetryStep::stop);
    EXPECT_EQ(schedule.retry_interval(), std::chrono::milliseconds(500));
    // A later give-up keeps the longer interval for the rest of the run.
    while (!schedule.count_tick()) {
    }
    EXPECT_EQ(schedule.retry_interval(), std::chrono::milliseconds(500));
}

TEST(TransferSchedule, AWriteRefusedBeforeSendingNeitherStartsNorStopsRetrying) {
    TransferSchedule schedule;
    EXPECT_EQ(schedule.after_attempt(AttemptOutcome::not_sent), RetryStep::none);
    EXPECT_EQ(schedule.retry_count, 0);
    // Inside a running series the refused attempt's tick still counts.
    schedule.after_attempt(AttemptOutcome::failed);
    for (int tick = 1; tick < retry_ticks; ++tick) {
        EXPECT_EQ(schedule.after_attempt(AttemptOutcome::not_sent), RetryStep::none);
        EXPECT_FALSE(schedule.count_tick()) << tick;
    }
    EXPECT_TRUE(schedule.count_tick());
    EXPECT_FALSE(schedule.succeeded_once);
}

}  // namespace
}  // namespace zelk20
