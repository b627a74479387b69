// The history's events and points, step by step as the main window feeds it.
#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/history.h"
#include "link/status_log.h"

namespace zelk20 {
namespace {

using namespace std::chrono_literals;

// One thing the main window tells the history: a frame with its alarm byte,
// a watchdog tick (silent or not), the hand-over or the hand-back.
struct Step {
    enum Kind { frame, tick, over, back } kind;
    std::uint8_t alarm_or_silent = 0;
};
constexpr Step frame(std::uint8_t alarm) { return {Step::frame, alarm}; }
constexpr Step silent_tick{Step::tick, 1};
constexpr Step busy_tick{Step::tick, 0};
constexpr Step over{Step::over};
constexpr Step back{Step::back};

struct Case {
    const char* name;
    std::vector<Step> steps;
    std::vector<std::string> events;  // "event,state" as the recording writes them, oldest first
    std::vector<bool> gaps;           // after_gap of each point
};

// The event row without its time.
std::string without_time(const HistoryEvent& event) {
    const std::string row = csv_row(event);
    return row.substr(row.find(',') + 1);
}

TEST(History, EventsAndGapsFollowAlarmBitsSilenceAndHandOver) {
    const Case cases[] = {
        {"no alarm, no event", {frame(0x00), frame(0x00)}, {}, {false, false}},
        {"lamps lit in the first frame come on",
         {frame(0x81)},
         {"alarm_pgood_in1,on", "alarm_hardware_fault,on"},
         {false}},
        {"an alarm bit on and off gives two rows",
         {frame(0x00), frame(0x04), frame(0x04), frame(0x00)},
         {"alarm_pgood_out,on", "alarm_pgood_out,off"},
         {false, false, false, false}},
        {"one bit off and another on in one frame, in lamp order",
         {frame(0x08), frame(0x30)},
         {"alarm_overcurrent_in1,on", "alarm_overcurrent_in1,off", "alarm_overcurrent_in2,on",
          "alarm_overcurrent_out,on"},
         {false, false}},
        {"bit 0x40 has no lamp and no event", {frame(0x40), frame(0x00)}, {}, {false, false}},
        {"a silent second: the link row once, back with the next frame, a gap",
         {frame(0x00), silent_tick, silent_tick, silent_tick, frame(0x00), frame(0x00)},
         {"link,silent", "link,back"},
         {false, true, false}},
        {"bytes without frames are no silence", {frame(0x00), busy_tick, busy_tick, frame(0x00)}, {}, {false, false}},
        {"an alarm standing across a silence is not repeated",
         {frame(0x02), silent_tick, frame(0x02), frame(0x00)},
         {"alarm_pgood_in2,on", "link,silent", "link,back", "alarm_pgood_in2,off"},
         {false, true, false}},
        {"an alarm that went while silent goes off after the link row",
         {frame(0x80), silent_tick, frame(0x00)},
         {"alarm_hardware_fault,on", "link,silent", "link,back", "alarm_hardware_fault,off"},
         {false, true}},
        {"the hand-over and back: its two rows and a gap, the silence meanwhile is the hand-over's",
         {frame(0x00), over, silent_tick, silent_tick, back, frame(0x00)},
         {"hand_over,handed_over", "hand_over,back"},
         {false, true}},
        {"a hand-over and back with no silence still leaves a gap",
         {frame(0x00), over, back, frame(0x00)},
         {"hand_over,handed_over", "hand_over,back"},
         {false, true}},
        {"silent before the hand-over: back only with a frame",
         {frame(0x00), silent_tick, over, back, frame(0x00)},
         {"link,silent", "hand_over,handed_over", "hand_over,back", "link,back"},
         {false, true}},
        {"the first tick after the hand-back, before the module's first frame, is the hand-over's",
         {frame(0x00), over, silent_tick, back, silent_tick, frame(0x00)},
         {"hand_over,handed_over", "hand_over,back"},
         {false, true}},
        {"silent a whole second after the hand-back: the module gone meanwhile",
         {frame(0x00), over, silent_tick, back, silent_tick, silent_tick},
         {"hand_over,handed_over", "hand_over,back", "link,silent"},
         {false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        History history;
        auto time = std::chrono::system_clock::time_point{} + 1000h;
        std::vector<std::string> returned;
        for (const Step& step : c.steps) {
            time += 200ms;
            switch (step.kind) {
            case Step::frame: {
                StatusValues values;
                values.alarm = step.alarm_or_silent;
                for (const HistoryEvent& event : history.frame(time, values)) returned.push_back(without_time(event));
                break;
            }
            case Step::tick:
                if (auto event = history.watchdog(time, step.alarm_or_silent != 0)) {
                    returned.push_back(without_time(*event));
                }
                break;
            case Step::over: returned.push_back(without_time(history.handed_over(time))); break;
            case Step::back: returned.push_back(without_time(history.handed_back(time))); break;
            }
        }
        std::vector<std::string> kept;
        for (const HistoryEvent& event : history.events()) kept.push_back(without_time(event));
        EXPECT_EQ(returned, c.events);
        EXPECT_EQ(kept, c.events);
        std::vector<bool> gaps;
        for (const HistoryPoint& point : history.points()) gaps.push_back(point.after_gap);
        EXPECT_EQ(gaps, c.gaps);
    }
}

TEST(History, KeepsTheLatestHourAndMoreAndDropsTheOldest) {
    static_assert(history_point_capacity >= 60 * 60 * 5, "an hour at five frames a second");
    History history;
    const auto start = std::chrono::system_clock::time_point{} + 1000h;
    StatusValues values;
    for (std::size_t k = 0; k < history_point_capacity + 10; ++k) {
        values.measured_hundredths[0] = static_cast<std::uint16_t>(k);
        values.alarm = k % 2 == 0 ? 0x01 : 0x00;  // an event every frame
        history.frame(start + k * 200ms, values);
    }
    ASSERT_EQ(history.points().size(), history_point_capacity);
    EXPECT_EQ(history.points().front().values.measured_hundredths[0], 10);
    EXPECT_EQ(history.points().front().time, start + 10 * 200ms);
    EXPECT_EQ(history.points().back().values.measured_hundredths[0], history_point_capacity + 9);
    ASSERT_EQ(history.events().size(), history_event_capacity);
    EXPECT_EQ(history.events().back().time, start + (history_point_capacity + 9) * 200ms);
}

TEST(History, EventRowsCarryTheFrameLogsTimeAndColumnNames) {
    ::setenv("TZ", "UTC0", 1);
    ::tzset();
    const auto at = std::chrono::system_clock::from_time_t(1798759805) + 45ms;
    EXPECT_EQ(history_events_csv_header(), "time,event,state");
    EXPECT_EQ(csv_row(HistoryEvent{.time = at, .subject = HistorySubject::alarm, .lamp = 6, .on = true}),
              "2026-12-31T23:30:05.045+00:00,alarm_hardware_fault,on");
    EXPECT_EQ(csv_row(HistoryEvent{.time = at, .subject = HistorySubject::alarm, .lamp = 2, .on = false}),
              "2026-12-31T23:30:05.045+00:00,alarm_pgood_out,off");
    EXPECT_EQ(csv_row(HistoryEvent{.time = at, .subject = HistorySubject::link, .on = true}),
              "2026-12-31T23:30:05.045+00:00,link,silent");
    EXPECT_EQ(csv_row(HistoryEvent{.time = at, .subject = HistorySubject::hand_over, .on = false}),
              "2026-12-31T23:30:05.045+00:00,hand_over,back");
    ::unsetenv("TZ");
    ::tzset();
}

}  // namespace
}  // namespace zelk20
