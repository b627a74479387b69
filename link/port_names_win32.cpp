#include "link/port_names.h"

namespace zelk20 {

std::string device_path(std::string_view name) {
    const std::optional<int> number = port_number(name);
    if (!number) return std::string(name);
    return R"(\\.\)" + port_name(*number);
}

}  // namespace zelk20
