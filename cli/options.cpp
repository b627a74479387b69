#include "cli/options.h"

#include <charconv>
#include <cmath>

#include "cli/cli_texts.h"
#include "link/port_names.h"

namespace zelk20::cli {

namespace {

// "COM" (in any case) and digits: a port name, right or wrong, not a device path.
bool looks_like_port_name(std::string_view text) {
    constexpr std::string_view prefix = "com";
    if (text.size() <= prefix.size()) return false;
    for (std::size_t k = 0; k < prefix.size(); ++k) {
        const char lower = text[k] >= 'A' && text[k] <= 'Z' ? static_cast<char>(text[k] - 'A' + 'a') : text[k];
        if (lower != prefix[k]) return false;
    }
    for (char c : text.substr(prefix.size())) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

std::optional<long> whole_number(std::string_view text) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value <= 0) return std::nullopt;
    return value;
}

std::optional<double> positive_seconds(std::string_view text) {
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != text.data() + text.size() || !(value > 0) || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

ParsedOptions parse_options(std::span<const std::string_view> arguments) {
    Options options;
    // Known first, so that every complaint comes in the language asked for.
    for (std::size_t k = 0; k + 1 < arguments.size(); ++k) {
        if (arguments[k] == "--lang" && arguments[k + 1] == "de") options.language = Language::german;
    }
    auto refuse = [&options](const Message& reason, std::string_view value = {}) {
        return ParsedOptions{.options = std::nullopt, .language = options.language,
                             .error = fill(reason.in(options.language), {value})};
    };
    bool command_given = false;
    bool port_given = false;
    for (std::size_t k = 0; k < arguments.size(); ++k) {
        const std::string_view argument = arguments[k];
        auto value = [&]() -> std::optional<std::string_view> {
            if (k + 1 >= arguments.size()) return std::nullopt;
            return arguments[++k];
        };
        if (argument == "--help" || argument == "-h") {
            options.command = Command::help;
            return {.options = options, .language = options.language, .error = {}};
        }
        if (argument == "--port") {
            const auto port = value();
            if (!port || port->empty()) return refuse(texts::port_needs_value);
            if (looks_like_port_name(*port) && !port_number(*port)) {
                return refuse(texts::no_such_port, *port);
            }
            // "com10" goes on as COM10, in messages too.
            const std::optional<int> number = port_number(*port);
            options.port = number ? port_name(*number) : std::string(*port);
            port_given = true;
        } else if (argument == "--lang") {
            const auto language = value();
            if (language == "de") {
                options.language = Language::german;
            } else if (language == "en") {
                options.language = Language::english;
            } else {
                return refuse(texts::lang_values);
            }
        } else if (argument == "--csv" || argument == "--save") {
            const auto file = value();
            if (!file || file->empty()) return refuse(texts::needs_file_name, argument);
            (argument == "--csv" ? options.csv_file : options.save_file) = std::string(*file);
        } else if (argument == "--frames") {
            const auto count = value();
            options.frames = count ? whole_number(*count) : std::nullopt;
            if (!options.frames) return refuse(texts::frames_value);
        } else if (argument == "--seconds") {
            const auto seconds = value();
            options.seconds = seconds ? positive_seconds(*seconds) : std::nullopt;
            if (!options.seconds) return refuse(texts::seconds_value);
        } else if (argument == "--verify") {
            options.verify = true;
        } else if (argument == "--defaults") {
            options.defaults = true;
        } else if (!argument.empty() && argument.front() == '-') {
            return refuse(texts::unknown_option, argument);
        } else if (!command_given) {
            command_given = true;
            if (argument == "monitor") {
                options.command = Command::monitor;
            } else if (argument == "read") {
                options.command = Command::read;
            } else if (argument == "write") {
                options.command = Command::write;
            } else if (argument == "ports") {
                options.command = Command::ports;
            } else {
                return refuse(texts::unknown_command, argument);
            }
        } else if (options.command == Command::write && !options.config_file) {
            options.config_file = std::string(argument);
        } else {
            return refuse(texts::unexpected_argument, argument);
        }
    }

    if (!command_given) return refuse(texts::command_missing);
    if (options.command == Command::ports && port_given) return refuse(texts::port_option);
    const bool monitor = options.command == Command::monitor;
    const bool read = options.command == Command::read;
    const bool write = options.command == Command::write;
    if (!monitor && (options.csv_file || options.frames || options.seconds)) {
        return refuse(texts::monitor_options);
    }
    if (options.frames && options.seconds) return refuse(texts::frames_or_seconds);
    if (!read && options.save_file) return refuse(texts::save_option);
    if (!write && (options.verify || options.defaults)) return refuse(texts::write_options);
    if (write && options.defaults == options.config_file.has_value()) {
        return refuse(texts::write_source);
    }
    return {.options = options, .language = options.language, .error = {}};
}

}  // namespace zelk20::cli
