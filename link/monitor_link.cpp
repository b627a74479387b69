#include "link/monitor_link.h"

#include <array>

#include "link/port_names.h"

namespace zelk20 {

void MonitorLink::open() {
    if (!opened_once_) {
        current_port_name_ = first_port_;
        current_port_number_ = port_number(first_port_).value_or(0);
    }
    // The port is exclusive: a handle still held would make this open fail.
    port_.close();
    last_open_ = std::chrono::steady_clock::now();
    port_ = SerialPort::open(device_path(current_port_name_));
    port_.request_queue_sizes(monitor_queue_bytes, monitor_queue_bytes);
    port_.set_line_9600_8n1();
    port_.set_timeouts(monitor_timeouts);
}

void MonitorLink::close() { port_.close(); }

std::vector<Frame> MonitorLink::poll() {
    if (!opened_once_) {
        open();
        opened_once_ = true;
    }
    const bool listed = selected_number_ >= first_port_number && selected_number_ <= last_port_number;
    if (listed && selected_number_ != current_port_number_) {
        current_port_number_ = selected_number_;
        current_port_name_ = port_name(selected_number_);
        close();
        open();
    } else if ((!port_.is_open() || port_.device_lost()) &&
               std::chrono::steady_clock::now() - last_open_ >= monitor_reopen_interval) {
        open();  // the adapter may be back
    }

    std::array<std::uint8_t, monitor_read_size> received{};
    const std::size_t count = port_.read(received);
    std::vector<Frame> frames;
    for (std::size_t i = 0; i < count; ++i) {
        if (auto frame = assembler_.feed(received[i])) frames.push_back(*frame);
    }
    return frames;
}

bool MonitorLink::watchdog() {
    const bool silent = !assembler_.link_active();
    assembler_.clear_link_active();
    return silent;
}

}  // namespace zelk20
