#include "parameter/exchange.h"

#include <array>

#include "link/port_names.h"

namespace zelk20 {

Exchange attempt_exchange(std::string_view port_name, std::span<const std::uint8_t> request) {
    SerialPort port = SerialPort::open(device_path(port_name));
    if (!port.is_open()) return {.answer = {}, .open_failure = port.failure(), .failure_text = port.failure_text()};
    port.request_queue_sizes(exchange_queue_bytes, exchange_queue_bytes);
    port.set_line_9600_8n1();
    port.set_timeouts(exchange_timeouts);
    if (!request.empty()) port.write(request);
    std::array<std::uint8_t, answer_cap> received{};
    const std::size_t count = port.read(received);
    Exchange result;
    result.answer.assign(received.begin(), received.begin() + static_cast<std::ptrdiff_t>(count));
    return result;
}

std::vector<std::uint8_t> command(std::string_view port_name, std::span<const std::uint8_t> request) {
    return attempt_exchange(port_name, request).answer;
}

}  // namespace zelk20
