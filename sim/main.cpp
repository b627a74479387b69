// zelk20-sim: the simulated module on a pseudo-terminal. Prints the port's
// path (and links it where --link says), then streams status frames and
// answers requests until stopped. To watch it as the main window does, run
// zelk20ctl monitor on the port it prints.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "sim/simulated_module.h"

namespace {

using namespace zelk20;
using std::chrono::milliseconds;

volatile std::sig_atomic_t stop_requested = 0;
void request_stop(int) { stop_requested = 1; }

constexpr std::string_view usage = R"(usage: zelk20-sim [options]
Simulated ZELK20 module on a pseudo-terminal. Prints the port's device path.
  --link PATH          also make PATH a symbolic link to the port
  --period MS          status frame period (default 200)
  --line-rate          bytes take as long as on the line, 1.04 ms each at 9600 baud 8N1
  --seed N             seed of the readings' noise
  --alarm HEX          send this alarm byte in every frame (e.g. 04: output power-good)
  --silent             send and answer nothing
  --bad-check N        every Nth frame has a wrong check byte
  --noise N            N random bytes (never E4) before every frame
  --chunk N --gap MS   send frames in chunks of N bytes with MS between them
  --answer-delay MS    wait before answering a request
  --answer-gap MS      pause between answer bytes
  --truncate N         cut answers after N bytes
  --extra N            append N bytes to every answer
  --pause-after N      one pause after the first N bytes of every answer,
  --pause MS           MS long
)";

std::optional<long> number(std::string_view text, int base = 10) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc{} || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

struct Setup {
    sim::Options options;
    sim::Faults faults;
    std::string link_path;
};

// The options that take a number, and where the number goes.
struct NumberOption {
    std::string_view name;
    void (*set)(Setup& setup, long value);
    int base = 10;
    long most = std::numeric_limits<long>::max();
};
constexpr NumberOption number_options[] = {
    {"--period", [](Setup& s, long n) { s.options.frame_period = milliseconds(n); }},
    {"--seed", [](Setup& s, long n) { s.options.seed = static_cast<std::uint32_t>(n); }},
    {"--alarm", [](Setup& s, long n) { s.faults.alarm = static_cast<std::uint8_t>(n); }, 16, 0xFF},
    {"--bad-check", [](Setup& s, long n) { s.faults.bad_check_every = static_cast<unsigned>(n); }},
    {"--noise", [](Setup& s, long n) { s.faults.noise_bytes = static_cast<std::size_t>(n); }},
    {"--chunk", [](Setup& s, long n) { s.faults.chunk_size = static_cast<std::size_t>(n); }},
    {"--gap", [](Setup& s, long n) { s.faults.chunk_gap = milliseconds(n); }},
    {"--answer-delay", [](Setup& s, long n) { s.faults.answer_delay = milliseconds(n); }},
    {"--answer-gap", [](Setup& s, long n) { s.faults.answer_byte_gap = milliseconds(n); }},
    {"--truncate", [](Setup& s, long n) { s.faults.truncate_answer = static_cast<std::size_t>(n); }},
    {"--extra", [](Setup& s, long n) { s.faults.answer_extra = static_cast<std::size_t>(n); }},
    {"--pause-after", [](Setup& s, long n) { s.faults.answer_pause_after = static_cast<std::size_t>(n); }},
    {"--pause", [](Setup& s, long n) { s.faults.answer_pause = milliseconds(n); }},
};

// Reads the arguments into `setup`; an exit code where the program ends here.
std::optional<int> read_arguments(int argc, char** argv, Setup& setup) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << usage;
            return 0;
        }
        if (arg == "--silent") {
            setup.faults.silent = true;
        } else if (arg == "--line-rate") {
            setup.options.byte_time = sim::line_byte_time;
        } else if (arg == "--link" && i + 1 < argc) {
            setup.link_path = argv[++i];
        } else {
            const auto option = std::ranges::find(number_options, arg, &NumberOption::name);
            const int base = option == std::end(number_options) ? 10 : option->base;
            std::optional<long> n = i + 1 < argc ? number(argv[++i], base) : std::nullopt;
            if (n && option != std::end(number_options) && *n > option->most) n.reset();
            if (!n) {
                std::cerr << "zelk20-sim: bad or missing value for " << arg << "\n" << usage;
                return 2;
            }
            if (option == std::end(number_options)) {
                std::cerr << "zelk20-sim: unknown option " << arg << "\n" << usage;
                return 2;
            }
            option->set(setup, *n);
        }
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    Setup setup;
    if (const std::optional<int> exit_code = read_arguments(argc, argv, setup)) return *exit_code;

    auto module = sim::SimulatedModule::start(setup.options);
    if (!module) {
        std::cerr << "zelk20-sim: no pseudo-terminal available\n";
        return 1;
    }
    module->set_faults(setup.faults);
    std::signal(SIGINT, request_stop);
    std::signal(SIGTERM, request_stop);

    const std::string& link_path = setup.link_path;
    if (!link_path.empty()) {
        std::error_code error;
        std::filesystem::remove(link_path, error);
        std::filesystem::create_symlink(module->port_path(), link_path, error);
        if (error) {
            std::cerr << "zelk20-sim: cannot link " << link_path << ": " << error.message() << "\n";
            return 1;
        }
    }
    std::cout << module->port_path() << std::endl;

    while (!stop_requested) std::this_thread::sleep_for(milliseconds(100));
    if (!link_path.empty()) {
        std::error_code ignored;
        std::filesystem::remove(link_path, ignored);
    }
    return 0;
}
