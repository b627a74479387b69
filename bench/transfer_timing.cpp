// Time from a click on "Konfiguration laden" and on "Konfiguration schreiben"
// to the success message, against the simulated module, over 20 runs each
// (a script, not a test). Prints median and p99 in milliseconds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include "bench/measuring.h"
#include "sim/simulated_module.h"
#include "ui/history_window.h"
#include "ui/info_window.h"
#include "ui/main_window.h"
#include "ui/parameter_window.h"
#include "ui/program.h"

namespace {

using zelk20::bench::percentile;
using Clock = std::chrono::steady_clock;

}  // namespace

int main(int argc, char** argv) {
    const int runs = zelk20::bench::start_measuring(argc, argv, 20);
    auto module = zelk20::sim::SimulatedModule::start();
    if (!module) return 1;
    zelk20::bench::map_com1(module->port_path());
    QApplication application(argc, argv);
    const ProgramWindows windows = start_program();
    windows.main->show();
    while (windows.main->link().current_port_name().empty()) QApplication::processEvents(QEventLoop::AllEvents, 10);
    windows.main->Button1Click();
    windows.para->Button3Click();
    auto* status = windows.para->findChild<QLabel*>("status");

    auto time_click = [&](const char* button) {
        std::vector<double> ms;
        for (int k = 0; k < runs; ++k) {
            status->clear();
            const auto start = Clock::now();
            windows.para->findChild<QPushButton*>(button)->click();
            while (status->text() != QString::fromUtf8("Übertragung erfolgreich!")) {
                QApplication::processEvents(QEventLoop::AllEvents, 5);
            }
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        return ms;
    };
    const auto load = time_click("Button1");
    const auto write = time_click("Button2");
    std::printf("click to message over %d runs   median     p99   (ms)\n", runs);
    std::printf("Konfiguration laden           %8.1f %8.1f\n", percentile(load, 0.5), percentile(load, 0.99));
    std::printf("Konfiguration schreiben       %8.1f %8.1f\n", percentile(write, 0.5), percentile(write, 0.99));
    delete windows.verlauf;
    delete windows.info;
    delete windows.para;
    delete windows.main;
    return 0;
}
