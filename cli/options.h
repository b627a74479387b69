#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "texts/text_sets.h"

namespace zelk20::cli {

// zelk20ctl's exit codes.
enum ExitCode : int {
    exit_done = 0,
    exit_no_answer = 1,         // the module did not answer after all attempts (or a verify differed)
    exit_bad_input = 2,         // usage, a faulty file with its code, a file that cannot be written
    exit_port_unavailable = 3,  // the port cannot be opened
    exit_stopped = 128,         // plus the signal's number: a load or write stopped by a signal (130 for Ctrl-C)
};

enum class Command { help, monitor, read, write, ports };

struct Options {
    Command command = Command::help;
    Language language = Language::english;
    std::string port = "COM1";  // a port name COM1 to COM11, or a device path
    // monitor
    std::optional<std::string> csv_file;
    std::optional<long> frames;
    std::optional<double> seconds;
    // read
    std::optional<std::string> save_file;
    // write
    std::optional<std::string> config_file;
    bool defaults = false;
    bool verify = false;
};

// The options, or the reason they are not usable, in the language asked for.
struct ParsedOptions {
    std::optional<Options> options;
    Language language = Language::english;
    std::string error;
};

// Reads the arguments after the program name.
ParsedOptions parse_options(std::span<const std::string_view> arguments);

}  // namespace zelk20::cli
