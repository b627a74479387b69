#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "link/status_frame.h"

// What the history window shows and records, without the window: every
// accepted frame as a point, and the events the monitor sees (an alarm bit
// going on or off, the link falling silent and coming back, the hand-over to
// the parameter window and back). The main window feeds it from the start of
// the program, whether the history window is shown or not.
namespace zelk20 {

// Over an hour at the module's five frames a second; older points drop out.
inline constexpr std::size_t history_point_capacity = 20000;
inline constexpr std::size_t history_event_capacity = 10000;

struct HistoryPoint {
    std::chrono::system_clock::time_point time;
    StatusValues values;
    // The link fell silent or the port was handed over since the point
    // before: the plot leaves a gap instead of a line across.
    bool after_gap = false;
};

enum class HistorySubject : std::uint8_t { alarm, link, hand_over };

struct HistoryEvent {
    std::chrono::system_clock::time_point time;
    HistorySubject subject = HistorySubject::alarm;
    std::size_t lamp = 0;  // an alarm's lamp, in the order of lamp_alarm_bits
    // An alarm bit set; the link silent; the port handed over to the parameter window.
    bool on = false;

    friend bool operator==(const HistoryEvent&, const HistoryEvent&) = default;
};

class History {
public:
    using Time = std::chrono::system_clock::time_point;

    // An accepted frame: adds its point and returns the events it brings:
    // the link back after a silence, then each lamp whose alarm bit differs
    // from the frame before (from all lamps off at the start). A silence or a
    // hand-over does not count as the alarms going off: the next frame is
    // compared with the last one before it.
    std::vector<HistoryEvent> frame(Time time, const StatusValues& values);
    // A watchdog tick, `silent` when no byte came in the second before: the
    // link falls silent once, until a frame comes again. While the port is
    // handed over, and at the first tick after it comes back, the silence is
    // the hand-over's and no event of its own.
    std::optional<HistoryEvent> watchdog(Time time, bool silent);
    // The port handed to the parameter window, and given back.
    HistoryEvent handed_over(Time time);
    HistoryEvent handed_back(Time time);

    // Oldest first, at most history_point_capacity and history_event_capacity.
    const std::deque<HistoryPoint>& points() const { return points_; }
    const std::deque<HistoryEvent>& events() const { return events_; }

private:
    HistoryEvent add(HistoryEvent event);

    std::deque<HistoryPoint> points_;
    std::deque<HistoryEvent> events_;
    std::uint8_t last_alarm_ = 0;
    bool silent_ = false;
    bool handed_over_ = false;
    bool back_since_last_tick_ = false;
    bool gap_pending_ = false;
};

// The recording's second file: a header, then a row per event with its local
// time as in the frame log, the event by the name of its log column or
// "link" or "hand_over", and its state: on/off, silent/back, handed_over/back.
std::string history_events_csv_header();
std::string csv_row(const HistoryEvent& event);

}  // namespace zelk20
