#pragma once

#include <chrono>
#include <cstdint>

namespace zelk20 {

// How a load or a write is retried: an attempt at once, then one on every
// retry tick, 400 ms apart until the first success of the run and 500 ms
// after it; the series gives up after twelve counted ticks (thirteen attempts).
inline constexpr std::chrono::milliseconds first_retry_interval{400};
inline constexpr std::chrono::milliseconds later_retry_interval{500};
inline constexpr std::uint16_t retry_ticks = 12;

// What became of one transfer attempt.
enum class AttemptOutcome {
    accepted,  // the module's answer was taken
    failed,    // no answer, or one that was refused
    not_sent,  // a write refused before sending (a threshold field empty)
};

// What the retry timer is to do after an attempt.
enum class RetryStep {
    stop,   // the attempt was accepted: stop retrying
    retry,  // retry on the next tick (a running series goes on)
    none,   // nothing was sent: the timer stays as it is
};

// The state of the parameter window's transfers, without a window: the
// kind of transfer pending and the retry ticks since the last success or
// give-up. The window's buttons and retry timer drive it, and so does the
// blocking transfer of zelk20ctl; both keep the same schedule.
struct TransferSchedule {
    // The transfer pending or last started: true reads from the module,
    // false writes to it. A retry repeats the kind last started.
    bool load_mode = false;
    std::uint16_t retry_count = 0;
    bool succeeded_once = false;

    // The retry timer's interval: it grows at the first success of the run.
    std::chrono::milliseconds retry_interval() const {
        return succeeded_once ? later_retry_interval : first_retry_interval;
    }

    // After every attempt, from a button or a tick.
    RetryStep after_attempt(AttemptOutcome outcome) {
        switch (outcome) {
        case AttemptOutcome::accepted:
            retry_count = 0;
            succeeded_once = true;
            return RetryStep::stop;
        case AttemptOutcome::failed: return RetryStep::retry;
        case AttemptOutcome::not_sent: return RetryStep::none;
        }
        return RetryStep::none;
    }

    // A retry tick is counted after its attempt, even an accepted one (the
    // next failing series then gives up a tick earlier). True: give up now.
    bool count_tick() {
        if (++retry_count < retry_ticks) return false;
        retry_count = 0;
        return true;
    }
};

}  // namespace zelk20
