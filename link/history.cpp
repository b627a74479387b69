#include "link/history.h"

#include "link/status_log.h"

namespace zelk20 {

std::vector<HistoryEvent> History::frame(Time time, const StatusValues& values) {
    std::vector<HistoryEvent> brought;
    if (silent_) {
        brought.push_back(add({.time = time, .subject = HistorySubject::link, .on = false}));
        silent_ = false;
    }
    for (std::size_t lamp = 0; lamp < lamp_count; ++lamp) {
        const bool was = (last_alarm_ & lamp_alarm_bits[lamp]) != 0;
        const bool is = (values.alarm & lamp_alarm_bits[lamp]) != 0;
        if (was != is) brought.push_back(add({.time = time, .subject = HistorySubject::alarm, .lamp = lamp, .on = is}));
    }
    last_alarm_ = values.alarm;
    points_.push_back({.time = time, .values = values, .after_gap = gap_pending_});
    gap_pending_ = false;
    if (points_.size() > history_point_capacity) points_.pop_front();
    return brought;
}

std::optional<HistoryEvent> History::watchdog(Time time, bool silent) {
    // The first tick after the hand-back speaks of a second the port spent
    // mostly handed over: the module has not had the time to send a frame.
    const bool back_since_last_tick = back_since_last_tick_;
    back_since_last_tick_ = false;
    if (!silent || silent_ || handed_over_ || back_since_last_tick) return std::nullopt;
    silent_ = true;
    gap_pending_ = true;
    return add({.time = time, .subject = HistorySubject::link, .on = true});
}

HistoryEvent History::handed_over(Time time) {
    handed_over_ = true;
    gap_pending_ = true;
    return add({.time = time, .subject = HistorySubject::hand_over, .on = true});
}

HistoryEvent History::handed_back(Time time) {
    handed_over_ = false;
    back_since_last_tick_ = true;
    return add({.time = time, .subject = HistorySubject::hand_over, .on = false});
}

HistoryEvent History::add(HistoryEvent event) {
    events_.push_back(event);
    if (events_.size() > history_event_capacity) events_.pop_front();
    return event;
}

std::string history_events_csv_header() { return "time,event,state"; }

std::string csv_row(const HistoryEvent& event) {
    std::string row = iso8601_local(event.time) + ',';
    switch (event.subject) {
    case HistorySubject::alarm:
        row += alarm_column(lamp_alarm_bits[event.lamp]);
        row += event.on ? ",on" : ",off";
        break;
    case HistorySubject::link: row += event.on ? "link,silent" : "link,back"; break;
    case HistorySubject::hand_over: row += event.on ? "hand_over,handed_over" : "hand_over,back"; break;
    }
    return row;
}

}  // namespace zelk20
