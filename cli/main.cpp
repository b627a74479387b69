#include <iostream>
#include <string_view>
#include <vector>

#include "cli/commands.h"

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    return zelk20::cli::run(arguments, std::cout, std::cerr);
}
