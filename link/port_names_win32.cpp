#include "link/port_names.h"

namespace zelk20 {

std::string device_path(std::string_view name) {
    if (!port_number(name)) return std::string(name);
    return R"(\\.\)" + std::string(name);
}

}  // namespace zelk20
