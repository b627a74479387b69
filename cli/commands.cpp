#include "cli/commands.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <ostream>
#include <thread>

#include "cli/cli_texts.h"
#include "cli/report.h"
#include "cli/stop_signals.h"
#include "link/monitor_link.h"
#include "link/port_list.h"
#include "link/port_names.h"
#include "parameter/config_file.h"
#include "parameter/transfer.h"

namespace zelk20::cli {

namespace {

using Clock = std::chrono::steady_clock;

std::string port_failure(const Options& options, OpenFailure failure, std::string_view system_text) {
    return port_failure_text(options.port, device_path(options.port), failure, system_text, options.language);
}

bool stop_asked() { return StopSignals::received() != 0; }

// The end of a load or write that did not succeed, reported; its exit code.
int failed_transfer(const Options& options, const TransferResult& result, std::ostream& err) {
    if (result.end == TransferEnd::stopped) {
        const int signal = StopSignals::received();
        err << fill(texts::stopped_by_signal.in(options.language), {std::to_string(signal)}) << '\n';
        return exit_stopped + signal;
    }
    if (result.end == TransferEnd::port_unavailable) {
        err << port_failure(options, result.open_failure, result.failure_text) << '\n';
        return exit_port_unavailable;
    }
    err << messages::communication_failed.in(options.language) << " ("
        << fill(texts::attempts.in(options.language), {std::to_string(result.attempts)}) << ")\n";
    return exit_no_answer;
}

}  // namespace

int run(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err) {
    const ParsedOptions parsed = parse_options(arguments);
    if (!parsed.options) {
        err << "zelk20ctl: " << parsed.error << '\n' << texts::see_help.in(parsed.language) << '\n';
        return exit_bad_input;
    }
    const Options& options = *parsed.options;
    const StopSignals stop_signals;
    switch (options.command) {
    case Command::help: out << help_text(options.language); return exit_done;
    case Command::monitor: return monitor(options, out, err);
    case Command::read: return read(options, out, err);
    case Command::write: return write(options, out, err);
    case Command::ports: return ports(options, out);
    }
    return exit_bad_input;
}

int monitor(const Options& options, std::ostream& out, std::ostream& err) {
    MonitorLink link(options.port);
    link.open();
    if (!link.port().is_open()) {
        err << port_failure(options, link.port().failure(), link.port().failure_text()) << '\n';
        return exit_port_unavailable;
    }
    std::optional<CsvFile> csv;
    if (options.csv_file) {
        csv.emplace(*options.csv_file, csv_header());
        if (!csv->good()) {
            err << fill(texts::csv_not_written.in(options.language), {*options.csv_file}) << '\n';
            return exit_bad_input;
        }
    }

    const auto start = Clock::now();
    const auto end = options.seconds ? start + std::chrono::duration_cast<Clock::duration>(
                                                   std::chrono::duration<double>(*options.seconds))
                                     : Clock::time_point::max();
    MonitorClock clock(start);
    long shown = 0;
    long refused = 0;
    bool silence_reported = false;
    auto done = [&] { return stop_asked() || Clock::now() >= end || (options.frames && shown >= *options.frames); };

    while (!done()) {
        const MonitorClock::Due due = clock.take_due(Clock::now());
        for (const Frame& frame : due.poll ? link.poll() : std::vector<Frame>{}) {
            const std::optional<StatusValues> values = accepted_status_values(frame.bytes());
            if (!values) {
                ++refused;
                continue;
            }
            silence_reported = false;
            ++shown;
            out << status_line(status_display(*values), options.language) << '\n' << std::flush;
            if (csv) csv->add(csv_row(std::chrono::system_clock::now(), *values));
            if (options.frames && shown >= *options.frames) break;
        }
        if (due.watchdog && link.watchdog() && !silence_reported) {
            out << texts::line_silent.in(options.language) << '\n' << std::flush;
            silence_reported = true;
        }
        // Paced like the window's timers, so that a port that is gone costs no CPU.
        std::this_thread::sleep_until(std::min(clock.next(), end));
    }
    err << fill(texts::monitor_summary.in(options.language), {std::to_string(shown), std::to_string(refused)}) << '\n';
    if (csv && !csv->good()) {
        err << fill(texts::csv_not_written.in(options.language), {*options.csv_file}) << '\n';
        return exit_bad_input;
    }
    return exit_done;
}

int read(const Options& options, std::ostream& out, std::ostream& err) {
    TransferSession session(options.port, stop_asked);
    const TransferResult result = session.load();
    if (result.end != TransferEnd::done) return failed_transfer(options, result, err);
    out << configuration_text(*result.answer, options.language);
    err << messages::transfer_ok.in(options.language) << '\n';
    if (options.save_file && !save_file_safely(*options.save_file, write_config_file(result.answer->set))) {
        err << messages::file_not_saved.in(options.language) << ": " << *options.save_file << '\n';
        return exit_bad_input;
    }
    return exit_done;
}

int write(const Options& options, std::ostream& out, std::ostream& err) {
    ParameterSet set = maker_defaults;
    if (options.config_file) {
        const ConfigFileRead file = read_config_file(read_file_start(*options.config_file));
        if (file.malformed_field) {
            err << *options.config_file << ": " << conversion_error_text(*file.malformed_field) << '\n';
            return exit_bad_input;
        }
        if (file.code != FileCheck::correct) {
            err << *options.config_file << ": " << messages::file_faulty.in(options.language)
                << code_number(file.code) << '\n';
            return exit_bad_input;
        }
        for (const ConfigField& field : file.fields) set[field.byte] = field.value;
        err << messages::file_read_ok.in(options.language) << '\n';
    }
    // What the window would send after showing this set.
    const std::optional<ParameterSet> written = as_window_writes(set);
    if (!written) {
        for (std::size_t k = 0; k < parameter_byte::threshold_count; ++k) {
            if (threshold_position(k, set[k])) continue;
            err << fill(texts::threshold_outside_list.in(options.language),
                        {tenths_item_text(set[k]), std::to_string(k)})
                << '\n';
            break;
        }
        return exit_bad_input;
    }

    TransferSession session(options.port, stop_asked);
    const TransferResult result = session.write(*written);
    if (result.end != TransferEnd::done) return failed_transfer(options, result, err);
    err << messages::transfer_ok.in(options.language) << '\n';
    if (!options.verify) return exit_done;

    const TransferResult check = session.load();
    if (check.end != TransferEnd::done) return failed_transfer(options, check, err);
    if (check.answer->set != *written) {
        err << fill(texts::verify_failed.in(options.language), {hex_bytes(*written), hex_bytes(check.answer->set)})
            << '\n';
        return exit_no_answer;
    }
    out << texts::verified.in(options.language) << '\n';
    return exit_done;
}

int ports(const Options& options, std::ostream& out) {
    const std::vector<SystemPort> listed = system_ports();
    for (int number = first_port_number; number <= last_port_number; ++number) {
        out << port_line(port_name(number), port_target(number, listed), options.language) << '\n';
    }
    return exit_done;
}

}  // namespace zelk20::cli
