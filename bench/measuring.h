#pragma once

// What the window measuring programs share: running the program's event
// loop for a while, and the percentiles of what they timed.
#include <algorithm>
#include <cstddef>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>

namespace zelk20::bench {

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
