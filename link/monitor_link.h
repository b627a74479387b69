#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "link/frame_assembler.h"
#include "link/serial_port.h"

namespace zelk20 {

// The main window's monitoring connection: it only listens. A read of up to
// 60 bytes ends 3 ms after the last byte of a burst, or at the latest after
// 120 ms (60 x 1 ms + 60 ms).
inline constexpr SerialTimeouts monitor_timeouts{
    .read_interval = std::chrono::milliseconds(3),
    .read_total_multiplier = std::chrono::milliseconds(1),
    .read_total_constant = std::chrono::milliseconds(60),
    .write_total_multiplier = std::chrono::milliseconds(1),
    .write_total_constant = std::chrono::milliseconds(3),
};
inline constexpr std::size_t monitor_queue_bytes = 40;
// The poll tick and the watchdog tick that drive the monitor.
inline constexpr std::chrono::milliseconds monitor_poll_interval{50};
inline constexpr std::chrono::milliseconds monitor_watchdog_interval{1000};
inline constexpr std::size_t monitor_read_size = 60;
// A port that failed to open or whose device went away (an unplugged
// adapter) is opened again at most this often, until it opens.
inline constexpr std::chrono::milliseconds monitor_reopen_interval{1000};

// The monitor's two ticks for a program without a window's timers: the poll
// tick every 50 ms and the watchdog every second, from `start` on (the first
// poll at once, the first watchdog a second later). Ticks that were missed
// are not made up for: after a stall the next one follows a whole interval on.
class MonitorClock {
public:
    using Clock = std::chrono::steady_clock;

    explicit MonitorClock(Clock::time_point start)
        : next_poll_(start), next_watchdog_(start + monitor_watchdog_interval) {}

    struct Due {
        bool poll = false;
        bool watchdog = false;
    };
    // The ticks due at `now`; each moves on to its next time.
    Due take_due(Clock::time_point now) {
        Due due;
        if (now >= next_poll_) {
            due.poll = true;
            next_poll_ += monitor_poll_interval;  // a little late keeps the schedule
            if (next_poll_ <= now) next_poll_ = now + monitor_poll_interval;
        }
        if (now >= next_watchdog_) {
            due.watchdog = true;
            next_watchdog_ = now + monitor_watchdog_interval;
        }
        return due;
    }
    // When the next tick is due: the time to sleep until.
    Clock::time_point next() const { return std::min(next_poll_, next_watchdog_); }

private:
    Clock::time_point next_poll_;
    Clock::time_point next_watchdog_;
};

// Link state and frame receiver of the main window, without the window: the
// window's timers drive it (poll tick every 50 ms, watchdog every second) and
// apply what it returns.
class MonitorLink {
public:
    // The window's link: COM1 first, then whatever the port list picks.
    MonitorLink() = default;
    // A link that starts on `first_port`: a port name or a device path.
    explicit MonitorLink(std::string first_port) : first_port_(std::move(first_port)) {}

    // The port list's pick, 1 to 11 for COM1 to COM11; the next poll tick
    // takes it up. A link that is never given a pick stays on its first port.
    void select_port(int number) { selected_number_ = number; }

    // Poll tick: the port choice (opening the first port on the first tick,
    // reopening on a new pick, and about once a second while the port is not
    // usable); then one read, fed byte by byte to the assembler. Returns the
    // frames completed.
    std::vector<Frame> poll();

    // Opens the current port exclusively with the monitor's line settings and
    // time-outs (the first port before the first open of the run). A failed open is not
    // reported: the port then reads nothing and the watchdog blanks the display.
    void open();
    // Gives the port up, for the hand-over to the parameter window.
    void close();

    // Watchdog tick: true when no byte at all has come since the last tick
    // (the display is to be blanked). Clears the activity flag either way.
    bool watchdog();

    // The port the parameter exchange opens too: "COM1" to "COM11" (or the
    // first port as given), empty before the first open.
    const std::string& current_port_name() const { return current_port_name_; }
    const SerialPort& port() const { return port_; }
    const FrameAssembler& assembler() const { return assembler_; }

private:
    std::string first_port_ = "COM1";
    std::string current_port_name_;
    int current_port_number_ = 0;
    int selected_number_ = 0;  // none yet
    std::chrono::steady_clock::time_point last_open_{};
    bool opened_once_ = false;
    SerialPort port_;
    FrameAssembler assembler_;
};

}  // namespace zelk20
