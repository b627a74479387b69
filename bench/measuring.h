#pragma once

// What the window measuring programs share: their start, running the
// program's event loop for a while, and the percentiles of what they timed.
#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>

#include "sim/pseudo_terminal.h"

namespace zelk20::bench {

// The start of a measuring program, before its QApplication: the offscreen
// platform unless another is asked for; the number in its first argument,
// or `fallback`.
inline int start_measuring(int argc, char** argv, int fallback) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return argc > 1 ? std::atoi(argv[1]) : fallback;
}

// COM1 on `device`, as a technician's ZELK20_COM1 would map it.
inline void map_com1(const std::string& device) { qputenv("ZELK20_COM1", device.c_str()); }

// A line on which the measuring program plays the module, as COM1.
inline std::optional<sim::PseudoTerminal> line_as_com1() {
    std::optional<sim::PseudoTerminal> line = sim::PseudoTerminal::open();
    if (line) map_com1(line->slave_path());
    return line;
}

// Runs the event loop as the program does, waiting for events.
inline void run_for(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

// The value below which a share `q` (0 to 1) of `values` lies; 0 for none.
inline double percentile(std::vector<double> values, double q) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(q * static_cast<double>(values.size() - 1))];
}

}  // namespace zelk20::bench
