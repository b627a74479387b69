#include "link/port_names.h"

#include "link/port_list.h"

namespace zelk20 {

std::string device_path(std::string_view name) {
    const std::optional<int> number = port_number(name);
    if (!number) return std::string(name);
    // Listed afresh at every open: an adapter plugged in since is found.
    return port_target(*number, system_ports()).port.device;
}

}  // namespace zelk20
