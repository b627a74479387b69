// Built only by the Windows cross build: takes every serial port operation
// into one program, so that the linker must resolve each kernel32 call of the
// Win32 back end. Run on Windows it monitors COM1 for a second.
#include <cstdio>

#include "link/monitor_link.h"
#include "link/port_names.h"
#include "link/status_frame.h"

int main() {
    zelk20::MonitorLink link;
    std::size_t frames = 0;
    for (int tick = 0; tick < 20; ++tick) {
        for (const zelk20::Frame& frame : link.poll(0)) frames += zelk20::decode_status_frame(frame.bytes()).display.has_value();
    }
    zelk20::SerialPort port = zelk20::SerialPort::open(zelk20::device_path("COM11"));
    const std::uint8_t request[] = {0xFF, 0xFA};
    port.write(request);
    std::printf("%s: %zu frames; COM11: %s\n", link.current_port_name().c_str(), frames,
                port.is_open() ? "open" : port.failure_text().c_str());
    return 0;
}
