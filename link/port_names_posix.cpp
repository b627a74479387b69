#include "link/port_names.h"

#include <cstdlib>

namespace zelk20 {

std::string device_path(std::string_view name) {
    const std::optional<int> number = port_number(name);
    if (!number) return std::string(name);
    const std::string variable = "ZELK20_" + port_name(*number);
    if (const char* path = std::getenv(variable.c_str()); path != nullptr && *path != '\0') return path;
    return "/dev/ttyS" + std::to_string(*number - 1);
}

}  // namespace zelk20
