#include "link/port_list.h"

#include <utility>

#include "link/port_names.h"

// On Windows COMk is the system's own name for a port: the list is simply
// the eleven names, each reaching its \\.\COMk whether it is there or not.
namespace zelk20 {

std::vector<SystemPort> system_ports(const std::filesystem::path&) {
    std::vector<SystemPort> ports;
    for (int number = first_port_number; number <= last_port_number; ++number) {
        SystemPort port;
        port.device = device_path(port_name(number));
        port.name = port_name(number);
        ports.push_back(std::move(port));
    }
    return ports;
}

PortTarget port_target(int number, const std::vector<SystemPort>& ports) {
    if (number < 1 || static_cast<std::size_t>(number) > ports.size()) return {};
    return {.port = ports[static_cast<std::size_t>(number) - 1], .variable = {}};
}

}  // namespace zelk20
