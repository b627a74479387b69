// Measures the program's own cost while it monitors (a script, not a test):
//   stall     longest gap of a 10 ms probe timer beyond its interval, while
//             frames come and while the line is silent
//   latency   from a frame's last byte written on the line to the label text
//             changing (p50, p99), seen by a 1 ms probe
//   cpu, rss  CPU share and resident memory over the monitoring period, without probes
//   start     from process start to the first paint of the main window
// Usage: ui_timing [SECONDS]   (each phase; default 10)
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>

#include "bench/process_stats.h"
#include "bench/measuring.h"
#include "link/text_rules.h"
#include "tests/test_frames.h"
#include "ui/history_window.h"
#include "ui/info_window.h"
#include "ui/main_window.h"
#include "ui/parameter_window.h"
#include "ui/program.h"

namespace {

using zelk20::bench::run_for;
using zelk20::bench::percentile;
using zelk20::bench::cpu_seconds;
using zelk20::bench::rss_kib;

using Clock = std::chrono::steady_clock;

double process_age_ms() {
    std::ifstream stat("/proc/self/stat");
    std::string all((std::istreambuf_iterator<char>(stat)), {});
    std::istringstream fields(all.substr(all.rfind(')') + 2));
    std::string field;
    for (int k = 3; k <= 22; ++k) fields >> field;  // field 22: start time in clock ticks since boot
    const double started = std::stod(field) / static_cast<double>(::sysconf(_SC_CLK_TCK));
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return (static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9 - started) * 1000.0;
}

// Records the largest gap between ticks of a 10 ms timer, beyond the 10 ms.
struct StallProbe {
    QTimer timer;
    Clock::time_point last = Clock::now();
    double worst_ms = 0;
    StallProbe() {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            const auto now = Clock::now();
            worst_ms = std::max(worst_ms, std::chrono::duration<double, std::milli>(now - last).count() - 10.0);
            last = now;
        });
        timer.start();
    }
};

class Painted : public QObject {
public:
    double at_ms = -1;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && at_ms < 0) at_ms = process_age_ms();
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    const int seconds = zelk20::bench::start_measuring(argc, argv, 10);
    auto line = zelk20::bench::line_as_com1();
    if (!line) return 1;

    QApplication application(argc, argv);
    const ProgramWindows windows = start_program();
    Painted painted;
    windows.main->installEventFilter(&painted);
    windows.main->show();
    while (painted.at_ms < 0) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    const double start_ms = painted.at_ms;

    // Frames five times a second from another thread, each with a new In1
    // voltage, stamped when their last byte is on the line.
    std::atomic<bool> streaming{true};
    std::atomic<bool> sending{true};
    std::mutex sent_mutex;
    std::vector<std::pair<std::uint16_t, Clock::time_point>> sent;
    std::thread sender([&] {
        std::uint16_t volts = 2000;
        while (streaming) {
            if (sending) {
                volts = static_cast<std::uint16_t>(volts == 2990 ? 2000 : volts + 10);
                const auto frame = zelk20::test::status_frame(
                    0, {volts, 2398, 2380, 235, 185, 420, 2390, 2375, 2360, 250, 199, 447}, {204, 204, 204, 200, 200, 200});
                line->write(frame);
                std::lock_guard lock(sent_mutex);
                sent.emplace_back(volts, Clock::now());
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    });

    // Phase 1: latency and stall while frames come.
    auto* u1 = windows.main->findChild<QLabel*>("u1");
    std::vector<double> latencies;
    QString shown;
    QTimer watch;
    watch.setInterval(1);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (u1->text() == shown) return;
        shown = u1->text();
        const auto now = Clock::now();
        std::lock_guard lock(sent_mutex);
        for (auto it = sent.rbegin(); it != sent.rend(); ++it) {
            if (zelk20::measured_text(it->first, zelk20::volt_unit) == shown.toStdString()) {
                latencies.push_back(std::chrono::duration<double, std::milli>(now - it->second).count());
                break;
            }
        }
    });
    watch.start();
    double stall_live;
    {
        StallProbe probe;
        run_for(seconds * 1000);
        stall_live = probe.worst_ms;
    }
    watch.stop();

    // Phase 2: CPU and memory while monitoring, no probes.
    const double cpu_before = cpu_seconds();
    const auto wall_before = Clock::now();
    run_for(seconds * 1000);
    const double cpu_share =
        (cpu_seconds() - cpu_before) / std::chrono::duration<double>(Clock::now() - wall_before).count() * 100.0;
    const long rss = rss_kib();

    // Phase 3: the line falls silent.
    sending = false;
    double stall_silent;
    const double cpu_silent_before = cpu_seconds();
    const auto wall_silent_before = Clock::now();
    {
        StallProbe probe;
        run_for(seconds * 1000);
        stall_silent = probe.worst_ms;
    }
    const double cpu_silent = (cpu_seconds() - cpu_silent_before) /
                              std::chrono::duration<double>(Clock::now() - wall_silent_before).count() * 100.0;
    streaming = false;
    sender.join();

    std::printf("start to first paint of the main window: %.0f ms\n", start_ms);
    std::printf("frame on the line to label changed: p50 %.1f ms, p99 %.1f ms (%zu frames)\n",
                percentile(latencies, 0.5), percentile(latencies, 0.99), latencies.size());
    std::printf("longest event loop stall beyond the 10 ms probe: %.1f ms with frames, %.1f ms on a silent line\n",
                stall_live, stall_silent);
    std::printf("CPU share over %d s: %.2f %% with frames, %.2f %% silent; resident memory %ld KiB\n", seconds,
                cpu_share, cpu_silent, rss);
    delete windows.verlauf;
    delete windows.info;
    delete windows.para;
    delete windows.main;
    return 0;
}
