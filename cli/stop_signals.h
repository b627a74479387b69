#pragma once

// While a StopSignals lives, the signals by which the system asks a program to
// stop only note that they came: Ctrl-C, a kill (SIGTERM) and, where the
// system has them, the hang-up of a closed terminal or a logout (SIGHUP) and
// the end of the program that reads the output (SIGPIPE). A command then ends
// its own way: the port is closed and its lock file removed, and monitor
// still prints its summary. The handlers that were there before come back
// when it ends.
namespace zelk20::cli {

class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The number of the signal that asked to stop, or 0 when none came.
    static int received();
};

}  // namespace zelk20::cli
