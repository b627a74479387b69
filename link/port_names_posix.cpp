#include "link/port_names.h"

#include <utility>

#include "link/port_list.h"

namespace zelk20 {

std::string device_path(std::string_view name) {
    const std::optional<int> number = port_number(name);
    if (!number) return std::string(name);
    // A pinned port needs no look at the system's list.
    if (std::optional<std::string> pinned = pinned_device(*number)) return std::move(*pinned);
    // Listed afresh at every open: an adapter plugged in since is found.
    return port_target(*number, system_ports()).port.device;
}

}  // namespace zelk20
