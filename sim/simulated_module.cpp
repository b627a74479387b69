#include "sim/simulated_module.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include "link/frame_bytes.h"
#include "link/status_frame.h"

namespace zelk20::sim {

namespace {

using Clock = std::chrono::steady_clock;

// The first frame for a program that has just opened the port waits this long,
// so that a request written right after the open finds the line quiet.
constexpr milliseconds open_grace{50};
// The longest the loop sleeps, so that a stop is noticed soon.
constexpr milliseconds idle_step{20};

}  // namespace

std::unique_ptr<SimulatedModule> SimulatedModule::start(Options options) {
    auto line = PseudoTerminal::open();
    if (!line) return nullptr;
    std::unique_ptr<SimulatedModule> module(new SimulatedModule(std::move(*line), options));
    module->thread_ = std::thread([raw = module.get()] { raw->run(); });
    return module;
}

SimulatedModule::SimulatedModule(PseudoTerminal line, Options options)
    : options_(options),
      line_(std::move(line)),
      port_path_(line_.slave_path()),
      model_(options.seed),
      noise_(options.seed + 1) {
    // A closed serial port loses what arrives meanwhile; a pseudo-terminal
    // would keep it for the next opener instead. So the module watches the
    // port being opened and closed (inotify), clears the line then, and
    // streams only while a program holds the port. inotify merges like
    // events, so who holds it is looked up in /proc rather than counted.
    watch_fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch_fd_ >= 0 && ::inotify_add_watch(watch_fd_, port_path_.c_str(), IN_OPEN | IN_CLOSE) < 0) {
        ::close(watch_fd_);
        watch_fd_ = -1;
    }
}

SimulatedModule::~SimulatedModule() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    if (watch_fd_ >= 0) ::close(watch_fd_);
}

void SimulatedModule::set_faults(const Faults& faults) {
    std::lock_guard lock(mutex_);
    faults_ = faults;
}

ParameterBytes SimulatedModule::parameters() const {
    std::lock_guard lock(mutex_);
    return model_.parameters();
}

void SimulatedModule::set_parameters(const ParameterBytes& parameters) {
    std::lock_guard lock(mutex_);
    model_.set_parameters(parameters);
}

std::vector<std::uint8_t> SimulatedModule::received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

void SimulatedModule::unplug() {
    // The module's thread closes the line itself, never under its own feet.
    unplug_requested_ = true;
    while (!unplugged_ && thread_.joinable()) std::this_thread::sleep_for(milliseconds(1));
}

bool SimulatedModule::pause_for(milliseconds wait) {
    const auto end = Clock::now() + wait;
    while (!stopping_) {
        const auto now = Clock::now();
        if (now >= end) return true;
        std::this_thread::sleep_for(std::min<Clock::duration>(end - now, idle_step));
    }
    return false;
}

bool SimulatedModule::port_held_elsewhere() const {
    namespace fs = std::filesystem;
    const std::string own_fd = std::to_string(line_.own_slave_fd());
    const std::string own_pid = std::to_string(::getpid());
    std::error_code error;
    bool readable = false;
    for (const auto& process : fs::directory_iterator("/proc", error)) {
        const std::string pid = process.path().filename().string();
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
        std::error_code fd_error;
        for (const auto& fd : fs::directory_iterator(process.path() / "fd", fd_error)) {
            readable = true;
            std::error_code link_error;
            if (fs::read_symlink(fd.path(), link_error) != port_path_) continue;
            if (pid == own_pid && fd.path().filename() == own_fd) continue;  // the module's own end
            return true;
        }
    }
    return !readable;  // without /proc, stream as if someone listened
}

void SimulatedModule::take_port_events() {
    if (watch_fd_ < 0) return;
    alignas(inotify_event) std::array<char, 4096> events{};
    bool any = false;
    bool opened = false;
    for (;;) {
        const ssize_t n = ::read(watch_fd_, events.data(), events.size());
        if (n <= 0) break;
        any = true;
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events.data() + at);
            opened = opened || (event->mask & IN_OPEN) != 0;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    if (!any) return;
    line_.discard_unread();
    if (opened) quiet_until_ = std::max(quiet_until_, Clock::now() + open_grace);
    held_ = port_held_elsewhere();
}

void SimulatedModule::run() {
    const auto powered_on = Clock::now();
    auto next_frame = powered_on;
    quiet_until_ = powered_on;
    held_ = watch_fd_ < 0 || port_held_elsewhere();

    while (!stopping_) {
        if (unplug_requested_ && !unplugged_) {
            line_.hang_up();
            unplugged_ = true;
        }
        if (unplugged_) {
            pause_for(idle_step);
            continue;
        }

        std::array<pollfd, 2> waits{{{line_.master_fd(), POLLIN, 0}, {watch_fd_, POLLIN, 0}}};
        const auto until_frame = std::chrono::duration_cast<milliseconds>(next_frame - Clock::now());
        const int timeout = static_cast<int>(std::clamp(until_frame, milliseconds(0), idle_step).count());
        ::poll(waits.data(), watch_fd_ >= 0 ? 2 : 1, timeout);
        Faults faults;
        {
            std::lock_guard lock(mutex_);
            faults = faults_;
        }

        take_port_events();

        if (waits[0].revents & POLLIN) take_requests(faults);

        const auto now = Clock::now();
        if (now < next_frame) continue;
        next_frame = std::max(next_frame + options_.frame_period, now);
        if (faults.silent || now < quiet_until_ || !held_) continue;
        send_noise(faults);
        send_status_frame(std::chrono::duration<double>(now - powered_on).count(), faults);
    }
}

void SimulatedModule::take_requests(const Faults& faults) {
    std::array<std::uint8_t, 256> bytes{};
    const std::size_t count = line_.read(bytes, milliseconds(0));
    for (std::size_t i = 0; i < count; ++i) {
        std::optional<Request> request;
        std::optional<std::vector<std::uint8_t>> answer;
        {
            std::lock_guard lock(mutex_);
            received_.push_back(bytes[i]);
            request = parser_.feed(bytes[i]);
            if (request && !faults.silent) answer = model_.answer(*request);
        }
        if (!request) continue;
        quiet_until_ = Clock::now() + options_.parameter_pause;
        if (answer) send_answer(std::move(*answer), faults);
    }
}

bool SimulatedModule::send(std::span<const std::uint8_t> bytes) {
    // Paced, each byte is handed over when its last bit would be through;
    // whatever is due by then goes out in one write, so a late wake-up keeps the rate.
    line_free_ = std::max(line_free_, Clock::now());
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t due = bytes.size() - at;
        if (options_.byte_time.count() != 0) {
            std::this_thread::sleep_until(line_free_ + options_.byte_time);
            const auto now = Clock::now();
            for (due = 0; at + due < bytes.size() && line_free_ + options_.byte_time <= now; ++due) {
                line_free_ += options_.byte_time;
            }
        }
        take_port_events();
        if (stopping_ || !held_) return false;
        line_.write(bytes.subspan(at, due));
        at += due;
    }
    return true;
}

void SimulatedModule::send_noise(const Faults& faults) {
    if (faults.noise_bytes == 0) return;
    std::uniform_int_distribution<int> value(0, 255);
    std::vector<std::uint8_t> noise;
    while (noise.size() < faults.noise_bytes) {
        const auto byte = static_cast<std::uint8_t>(value(noise_));
        if (byte != frame_start) noise.push_back(byte);
    }
    send(noise);
}

void SimulatedModule::send_status_frame(double seconds, const Faults& faults) {
    const std::size_t number = ++frames_sent_;
    std::vector<std::uint8_t> frame;
    if (options_.frame_content) {
        frame = options_.frame_content(number);
    } else {
        std::lock_guard lock(mutex_);
        frame = model_.status_frame(seconds, faults.alarm);
    }
    if (faults.bad_check_every != 0 && number % faults.bad_check_every == 0) frame[status_layout::check] ^= 0x5A;

    const std::size_t chunk = faults.chunk_size == 0 ? frame.size() : faults.chunk_size;
    for (std::size_t at = 0; at < frame.size(); at += chunk) {
        if (at != 0 && !pause_for(faults.chunk_gap)) return;
        const std::size_t size = std::min(chunk, frame.size() - at);
        if (!send(std::span(frame).subspan(at, size))) return;
    }
}

void SimulatedModule::send_answer(std::vector<std::uint8_t> answer, const Faults& faults) {
    if (faults.truncate_answer != 0 && answer.size() > faults.truncate_answer) answer.resize(faults.truncate_answer);
    for (std::size_t k = 0; k < faults.answer_extra; ++k) answer.push_back(static_cast<std::uint8_t>(0xA0 + k % 16));
    answer.insert(answer.begin(), faults.answer_lead.begin(), faults.answer_lead.end());
    line_.discard_unread();  // whatever the program did not read is gone with its last open
    if (!pause_for(faults.answer_delay)) return;
    // Pieces that go out without a pause between their bytes.
    const std::size_t piece = faults.answer_byte_gap.count() == 0 ? answer.size() : 1;
    const std::size_t pause_at = faults.answer_pause_after;
    for (std::size_t at = 0; at < answer.size();) {
        std::size_t size = std::min(piece, answer.size() - at);
        if (pause_at > at && pause_at < at + size) size = pause_at - at;
        if (at != 0 && faults.answer_byte_gap.count() != 0 && !pause_for(faults.answer_byte_gap)) return;
        if (at != 0 && at == pause_at && !pause_for(faults.answer_pause)) return;
        if (!send(std::span(answer).subspan(at, size))) return;
        at += size;
    }
    ++answers_sent_;
}

}  // namespace zelk20::sim
