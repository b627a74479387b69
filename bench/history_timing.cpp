// Measures the history window's cost (a script, not a test): the whole
// program with frames five times a second, first with the history window cut
// off from the frame path (the program as it was before it), then with an
// hour of data in the history and the window hidden, then open on its ten-,
// sixty- and one-minute views:
//   cpu, rss  CPU share of the whole process and its resident memory
//   redraw    time of one redraw of the plot after a new frame (p50, p99);
//             the window redraws when the time axis has moved by a pixel:
//             every frame on the 1 minute view, about 1.5 times a second on
//             10 minutes, every 4 seconds on 60
// and then the redraw alone, 300 in a row on each view (p50, p99).
// Usage: history_timing [SECONDS]   (each phase; default 20)
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>

#include <qcustomplot.h>

#include "bench/process_stats.h"
#include "bench/measuring.h"
#include "tests/history_data.h"
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

struct Phase {
    double cpu_percent;
    long rss;
    std::vector<double> redraws;
};

Phase measure(int seconds, QCustomPlot* plot) {
    Phase phase{};
    QMetaObject::Connection redrawn;
    if (plot != nullptr) {
        redrawn = QObject::connect(plot, &QCustomPlot::afterReplot,
                                   [&phase, plot] { phase.redraws.push_back(plot->replotTime(false)); });
    }
    const double cpu_before = cpu_seconds();
    const auto wall_before = Clock::now();
    run_for(seconds * 1000);
    phase.cpu_percent =
        (cpu_seconds() - cpu_before) / std::chrono::duration<double>(Clock::now() - wall_before).count() * 100.0;
    phase.rss = rss_kib();
    QObject::disconnect(redrawn);
    return phase;
}

void print(const char* what, const Phase& phase, int seconds) {
    std::printf("%s: CPU %.2f %% over %d s, resident memory %ld KiB", what, phase.cpu_percent, seconds, phase.rss);
    if (!phase.redraws.empty()) {
        std::printf(", redraw p50 %.2f ms p99 %.2f ms (%zu redraws)", percentile(phase.redraws, 0.5),
                    percentile(phase.redraws, 0.99), phase.redraws.size());
    }
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = zelk20::bench::start_measuring(argc, argv, 20);
    auto line = zelk20::bench::line_as_com1();
    if (!line) return 1;

    QApplication application(argc, argv);
    const ProgramWindows windows = start_program();
    windows.main->set_history_window(nullptr);
    windows.main->show();
    run_for(500);

    // Frames five times a second from another thread, each with a new In1 voltage.
    std::atomic<bool> streaming{true};
    std::thread sender([&] {
        std::uint16_t volts = 2000;
        while (streaming) {
            volts = static_cast<std::uint16_t>(volts == 2990 ? 2000 : volts + 10);
            line->write(zelk20::test::status_frame(
                0, {volts, 2398, 2380, 235, 185, 420, 2390, 2375, 2360, 250, 199, 447}, {204, 204, 204, 200, 200, 200}));
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    });
    run_for(1000);

    const Phase without = measure(seconds, nullptr);
    windows.main->set_history_window(windows.verlauf);
    zelk20::test::feed_an_hour(*windows.verlauf, std::chrono::system_clock::now());
    run_for(1000);
    const Phase hidden = measure(seconds, nullptr);
    windows.main->verlaufClick();
    auto* plot = windows.verlauf->findChild<QCustomPlot*>("diagramm");
    run_for(1000);
    const Phase ten = measure(seconds, plot);
    windows.verlauf->findChild<QComboBox*>("zeitraum")->setCurrentIndex(2);
    run_for(1000);
    const Phase sixty = measure(seconds, plot);
    windows.verlauf->findChild<QComboBox*>("zeitraum")->setCurrentIndex(0);
    run_for(1000);
    const Phase one = measure(seconds, plot);
    std::vector<std::vector<double>> in_a_row;
    for (int view = 0; view < 3; ++view) {
        windows.verlauf->findChild<QComboBox*>("zeitraum")->setCurrentIndex(view);
        run_for(300);
        std::vector<double>& times = in_a_row.emplace_back();
        for (int k = 0; k < 300; ++k) {
            plot->replot(QCustomPlot::rpImmediateRefresh);
            times.push_back(plot->replotTime(false));
        }
    }
    streaming = false;
    sender.join();

    std::printf("history holds %zu points; plot %dx%d pixels\n", windows.verlauf->history().points().size(),
                plot->width(), plot->height());
    print("without the history window", without, seconds);
    print("history window hidden", hidden, seconds);
    print("history window open, 10 min view", ten, seconds);
    print("history window open, 60 min view", sixty, seconds);
    print("history window open, 1 min view", one, seconds);
    for (int view = 0; view < 3; ++view) {
        std::printf("redraw alone, %s view: p50 %.2f ms, p99 %.2f ms\n", view == 0 ? "1 min" : view == 1 ? "10 min" : "60 min",
                    percentile(in_a_row[static_cast<std::size_t>(view)], 0.5), percentile(in_a_row[static_cast<std::size_t>(view)], 0.99));
    }
    delete windows.verlauf;
    delete windows.info;
    delete windows.para;
    delete windows.main;
    return 0;
}
