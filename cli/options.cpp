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

// The commands by the word that names them.
constexpr std::pair<std::string_view, Command> command_words[] = {
    {"monitor", Command::monitor}, {"read", Command::read}, {"write", Command::write}, {"ports", Command::ports}};

// Why the arguments are refused: a message and the argument it names, if any.
struct Refusal {
    const Message* reason;
    std::string_view value = {};
};

// Reads the arguments one by one into `options`.
class OptionReader {
public:
    explicit OptionReader(std::span<const std::string_view> arguments) : arguments_(arguments) {
        // Known first, so that every complaint comes in the language asked for.
        for (std::size_t k = 0; k + 1 < arguments.size(); ++k) {
            if (arguments[k] == "--lang" && arguments[k + 1] == "de") options.language = Language::german;
        }
    }

    bool done() const { return next_ >= arguments_.size(); }
    bool help_asked() const { return help_asked_; }

    // Takes the next argument, and its value if it has one.
    std::optional<Refusal> take() {
        const std::string_view argument = arguments_[next_++];
        if (argument == "--help" || argument == "-h") {
            options.command = Command::help;
            help_asked_ = true;
            return std::nullopt;
        }
        if (argument == "--verify") {
            options.verify = true;
        } else if (argument == "--defaults") {
            options.defaults = true;
        } else if (!argument.empty() && argument.front() == '-') {
            return take_valued(argument);
        } else {
            return take_word(argument);
        }
        return std::nullopt;
    }

    // What the options ask for together.
    std::optional<Refusal> check() const {
        if (!command_given_) return Refusal{&texts::command_missing};
        if (options.command == Command::ports && port_given_) return Refusal{&texts::port_option};
        const bool monitor = options.command == Command::monitor;
        const bool read = options.command == Command::read;
        const bool write = options.command == Command::write;
        if (!monitor && (options.csv_file || options.frames || options.seconds)) return Refusal{&texts::monitor_options};
        if (options.frames && options.seconds) return Refusal{&texts::frames_or_seconds};
        if (!read && options.save_file) return Refusal{&texts::save_option};
        if (!write && (options.verify || options.defaults)) return Refusal{&texts::write_options};
        if (write && options.defaults == options.config_file.has_value()) return Refusal{&texts::write_source};
        return std::nullopt;
    }

    Options options;

private:
    std::optional<std::string_view> value() {
        if (done()) return std::nullopt;
        return arguments_[next_++];
    }

    // An option that takes a value; an unknown one ends the reading all the same.
    std::optional<Refusal> take_valued(std::string_view option) {
        const std::optional<std::string_view> given = value();
        if (option == "--port") return take_port(given);
        if (option == "--lang") {
            if (given == "de" || given == "en") {
                options.language = given == "de" ? Language::german : Language::english;
                return std::nullopt;
            }
            return Refusal{&texts::lang_values};
        }
        if (option == "--csv" || option == "--save") {
            if (!given || given->empty()) return Refusal{&texts::needs_file_name, option};
            (option == "--csv" ? options.csv_file : options.save_file) = std::string(*given);
            return std::nullopt;
        }
        if (option == "--frames") {
            options.frames = given ? whole_number(*given) : std::nullopt;
            return options.frames ? std::nullopt : std::optional(Refusal{&texts::frames_value});
        }
        if (option == "--seconds") {
            options.seconds = given ? positive_seconds(*given) : std::nullopt;
            return options.seconds ? std::nullopt : std::optional(Refusal{&texts::seconds_value});
        }
        return Refusal{&texts::unknown_option, option};
    }

    std::optional<Refusal> take_port(std::optional<std::string_view> port) {
        if (!port || port->empty()) return Refusal{&texts::port_needs_value};
        const std::optional<int> number = port_number(*port);
        if (looks_like_port_name(*port) && !number) return Refusal{&texts::no_such_port, *port};
        // "com10" goes on as COM10, in messages too.
        options.port = number ? port_name(*number) : std::string(*port);
        port_given_ = true;
        return std::nullopt;
    }

    // The command, then the configuration file of a write.
    std::optional<Refusal> take_word(std::string_view word) {
        if (!command_given_) {
            command_given_ = true;
            for (const auto& [name, command] : command_words) {
                if (word == name) {
                    options.command = command;
                    return std::nullopt;
                }
            }
            return Refusal{&texts::unknown_command, word};
        }
        if (options.command == Command::write && !options.config_file) {
            options.config_file = std::string(word);
            return std::nullopt;
        }
        return Refusal{&texts::unexpected_argument, word};
    }

    std::span<const std::string_view> arguments_;
    std::size_t next_ = 0;
    bool command_given_ = false;
    bool port_given_ = false;
    bool help_asked_ = false;
};

}  // namespace

ParsedOptions parse_options(std::span<const std::string_view> arguments) {
    OptionReader reader(arguments);
    std::optional<Refusal> refusal;
    while (!refusal && !reader.done()) {
        refusal = reader.take();
        if (!refusal && reader.help_asked()) {
            return {.options = reader.options, .language = reader.options.language, .error = {}};
        }
    }
    if (!refusal) refusal = reader.check();
    if (refusal) {
        const Language language = reader.options.language;
        return {.options = std::nullopt, .language = language, .error = fill(refusal->reason->in(language), {refusal->value})};
    }
    return {.options = reader.options, .language = reader.options.language, .error = {}};
}

}  // namespace zelk20::cli
