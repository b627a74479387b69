#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

#include "cli/options.h"

namespace zelk20::cli {

// Runs zelk20ctl with the arguments after the program name: results on
// `out`, messages on `err`. Returns the exit code.
int run(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err);

int monitor(const Options& options, std::ostream& out, std::ostream& err);
int read(const Options& options, std::ostream& out, std::ostream& err);
int write(const Options& options, std::ostream& out, std::ostream& err);
int ports(const Options& options, std::ostream& out);

}  // namespace zelk20::cli
