#include "cli/stop_signals.h"

#include <array>
#include <csignal>

#include <signal.h>

namespace zelk20::cli {

namespace {

// SIGPIPE too: output into a pipe whose reader has gone (`| head`) would
// otherwise end the program on the spot, with a CSV file or a --save not
// yet written and the port's lock file left behind.
constexpr std::array<int, 4> stop_signals = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

volatile std::sig_atomic_t stop_signal = 0;
std::array<struct sigaction, stop_signals.size()> earlier_actions{};

extern "C" void note_stop(int number) { stop_signal = number; }

}  // namespace

StopSignals::StopSignals() {
    stop_signal = 0;
    struct sigaction action {};
    action.sa_handler = note_stop;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a wait the signal interrupts ends early and the command
    // looks at the flag sooner.
    action.sa_flags = 0;
    for (std::size_t k = 0; k < stop_signals.size(); ++k) ::sigaction(stop_signals[k], &action, &earlier_actions[k]);
}

StopSignals::~StopSignals() {
    for (std::size_t k = 0; k < stop_signals.size(); ++k) ::sigaction(stop_signals[k], &earlier_actions[k], nullptr);
}

int StopSignals::received() { return stop_signal; }

}  // namespace zelk20::cli
