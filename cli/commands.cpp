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

namespace {

// Why the window could not show `set`: its first threshold that is not in its list.
std::string unlisted_threshold(const ParameterSet& set, Language language) {
    for (std::size_t k = 0; k < parameter_byte::threshold_count; ++k) {
        if (!threshold_position(k, set[k])) {
            return fill(texts::threshold_outside_list.in(language), {tenths_item_text(set[k]), std::to_string(k)});
        }
    }
    return {};
}

// What a monitor run shows, writes and counts.
class MonitorReport {
public:
    MonitorReport(const Options& options, std::ostream& out, std::optional<CsvFile>& csv)
        : options_(options), out_(out), csv_(csv) {}

    // Shows the accepted frames of a poll, up to the count asked for.
    void show(const std::vector<Frame>& frames) {
        for (const Frame& frame : frames) {
            const std::optional<StatusValues> values = accepted_status_values(frame.bytes());
            if (!values) {
                ++refused_;
                continue;
            }
            silence_reported_ = false;
            ++shown_;
            out_ << status_line(status_display(*values), options_.language) << '\n' << std::flush;
            if (csv_) csv_->add(csv_row(std::chrono::system_clock::now(), *values));
            if (enough()) break;
        }
    }

    // A watchdog tick: a silent line is told once, until a frame comes again.
    void watchdog(bool silent) {
        if (!silent || silence_reported_) return;
        out_ << texts::line_silent.in(options_.language) << '\n' << std::flush;
        silence_reported_ = true;
    }

    bool enough() const { return options_.frames && shown_ >= *options_.frames; }

    std::string summary() const {
        return fill(texts::monitor_summary.in(options_.language), {std::to_string(shown_), std::to_string(refused_)});
    }

private:
    const Options& options_;
    std::ostream& out_;
    std::optional<CsvFile>& csv_;
    long shown_ = 0;
    long refused_ = 0;
    bool silence_reported_ = false;
};

}  // namespace

int monitor(const Options& options, std::ostream& out, std::ostream& err) {
    MonitorLink link(options.port);
    link.open();
    if (!link.port().is_open()) {
        err << port_failure(options, link.port().failure(), link.port().failure_text()) << '\n';
        return exit_port_unavailable;
    }
    std::optional<CsvFile> csv;
    if (options.csv_file) csv.emplace(*options.csv_file, csv_header());
    auto csv_failed = [&] {
        if (!csv || csv->good()) return false;
        err << fill(texts::csv_not_written.in(options.language), {*options.csv_file}) << '\n';
        return true;
    };
    if (csv_failed()) return exit_bad_input;

    const auto start = Clock::now();
    const auto end = options.seconds ? start + std::chrono::duration_cast<Clock::duration>(
                                                   std::chrono::duration<double>(*options.seconds))
                                     : Clock::time_point::max();
    MonitorClock clock(start);
    MonitorReport report(options, out, csv);
    while (!stop_asked() && Clock::now() < end && !report.enough()) {
        const MonitorClock::Due due = clock.take_due(Clock::now());
        if (due.poll) report.show(link.poll());
        if (due.watchdog) report.watchdog(link.watchdog());
        // Paced like the window's timers, so that a port that is gone costs no CPU.
        std::this_thread::sleep_until(std::min(clock.next(), end));
    }
    err << report.summary() << '\n';
    return csv_failed() ? exit_bad_input : exit_done;
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

namespace {

// The set a write sends, as the window would send it after showing the
// maker's defaults or the file; nothing, with the reason told, when it cannot.
std::optional<ParameterSet> set_to_write(const Options& options, std::ostream& err) {
    ParameterSet set = maker_defaults;
    if (options.config_file) {
        const ConfigFileRead file = read_config_file(read_file_start(*options.config_file));
        if (file.malformed_field) {
            err << *options.config_file << ": " << conversion_error_text(*file.malformed_field) << '\n';
            return std::nullopt;
        }
        if (file.code != FileCheck::correct) {
            err << *options.config_file << ": " << messages::file_faulty.in(options.language)
                << code_number(file.code) << '\n';
            return std::nullopt;
        }
        for (const ConfigField& field : file.fields) set[field.byte] = field.value;
        err << messages::file_read_ok.in(options.language) << '\n';
    }
    std::optional<ParameterSet> written = as_window_writes(set);
    if (!written) err << unlisted_threshold(set, options.language) << '\n';
    return written;
}

}  // namespace

int write(const Options& options, std::ostream& out, std::ostream& err) {
    const std::optional<ParameterSet> written = set_to_write(options, err);
    if (!written) return exit_bad_input;

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
