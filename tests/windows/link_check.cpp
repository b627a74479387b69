// Built only by the Windows cross build: takes every serial port operation
// into one program, so that the linker must resolve each kernel32 call of the
// Win32 back end, and the parameter core with it. Run on Windows it
// monitors COM1 for a second and asks COM10 for its configuration.
#include <cstdio>

#include "link/monitor_link.h"
#include "link/port_names.h"
#include "link/status_frame.h"
#include "parameter/config_file.h"
#include "parameter/exchange.h"
#include "parameter/line_messages.h"

int main() {
    zelk20::MonitorLink link;
    std::size_t frames = 0;
    for (int tick = 0; tick < 20; ++tick) {
        for (const zelk20::Frame& frame : link.poll()) frames += zelk20::decode_status_frame(frame.bytes()).display.has_value();
    }
    zelk20::SerialPort port = zelk20::SerialPort::open(zelk20::device_path("COM11"));
    const std::uint8_t request[] = {0xFF, 0xFA};
    port.write(request);
    const auto answer = zelk20::command("COM10", zelk20::read_request);
    const std::string file = zelk20::write_config_file(zelk20::maker_defaults);
    std::printf("%s: %zu frames; COM11: %s; COM10 answered %zu bytes; file code %d\n", link.current_port_name().c_str(),
                frames, port.is_open() ? "open" : port.failure_text().c_str(), answer.size(),
                zelk20::code_number(zelk20::read_config_file(file).code));
    return 0;
}
