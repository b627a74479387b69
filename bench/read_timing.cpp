// How far the serial read's actual end lies from the end its time-outs define,
// over a pseudo-terminal. Three cases, each run many times:
//   silent line      monitor time-outs, nothing sent: ends at the total (120 ms)
//   burst then gap   a burst of 20 bytes, then nothing: ends the interval (3 ms) after it
//   cap              60 bytes already waiting: ends as the 60th byte is taken
// Prints p50 and p99 of (actual end - defined end) in milliseconds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "link/monitor_link.h"
#include "link/serial_port.h"
#include "sim/pseudo_terminal.h"

namespace {

using namespace zelk20;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

struct Stats {
    double p50;
    double p99;
};

Stats percentiles(std::vector<double> errors) {
    std::sort(errors.begin(), errors.end());
    auto at = [&](double q) { return errors[static_cast<std::size_t>(q * static_cast<double>(errors.size() - 1))]; };
    return {at(0.50), at(0.99)};
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 200;
    auto line = sim::PseudoTerminal::open();
    if (!line) {
        std::fprintf(stderr, "no pseudo-terminal\n");
        return 1;
    }
    SerialPort port = SerialPort::open(line->slave_path());
    port.set_line_9600_8n1();
    port.set_timeouts(monitor_timeouts);
    std::vector<std::uint8_t> buffer(monitor_read_size);
    const std::vector<std::uint8_t> burst(20, 0x55);
    const std::vector<std::uint8_t> full(monitor_read_size, 0xAA);
    const Ms total = monitor_timeouts.read_total_multiplier * static_cast<int>(monitor_read_size) +
                     monitor_timeouts.read_total_constant;

    std::vector<double> silent, gap, cap;
    for (int k = 0; k < runs; ++k) {
        auto start = Clock::now();
        port.read(buffer);
        silent.push_back((Ms(Clock::now() - start) - total).count());

        line->write(burst);
        start = Clock::now();  // the burst is in before the read begins: the interval runs from its first take
        port.read(buffer);
        gap.push_back((Ms(Clock::now() - start) - Ms(monitor_timeouts.read_interval)).count());

        line->write(full);
        start = Clock::now();
        port.read(buffer);
        cap.push_back(Ms(Clock::now() - start).count());
    }
    std::printf("read end error over %d runs (ms)   p50      p99\n", runs);
    for (const auto& [name, errors] : {std::pair{"silent line (total 120 ms)", silent},
                                       std::pair{"burst then gap (interval 3 ms)", gap},
                                       std::pair{"cap (60 bytes waiting)", cap}}) {
        const Stats s = percentiles(errors);
        std::printf("%-32s %8.3f %8.3f\n", name, s.p50, s.p99);
    }
    return 0;
}
