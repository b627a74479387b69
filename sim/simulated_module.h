#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "sim/module_model.h"
#include "sim/pseudo_terminal.h"

namespace zelk20::sim {

using std::chrono::milliseconds;

// Faults a test can switch on while the module runs.
struct Faults {
    bool silent = false;                 // sends nothing, answers nothing
    unsigned bad_check_every = 0;        // every Nth status frame has a wrong check byte (0: none)
    std::size_t noise_bytes = 0;         // random bytes between frames (never 0xE4, so no frame is lost)
    std::size_t chunk_size = 0;          // status frames go out in chunks of this size (0: whole)
    milliseconds chunk_gap{0};           // pause between two chunks
    milliseconds answer_delay{0};        // before the first answer byte
    milliseconds answer_byte_gap{0};     // between answer bytes
    std::size_t truncate_answer = 0;     // answers end after this many bytes (0: whole)
    std::size_t answer_extra = 0;        // bytes appended to every answer (more than 50 in all, say)
    // Bytes sent just ahead of every answer (a status frame that was on its
    // way when the request came, say); the two switches below count them in.
    std::vector<std::uint8_t> answer_lead{};
    std::size_t answer_pause_after = 0;  // one pause of answer_pause after this many bytes (0: none)
    milliseconds answer_pause{0};
    std::optional<std::uint8_t> alarm{}; // the alarm byte of every frame, instead of the readings'
};

// One byte on a 9600 baud 8N1 line: ten bits.
inline constexpr std::chrono::nanoseconds line_byte_time{std::chrono::nanoseconds(std::chrono::seconds(10)) / 9600};

struct Options {
    milliseconds frame_period{200};  // from the start of one status frame to the next, or back to back
    // After a request the status stream pauses this long, as a module in
    // parameter mode does.
    milliseconds parameter_pause{1000};
    std::uint32_t seed = 1;
    // How long one byte takes on the line (line_byte_time for the real line);
    // zero: every write goes out as fast as the pseudo-terminal takes it.
    std::chrono::nanoseconds byte_time{0};
    // The 36-byte status frame number n (from 1) instead of one of the
    // model's readings; the faults still apply to it.
    std::function<std::vector<std::uint8_t>(std::size_t number)> frame_content{};
};

// The module on a pseudo-terminal, run by a thread of its own: it streams
// status frames while a program holds the port, answers read and write
// requests, and keeps what was written.
class SimulatedModule {
public:
    // Nothing when no pseudo-terminal can be had.
    static std::unique_ptr<SimulatedModule> start(Options options = {});
    ~SimulatedModule();
    SimulatedModule(const SimulatedModule&) = delete;
    SimulatedModule& operator=(const SimulatedModule&) = delete;

    // The device path the program opens as its port.
    const std::string& port_path() const { return port_path_; }

    void set_faults(const Faults& faults);
    ParameterBytes parameters() const;
    void set_parameters(const ParameterBytes& parameters);

    // Every byte the program has written, in order.
    std::vector<std::uint8_t> received() const;
    std::size_t frames_sent() const { return frames_sent_; }
    std::size_t answers_sent() const { return answers_sent_; }

    // The device vanishes (an unplugged adapter): the program's port hangs up.
    void unplug();

private:
    SimulatedModule(PseudoTerminal line, Options options);
    void run();
    // Reads what the program sent and answers each whole request.
    void take_requests(const Faults& faults);
    void send_status_frame(double seconds, const Faults& faults);
    void send_answer(std::vector<std::uint8_t> answer, const Faults& faults);
    void send_noise(const Faults& faults);
    // Writes `bytes` one byte_time apart. False, and the rest dropped, when the
    // program has let the port go meanwhile (a closed port loses what arrives)
    // or when stopping.
    bool send(std::span<const std::uint8_t> bytes);
    bool pause_for(milliseconds wait);  // false when stopping
    // Takes the port's open and close events: any clears the line, an open
    // holds the stream back for a moment, and who holds the port is looked up.
    void take_port_events();
    bool port_held_elsewhere() const;

    const Options options_;
    PseudoTerminal line_;
    std::string port_path_;
    int watch_fd_ = -1;  // inotify on the slave: who has the port open

    mutable std::mutex mutex_;  // guards the members below
    Faults faults_;
    ModuleModel model_;
    std::vector<std::uint8_t> received_;

    RequestParser parser_;
    std::mt19937 noise_;
    // The module's thread alone uses these.
    std::chrono::steady_clock::time_point line_free_{};    // when the last byte sent is through
    std::chrono::steady_clock::time_point quiet_until_{};  // no status frames before
    bool held_ = true;                                     // a program holds the port
    std::atomic<std::size_t> frames_sent_{0};
    std::atomic<std::size_t> answers_sent_{0};
    std::atomic<bool> stopping_{false};
    std::atomic<bool> unplug_requested_{false};
    std::atomic<bool> unplugged_{false};
    std::thread thread_;
};

}  // namespace zelk20::sim
