#include "link/port_list.h"

// The parts of the port list that read the same on every system; listing the
// ports and the environment's say live in the platform files.
namespace zelk20 {

std::string device_text(const PortTarget& target) {
    const SystemPort& port = target.port;
    if (port.device.empty()) return {};
    if (!target.variable.empty()) return port.device + " (" + target.variable + ")";
    const bool path_names_it = port.name.empty() || port.device.ends_with("/" + port.name) ||
                               port.device.ends_with("\\" + port.name);
    return path_names_it ? port.device : port.device + " (" + port.name + ")";
}

std::string description(const SystemPort& port) {
    std::string text;
    for (const std::string* part : {&port.manufacturer, &port.product, &port.serial_number}) {
        if (part->empty()) continue;
        if (!text.empty()) text += ", ";
        text += *part;
    }
    return text;
}

}  // namespace zelk20
