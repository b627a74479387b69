// The Linux port list, read from sysfs and /dev the way established serial
// libraries do it, but without opening any port: opening a port to ask about
// it would need the dialout group and could toggle the modem lines of a
// device in use.
#include "link/port_list.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <string_view>
#include <system_error>
#include <tuple>

#include "link/port_names.h"

namespace zelk20 {
namespace {

namespace fs = std::filesystem;

// The first line of a sysfs attribute, without its line end; empty when unreadable.
std::string attribute(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) line.pop_back();
    return line;
}

// "ttyUSB10" as ("ttyUSB", 10), so that ttyUSB2 comes before ttyUSB10.
std::tuple<std::string_view, long, std::string_view> name_order(std::string_view name) {
    std::size_t digits = name.size();
    while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9') --digits;
    long number = -1;
    std::from_chars(name.data() + digits, name.data() + name.size(), number);
    return {name.substr(0, digits), number, name};
}

std::optional<long> uart_number(std::string_view name) {
    if (!name.starts_with("ttyS")) return std::nullopt;
    const auto [stem, number, whole] = name_order(name);
    if (stem != "ttyS" || number < 0) return std::nullopt;
    return number;
}

// The serial core reports the UART it found in `type`; 0 (PORT_UNKNOWN) is a
// port the kernel registered without hardware behind it, like the ttyS1 to
// ttyS31 every PC kernel has. This is the type the TIOCGSERIAL check of
// other serial libraries reads, without opening the port. Where `type` is
// missing, a port of the serial8250 placeholder device is taken as empty.
bool placeholder(const fs::path& entry, const fs::path& device) {
    std::error_code error;
    const std::string type = attribute(entry / "type");
    if (!type.empty()) {
        int value = -1;
        const auto [end, failed] = std::from_chars(type.data(), type.data() + type.size(), value);
        return failed != std::errc{} || value == 0;
    }
    return fs::canonical(device, error).string().find("serial8250") != std::string::npos;
}

// Manufacturer, product and serial number of the USB device the tty hangs
// off: the nearest folder above the tty's device that has an idVendor.
void describe_usb(SystemPort& port, const fs::path& device, const fs::path& sys) {
    std::error_code error;
    const fs::path top = fs::canonical(sys, error);
    if (error) return;
    for (fs::path at = fs::canonical(device, error); !error && at != top && at.string().starts_with(top.string());
         at = at.parent_path()) {
        if (!fs::exists(at / "idVendor", error)) continue;
        port.manufacturer = attribute(at / "manufacturer");
        port.product = attribute(at / "product");
        port.serial_number = attribute(at / "serial");
        return;
    }
}

// Device name (ttyUSB0) to its stable name in dev/serial/by-id; the first by
// name where a device has more than one.
std::map<std::string, std::string> stable_names(const fs::path& by_id) {
    std::map<std::string, std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(by_id, error), end; !error && it != end; it.increment(error)) {
        std::error_code link_error;
        const fs::path target = fs::read_symlink(it->path(), link_error);
        if (link_error || !fs::exists(it->path(), link_error)) continue;
        const std::string link = it->path().filename().string();
        auto [place, added] = names.try_emplace(target.filename().string(), link);
        if (!added && link < place->second) place->second = link;
    }
    return names;
}

// The folders the list is read from.
struct Tree {
    fs::path sys;
    fs::path dev;
    fs::path by_id;
};

// A listed port and its place in the list: on-board UARTs first by number,
// then adapters by their stable name, then the rest by name.
struct Placed {
    SystemPort port;
    std::tuple<int, std::string, long, std::string> order;
};

// The tty in sys/class/tty, if it is a serial port that can be opened.
std::optional<Placed> place(const fs::path& entry, const Tree& tree, const std::map<std::string, std::string>& stable) {
    const std::string name = entry.filename().string();
    const fs::path device = entry / "device";
    std::error_code check;
    // Virtual consoles, the console and pseudo-terminals have no device behind them.
    if (!fs::exists(device, check)) return std::nullopt;
    if (!fs::exists(tree.dev / name, check)) return std::nullopt;  // no node to open
    if (placeholder(entry, device)) return std::nullopt;

    Placed placed;
    placed.port.device = (tree.dev / name).string();
    placed.port.name = name;
    if (const std::optional<long> number = uart_number(name)) {
        // An on-board port is real only with a driver that claimed it.
        if (!fs::exists(device / "driver", check)) return std::nullopt;
        placed.order = {0, "", *number, ""};
        return placed;
    }
    describe_usb(placed.port, device, tree.sys);
    if (const auto found = stable.find(name); found != stable.end()) {
        placed.port.device = (tree.by_id / found->second).string();
        placed.order = {1, found->second, 0, ""};
    } else {
        const auto [stem, number, whole] = name_order(name);
        placed.order = {2, std::string(stem), number, name};
    }
    return placed;
}

}  // namespace

std::vector<SystemPort> system_ports(const fs::path& root) {
    const Tree tree{.sys = root / "sys", .dev = root / "dev", .by_id = root / "dev" / "serial" / "by-id"};
    const std::map<std::string, std::string> stable = stable_names(tree.by_id);
    std::vector<Placed> placed;
    std::error_code error;
    for (fs::directory_iterator it(tree.sys / "class" / "tty", error), end; !error && it != end; it.increment(error)) {
        if (std::optional<Placed> port = place(it->path(), tree, stable)) placed.push_back(std::move(*port));
    }
    std::ranges::sort(placed, {}, &Placed::order);
    std::vector<SystemPort> ports;
    for (Placed& port : placed) ports.push_back(std::move(port.port));
    return ports;
}

std::string pin_variable(int number) { return "ZELK20_" + port_name(number); }

std::optional<std::string> pinned_device(int number) {
    const char* path = std::getenv(pin_variable(number).c_str());
    if (path == nullptr || *path == '\0') return std::nullopt;
    return path;
}

PortTarget port_target(int number, const std::vector<SystemPort>& ports) {
    if (const std::optional<std::string> path = pinned_device(number)) {
        PortTarget target;
        target.port.device = *path;
        target.variable = pin_variable(number);
        // A pinned path that leads to a listed device gets that device's description.
        std::error_code error;
        const fs::path device = fs::canonical(*path, error);
        if (error) return target;
        for (const SystemPort& port : ports) {
            std::error_code other_error;
            if (fs::canonical(port.device, other_error) != device || other_error) continue;
            target.port = port;
            target.port.device = *path;
            break;
        }
        return target;
    }
    if (number < 1 || static_cast<std::size_t>(number) > ports.size()) return {};
    return {.port = ports[static_cast<std::size_t>(number) - 1], .variable = {}};
}

}  // namespace zelk20
