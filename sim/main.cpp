// zelk20-sim: the simulated module on a pseudo-terminal. Prints the port's
// path (and links it where --link says), then streams status frames and
// answers requests until stopped. With --demo it also monitors the port as
// the main window does and prints what the window would show.
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "link/monitor_link.h"
#include "link/status_frame.h"
#include "sim/simulated_module.h"

namespace {

using namespace zelk20;
using std::chrono::milliseconds;

volatile std::sig_atomic_t stop_requested = 0;
void request_stop(int) { stop_requested = 1; }

constexpr std::string_view usage = R"(usage: zelk20-sim [options]
Simulated ZELK20 module on a pseudo-terminal. Prints the port's device path.
  --link PATH          also make PATH a symbolic link to the port
  --demo SECONDS       monitor the port as the main window does and print what it shows
                       (0: until stopped), through COM1 mapped by ZELK20_COM1
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

void print_display(const StatusDisplay& display) {
    static constexpr std::array<std::string_view, lamp_count> lamp_names = {
        "Uin1<PG", "Uin2<PG", "Uout<PG", "I1 over", "I2 over", "Iout over", "HW fault"};
    const auto& l = display.labels;
    // Channel rows as the panels show them: value, current, lowest, highest, thresholds.
    const std::array<std::pair<std::string_view, std::size_t>, 3> channels = {{{"Out", 2}, {"In1", 0}, {"In2", 1}}};
    for (const auto& [name, k] : channels) {
        std::printf("%-3s  U %-10s I %-10s Umin %-10s Imax %-10s PG %-12s OC %s\n",
                    std::string(name).c_str(), l[k].c_str(), l[3 + k].c_str(), l[6 + k].c_str(),
                    l[9 + k].c_str(), l[12 + k].c_str(), l[15 + k].c_str());
    }
    std::printf("lamps:");
    for (std::size_t lamp = 0; lamp < lamp_count; ++lamp) {
        if (display.lamp_lit[lamp]) std::printf(" [%s]", std::string(lamp_names[lamp]).c_str());
    }
    std::printf("\n\n");
    std::fflush(stdout);
}

// Monitors COM1 the way the main window's timers do and prints about once a
// second what the window shows.
void run_demo(long seconds) {
    MonitorLink link;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    auto last_print = std::chrono::steady_clock::now() - std::chrono::seconds(1);
    auto last_watchdog = std::chrono::steady_clock::now();
    while (!stop_requested && (seconds == 0 || std::chrono::steady_clock::now() < end)) {
        for (const Frame& frame : link.poll(0)) {
            const StatusUpdate update = decode_status_frame(frame.bytes());
            const auto now = std::chrono::steady_clock::now();
            if (update.display && now - last_print >= std::chrono::seconds(1)) {
                print_display(*update.display);
                last_print = now;
            }
        }
        if (std::chrono::steady_clock::now() - last_watchdog >= std::chrono::seconds(1)) {
            last_watchdog = std::chrono::steady_clock::now();
            if (link.watchdog()) std::printf("(line silent: display blank)\n");
        }
        std::this_thread::sleep_for(milliseconds(50));
    }
}

}  // namespace

int main(int argc, char** argv) {
    sim::Options options;
    sim::Faults faults;
    std::string link_path;
    std::optional<long> demo_seconds;

    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&](int base = 10) -> std::optional<long> {
            if (i + 1 >= argc) return std::nullopt;
            return number(argv[++i], base);
        };
        std::optional<long> n;
        if (arg == "--help" || arg == "-h") {
            std::cout << usage;
            return 0;
        } else if (arg == "--silent") {
            faults.silent = true;
            continue;
        } else if (arg == "--line-rate") {
            options.byte_time = sim::line_byte_time;
            continue;
        } else if (arg == "--link" && i + 1 < argc) {
            link_path = argv[++i];
            continue;
        }
        const bool hex = arg == "--alarm";
        n = value(hex ? 16 : 10);
        if (!n) {
            std::cerr << "zelk20-sim: bad or missing value for " << arg << "\n" << usage;
            return 2;
        }
        if (arg == "--demo") demo_seconds = *n;
        else if (arg == "--period") options.frame_period = milliseconds(*n);
        else if (arg == "--seed") options.seed = static_cast<std::uint32_t>(*n);
        else if (arg == "--alarm" && *n <= 0xFF) faults.alarm = static_cast<std::uint8_t>(*n);
        else if (arg == "--bad-check") faults.bad_check_every = static_cast<unsigned>(*n);
        else if (arg == "--noise") faults.noise_bytes = static_cast<std::size_t>(*n);
        else if (arg == "--chunk") faults.chunk_size = static_cast<std::size_t>(*n);
        else if (arg == "--gap") faults.chunk_gap = milliseconds(*n);
        else if (arg == "--answer-delay") faults.answer_delay = milliseconds(*n);
        else if (arg == "--answer-gap") faults.answer_byte_gap = milliseconds(*n);
        else if (arg == "--truncate") faults.truncate_answer = static_cast<std::size_t>(*n);
        else if (arg == "--extra") faults.answer_extra = static_cast<std::size_t>(*n);
        else if (arg == "--pause-after") faults.answer_pause_after = static_cast<std::size_t>(*n);
        else if (arg == "--pause") faults.answer_pause = milliseconds(*n);
        else {
            std::cerr << "zelk20-sim: unknown option " << arg << "\n" << usage;
            return 2;
        }
    }

    auto module = sim::SimulatedModule::start(options);
    if (!module) {
        std::cerr << "zelk20-sim: no pseudo-terminal available\n";
        return 1;
    }
    module->set_faults(faults);
    std::signal(SIGINT, request_stop);
    std::signal(SIGTERM, request_stop);

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

    if (demo_seconds) {
        ::setenv("ZELK20_COM1", module->port_path().c_str(), 1);
        run_demo(*demo_seconds);
    } else {
        while (!stop_requested) std::this_thread::sleep_for(milliseconds(100));
    }
    if (!link_path.empty()) {
        std::error_code ignored;
        std::filesystem::remove(link_path, ignored);
    }
    return 0;
}
