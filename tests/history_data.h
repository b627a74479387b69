#pragma once

// An hour of the module's values at five frames a second, for rendering and
// measuring the history window: supplies near 24 V that wander a little, an
// In1 voltage dip below power good every ten minutes, an In1 current that
// creeps up under load until it passes its threshold, a silent link for a
// few seconds and a hand-over to the parameter window after which the In1
// power-good threshold is higher.
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstddef>

#include "ui/history_window.h"

namespace zelk20::test {

inline constexpr std::size_t hour_of_frames = 60 * 60 * 5;

// Feeds `verlauf` the hour that ends at `end`.
inline void feed_an_hour(TVerlauf& verlauf, std::chrono::system_clock::time_point end) {
    using namespace std::chrono_literals;
    const auto start = end - 1h;
    constexpr std::size_t silence_start = 40 * 60 * 5;
    constexpr std::size_t silence_frames = 5 * 5;
    constexpr std::size_t hand_over_start = 50 * 60 * 5;
    constexpr std::size_t hand_over_frames = 30 * 5;
    // The module keeps the lowest voltages and highest currents since power-on.
    std::array<double, 3> lowest = {30, 30, 30};
    std::array<double, 3> highest = {0, 0, 0};
    for (std::size_t n = 0; n < hour_of_frames; ++n) {
        const auto time = start + n * 200ms;
        const double minutes = static_cast<double>(n) / 300.0;
        if (n == silence_start + 5) verlauf.watchdog_tick(true, time);
        if (n == hand_over_start) verlauf.handed_over(time);
        if (n == hand_over_start + hand_over_frames - 1) verlauf.handed_back(time);
        if (n >= silence_start && n < silence_start + silence_frames) continue;
        if (n >= hand_over_start && n < hand_over_start + hand_over_frames) continue;
        if (n % 5 == 0) verlauf.watchdog_tick(false, time);

        StatusValues values;
        const bool dip = n % 3000 >= 1500 && n % 3000 < 1503;  // 0.6 s every ten minutes
        const double wander = 0.15 * std::sin(minutes / 7.0);
        const double u1 = dip ? 19.6 : 24.1 + wander;
        const double u2 = 23.9 - wander;
        const double uout = std::max(u1, u2) - 0.3;
        const double i1 = 2.2 + 3.2 * minutes / 60.0 + 0.05 * std::sin(static_cast<double>(n));
        const double i2 = 1.85 + 0.1 * std::sin(minutes);
        const double iout = i1 + i2;
        const std::array<double, 6> now = {u1, u2, uout, i1, i2, iout};
        for (std::size_t k = 0; k < 6; ++k) values.measured_hundredths[k] = static_cast<std::uint16_t>(now[k] * 100);
        for (std::size_t k = 0; k < 3; ++k) {
            lowest[k] = std::min(lowest[k], now[k]);
            highest[k] = std::max(highest[k], now[3 + k]);
            values.measured_hundredths[6 + k] = static_cast<std::uint16_t>(lowest[k] * 100);
            values.measured_hundredths[9 + k] = static_cast<std::uint16_t>(highest[k] * 100);
        }
        const bool raised = n >= hand_over_start;
        values.threshold_tenths = {static_cast<std::uint8_t>(raised ? 210 : 204), 204, 204, 50, 50, 80};
        values.alarm = static_cast<std::uint8_t>((u1 < (raised ? 21.0 : 20.4) ? 0x01 : 0) | (i1 > 5.0 ? 0x08 : 0));
        verlauf.frame_taken(values, time);
    }
}

}  // namespace zelk20::test
