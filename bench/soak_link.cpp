// Soak of the link core alone (a script, not in CI): a writer streams status
// frames into a pseudo-terminal as fast as it can, with faults mixed in (every
// 7th frame with a wrong check byte, noise without E4 between frames, frames
// split into chunks), while the port layer, the assembler and the decoder
// read as fast as they can. Counts frames sent valid and accepted, and
// accepted frames that were not sent valid (misdecoded, must be 0).
// Usage: soak_link [FRAMES]   (default 1000000)
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>

#include "bench/process_stats.h"
#include "link/frame_assembler.h"
#include "link/serial_port.h"
#include "link/status_frame.h"
#include "sim/pseudo_terminal.h"
#include "tests/test_frames.h"

using zelk20::bench::cpu_seconds;
using zelk20::bench::rss_kib;

int main(int argc, char** argv) {
    using namespace zelk20;
    const long frames = argc > 1 ? std::atol(argv[1]) : 1000000;
    auto line = sim::PseudoTerminal::open();
    if (!line) return 1;
    SerialPort port = SerialPort::open(line->slave_path());
    port.set_line_9600_8n1();
    port.set_timeouts({.read_interval = std::chrono::milliseconds(200), .read_total_constant = std::chrono::milliseconds(500)});

    std::atomic<long> sent_valid{0};
    std::atomic<long> cut_by_payload{0};
    std::atomic<bool> done{false};
    const long rss_start = rss_kib();
    const double cpu_start = cpu_seconds();
    const auto wall_start = std::chrono::steady_clock::now();

    // In1's voltage carries the frame number, In2's says whether it was sent valid.
    std::thread writer([&] {
        std::mt19937 random(5);
        std::vector<std::uint8_t> burst;
        for (long n = 0; n < frames; ++n) {
            const bool valid = n % 7 != 6;
            auto frame = test::status_frame(static_cast<std::uint8_t>(n), {static_cast<std::uint16_t>(n & 0xFFFF),
                                                                           static_cast<std::uint16_t>(valid ? 1 : 0),
                                                                           0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                                            {204, 204, 204, 200, 200, 200});
            if (!valid) frame[33] ^= 0x5A;
            // A payload that holds E4 36 ends the frame there, by the protocol: it cannot arrive whole.
            bool whole = true;
            for (std::size_t k = 3; k < 34; ++k) whole = whole && !(frame[k - 1] == 0xE4 && frame[k] == 0x36);
            if (valid && !whole) ++cut_by_payload;
            const int noise = static_cast<int>(random() % 8);
            for (int k = 0; k < noise; ++k) burst.push_back(static_cast<std::uint8_t>(random() % 0xE0));
            burst.insert(burst.end(), frame.begin(), frame.end());
            sent_valid += valid;
            if (burst.size() > 3000) {
                // Split into chunks of a random size, as a line and its driver would.
                for (std::size_t at = 0; at < burst.size();) {
                    const std::size_t chunk = std::min<std::size_t>(1 + random() % 300, burst.size() - at);
                    line->write(std::span(burst).subspan(at, chunk));
                    at += chunk;
                }
                burst.clear();
            }
        }
        line->write(burst);
        done = true;
    });

    FrameAssembler assembler;
    long accepted = 0, misdecoded = 0;
    std::vector<std::uint8_t> buffer(4096);
    for (;;) {
        const std::size_t count = port.read(buffer);
        if (count == 0 && done) break;
        for (std::size_t k = 0; k < count; ++k) {
            const auto frame = assembler.feed(buffer[k]);
            if (!frame) continue;
            const StatusUpdate update = decode_status_frame(frame->bytes());
            if (!update.display) continue;
            ++accepted;
            if (update.display->labels[1] != "0,01 Vdc") ++misdecoded;  // In2 = 1: sent valid
        }
    }
    writer.join();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
    std::printf("frames sent %ld, sent valid %ld (of them %ld cut short by an E4 36 in their own payload), "
                "accepted %ld, misdecoded %ld\n",
                frames, sent_valid.load(), cut_by_payload.load(), accepted, misdecoded);
    std::printf("%.1f s, %.0f frames/s, CPU share %.0f %% of one core, resident memory %ld KiB at start, %ld KiB at end\n",
                wall, static_cast<double>(frames) / wall, (cpu_seconds() - cpu_start) / wall * 100.0, rss_start,
                rss_kib());
    return accepted == sent_valid - cut_by_payload && misdecoded == 0 ? 0 : 1;
}
