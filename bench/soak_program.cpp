// Soak of the whole program at the line rate (a script, not in CI): the
// simulated module streams numbered status frames, paced at 1.04 ms a byte,
// into the main window running with its own timers on the offscreen
// platform, with faults mixed in: wrong check bytes, noise before every frame
// (never E4, so no frame is lost to it) and frames split into chunks whose
// pauses end the window's reads mid-frame. Counts the frames the module sent
// valid and the frames the window showed; a frame shown that was not sent
// valid, came out of order or with other values is misdecoded (must be 0).
// Prints resident memory at start and end and the CPU share.
// Usage: soak_program [FRAMES] [--noise N] [--bad-check N] [--chunk N] [--gap MS]
//   default 20000 frames, 25 noise bytes, every 7th check byte wrong, chunks
//   of 18 bytes 4 ms apart (about 67 ms a frame, 22 minutes in all)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include "bench/process_stats.h"
#include "bench/measuring.h"
#include "link/monitor_link.h"
#include "link/status_frame.h"
#include "sim/simulated_module.h"
#include "tests/test_frames.h"
#include "tests/window_fixture.h"

namespace {

using zelk20::bench::run_for;
using namespace zelk20;
using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    std::size_t frames = 20000;
    sim::Faults faults{
        .bad_check_every = 7, .noise_bytes = 25, .chunk_size = 18, .chunk_gap = std::chrono::milliseconds(4)};
    for (int k = 1; k < argc; ++k) {
        const std::string_view arg = argv[k];
        const bool has_value = k + 1 < argc;
        auto value = [&] { return std::strtoul(argv[++k], nullptr, 10); };
        if (arg == "--noise" && has_value) faults.noise_bytes = value();
        else if (arg == "--bad-check" && has_value) faults.bad_check_every = static_cast<unsigned>(value());
        else if (arg == "--chunk" && has_value) faults.chunk_size = value();
        else if (arg == "--gap" && has_value) faults.chunk_gap = std::chrono::milliseconds(value());
        else if (!arg.empty() && arg[0] != '-') frames = std::strtoul(argv[k], nullptr, 10);
        else {
            std::fprintf(stderr, "usage: soak_program [FRAMES] [--noise N] [--bad-check N] [--chunk N] [--gap MS]\n");
            return 2;
        }
    }
    // The tally looks once a poll tick, and a tick reads at most 60 bytes.
    if (status_layout::frame_size + faults.noise_bytes <= monitor_read_size) {
        std::fprintf(stderr, "soak_program: with fewer than 25 noise bytes two frames could end in one read\n");
        return 2;
    }

    auto module = sim::SimulatedModule::start({.frame_period = std::chrono::milliseconds(1),
                                               .byte_time = sim::line_byte_time,
                                               .frame_content = test::numbered_frame});
    if (!module) return 1;
    module->set_faults(faults);
    zelk20::bench::map_com1(module->port_path());

    QApplication application(argc, argv);
    test::Program program;
    program.main()->show();
    const unsigned bad_every = faults.bad_check_every;
    auto sent_valid = [bad_every](std::size_t number) { return bad_every == 0 || number % bad_every != 0; };
    test::ShownFrames tally(program.main(), sent_valid);

    const long rss_start = bench::rss_kib();
    const double window_cpu_start = bench::thread_cpu_seconds();
    const double cpu_start = bench::cpu_seconds();
    const auto start = Clock::now();
    auto next_report = start + std::chrono::minutes(1);
    QTimer watch;
    watch.setInterval(100);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (module->frames_sent() > frames) application.quit();  // frame n is all out once n + 1 has begun
        if (Clock::now() < next_report) return;
        next_report += std::chrono::minutes(1);
        std::printf("%4.0f s: frames sent %zu, shown %zu, misdecoded %zu, resident memory %ld KiB\n",
                    seconds_since(start), module->frames_sent(), tally.shown(), tally.misdecoded(), bench::rss_kib());
        std::fflush(stdout);
    });
    watch.start();
    application.exec();
    watch.stop();
    const double wall = seconds_since(start);
    const double window_cpu = bench::thread_cpu_seconds() - window_cpu_start;
    const double cpu = bench::cpu_seconds() - cpu_start;

    module->set_faults({.silent = true});  // after the frame on its way
    std::size_t sent = 0;
    while (sent != module->frames_sent()) {
        sent = module->frames_sent();
        run_for(500);
    }
    run_for(500);  // the last bytes through the window
    std::size_t valid = 0;
    for (std::size_t n = 1; n <= sent; ++n) valid += sent_valid(n);
    const double line_bytes =
        static_cast<double>(frames) * static_cast<double>(status_layout::frame_size + faults.noise_bytes);

    std::printf("frames sent %zu, sent valid %zu, shown %zu, misdecoded %zu\n", sent, valid, tally.shown(),
                tally.misdecoded());
    std::printf("%.1f s for %zu frames: %.0f bytes/s on the line (9600 baud 8N1 carries 960), %.1f frames/s\n", wall,
                frames, line_bytes / wall, static_cast<double>(frames) / wall);
    std::printf("CPU share of one core: window thread %.2f %%, whole process with the simulated module %.2f %%\n",
                window_cpu / wall * 100.0, cpu / wall * 100.0);
    std::printf("resident memory %ld KiB at start, %ld KiB at end\n", rss_start, bench::rss_kib());
    return tally.shown() == valid && tally.misdecoded() == 0 ? 0 : 1;
}
