#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zelk20 {

// A serial device of this computer, as far as the system describes it.
struct SystemPort {
    std::string device;  // the path that opens it: on Linux an adapter's stable /dev/serial/by-id name
    std::string name;    // the system's own name for it: ttyS0, ttyUSB0, COM3
    // As the USB device reports them; empty for an on-board port or when it does not say.
    std::string manufacturer;
    std::string product;
    std::string serial_number;

    friend bool operator==(const SystemPort&, const SystemPort&) = default;
};

// The system's serial ports in the order COM1, COM2, ... reach them, read
// afresh at every call so that an adapter plugged in later is found.
// Linux, read under `root` (sys/class/tty, dev): first the on-board UARTs
// (ttyS ports whose UART the kernel found; not the placeholders it always
// registers) by number, then adapters and other serial devices with a
// hardware device behind them, by their /dev/serial/by-id name and opened
// through it, so that an adapter plugged in again is the same COMk; those
// without a by-id name come last, by their own name.
// Windows: the eleven names COM1 to COM11 themselves; `root` is not used.
std::vector<SystemPort> system_ports(const std::filesystem::path& root = "/");

// What the port name COMk (`number` 1 to 11) reaches, out of `ports` (as
// system_ports gives them).
struct PortTarget {
    SystemPort port;       // port.device is empty when COMk reaches no device
    std::string variable;  // "ZELK20_COM3" when that environment variable set the device; else empty
};
// Linux: the environment variable that pins COMk (`number` 1 to 11) to a device
// ("ZELK20_COM3"), and the device it names; none when it is unset or empty.
std::string pin_variable(int number);
std::optional<std::string> pinned_device(int number);

// Linux: the device in ZELK20_COMk where that is set (described when it is
// one of `ports`), else the k-th of `ports`; a COMk beyond them reaches none.
PortTarget port_target(int number, const std::vector<SystemPort>& ports);

// "/dev/serial/by-id/usb-FTDI_...-port0 (ttyUSB0)", "/tmp/module (ZELK20_COM1)":
// the device and, where the path does not say it, its name or the variable
// that set it. Empty when there is no device.
std::string device_text(const PortTarget& target);
// "FTDI, FT232R USB UART, A1B2C3": what the system says about the device; may be empty.
std::string description(const SystemPort& port);

}  // namespace zelk20
