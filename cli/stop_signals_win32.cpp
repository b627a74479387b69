#include "cli/stop_signals.h"

#include <array>
#include <csignal>

namespace zelk20::cli {

namespace {

// Ctrl-C, Ctrl-Break and a raised SIGTERM. Windows has no hang-up signal;
// it frees a process's handles at its end and there are no lock files.
constexpr std::array<int, 3> stop_signals = {SIGINT, SIGBREAK, SIGTERM};

volatile std::sig_atomic_t stop_signal = 0;
std::array<void (*)(int), stop_signals.size()> earlier_handlers{};

extern "C" void note_stop(int number) {
    stop_signal = number;
    std::signal(number, note_stop);  // Windows resets the handler before calling it
}

}  // namespace

StopSignals::StopSignals() {
    stop_signal = 0;
    for (std::size_t k = 0; k < stop_signals.size(); ++k) earlier_handlers[k] = std::signal(stop_signals[k], note_stop);
}

StopSignals::~StopSignals() {
    for (std::size_t k = 0; k < stop_signals.size(); ++k) std::signal(stop_signals[k], earlier_handlers[k]);
}

int StopSignals::received() { return stop_signal; }

}  // namespace zelk20::cli
