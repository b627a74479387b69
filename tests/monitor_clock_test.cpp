// The monitor's clock as zelk20ctl monitor drives it: the poll tick every
// 50 ms, the watchdog every second, late ticks not made up for.
#include "link/monitor_link.h"

#include <gtest/gtest.h>

namespace zelk20 {
namespace {

using namespace std::chrono_literals;

TEST(MonitorClock, PollsEveryFiftyMillisecondsAndWatchesEverySecond) {
    const MonitorClock::Clock::time_point t0{};
    struct Step {
        std::chrono::milliseconds at;
        bool poll;
        bool watchdog;
        std::chrono::milliseconds next;  // what the clock then says to sleep until
    };
    const Step steps[] = {
        {0ms, true, false, 50ms},       // the first poll at once
        {20ms, false, false, 50ms},     // woken early: nothing due
        {50ms, true, false, 100ms},
        {990ms, true, false, 1000ms},   // after a stall the next poll is a whole interval on (1040)
        {1000ms, false, true, 1040ms},  // the first watchdog a second after the start
        {1400ms, true, false, 1450ms},  // late again: the missed ticks are not made up for
        {2000ms, true, true, 2050ms},
        {3500ms, true, true, 3550ms},   // a long stall: one of each, the watchdog a second on
        {4450ms, true, false, 4500ms},
        {4500ms, true, true, 4550ms},
        {4560ms, true, false, 4600ms},  // a little late keeps the schedule
    };
    MonitorClock clock(t0);
    for (const Step& step : steps) {
        const MonitorClock::Due due = clock.take_due(t0 + step.at);
        EXPECT_EQ(due.poll, step.poll) << step.at.count() << " ms";
        EXPECT_EQ(due.watchdog, step.watchdog) << step.at.count() << " ms";
        EXPECT_EQ(clock.next(), t0 + step.next) << step.at.count() << " ms";
    }
}

}  // namespace
}  // namespace zelk20
