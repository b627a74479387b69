// The Linux port list against fake /sys and /dev trees laid out like the
// kernel's and udev's: class entries are relative symbolic links into
// sys/devices, as on a real machine.
#include "link/port_list.h"

#include <cstdlib>
#include <fstream>
#include <functional>

#include <gtest/gtest.h>

#include "link/port_names.h"
#include "tests/temp_folder.h"

namespace zelk20 {
namespace {

namespace fs = std::filesystem;

// What a USB device says about itself; an empty field is a file it lacks.
struct UsbDevice {
    std::string vendor_id;
    std::string manufacturer;
    std::string product;
    std::string serial;
};

const UsbDevice ftdi{"0403", "FTDI", "FT232R USB UART", "A1B2C3"};
const UsbDevice ch340{"1a86", "", "USB Serial", ""};  // a cheap adapter: no maker, no serial number
const UsbDevice arduino{"2341", "Arduino (www.arduino.cc)", "0043", "7563331313335"};

class FakeSystem : public test::TempFolderTest {
public:  // the table of cases builds through a reference
    const fs::path& root = folder;

    void file(const fs::path& path, const std::string& text) {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << text << '\n';
    }
    void link(const fs::path& path, const fs::path& target) {
        fs::create_directories(path.parent_path());
        fs::create_symlink(target, path);
    }
    // sys/class/tty/NAME, pointing at `tty_folder` (relative to sys/devices),
    // whose device link points `device_up` folders up; and the node dev/NAME.
    void tty(const std::string& name, const std::string& tty_folder, const std::string& device_link) {
        const fs::path folder = root / "sys/devices" / tty_folder;
        fs::create_directories(folder);
        if (!device_link.empty()) link(folder / "device", device_link);
        link(root / "sys/class/tty" / name, fs::path("../../devices") / tty_folder);
        file(root / "dev" / name, "");
    }
    void driver(const std::string& device_folder, const std::string& name) {
        fs::create_directories(root / "sys/bus/drivers" / name);
        if (fs::is_symlink(root / "sys/devices" / device_folder / "driver")) return;  // one device, many ports
        link(root / "sys/devices" / device_folder / "driver",
             fs::relative(root / "sys/bus/drivers" / name, root / "sys/devices" / device_folder));
    }

    // A 16550A on the main board, found by the kernel through PnP.
    void on_board_uart(int number, const std::string& pnp_id, const char* type = "4") {
        const std::string name = "ttyS" + std::to_string(number);
        tty(name, "pnp0/" + pnp_id + "/tty/" + name, "../../../" + pnp_id);
        driver("pnp0/" + pnp_id, "serial");
        if (type != nullptr) file(root / "sys/devices/pnp0" / pnp_id / "tty" / name / "type", type);
    }
    // One of the ports every PC kernel registers without a UART behind it.
    void placeholder_uart(int number, bool with_type = true) {
        const std::string name = "ttyS" + std::to_string(number);
        tty(name, "platform/serial8250/tty/" + name, "../../../serial8250");
        driver("platform/serial8250", "serial8250");
        if (with_type) file(root / "sys/devices/platform/serial8250/tty" / name / "type", "0");
    }
    void virtual_tty(const std::string& name) { tty(name, "virtual/tty/" + name, ""); }
    void usb_device(const std::string& usb_folder, const UsbDevice& usb) {
        const fs::path at = root / "sys/devices" / usb_folder;
        file(at / "idVendor", usb.vendor_id);
        if (!usb.manufacturer.empty()) file(at / "manufacturer", usb.manufacturer);
        if (!usb.product.empty()) file(at / "product", usb.product);
        if (!usb.serial.empty()) file(at / "serial", usb.serial);
    }
    // A USB-serial adapter (ttyUSB) at USB port `bus_port` of bus 1, with its
    // udev by-id link when `by_id` is not empty.
    void usb_serial(const std::string& name, const std::string& bus_port, const UsbDevice& usb,
                    const std::string& by_id) {
        const std::string device = "pci0000:00/0000:00:14.0/usb1/" + bus_port;
        const std::string port = device + "/" + bus_port + ":1.0/" + name;
        usb_device(device, usb);
        tty(name, port + "/tty/" + name, "../../../" + name);
        driver(port, "ftdi_sio");
        if (!by_id.empty()) link(root / "dev/serial/by-id" / by_id, fs::path("../..") / name);
    }
    // A CDC-ACM device (ttyACM): its tty hangs off the USB interface itself.
    void acm(const std::string& name, const std::string& bus_port, const UsbDevice& usb, const std::string& by_id) {
        const std::string device = "pci0000:00/0000:00:14.0/usb1/" + bus_port;
        const std::string interface = device + "/" + bus_port + ":1.0";
        usb_device(device, usb);
        tty(name, interface + "/tty/" + name, "../../../" + bus_port + ":1.0");
        driver(interface, "cdc_acm");
        if (!by_id.empty()) link(root / "dev/serial/by-id" / by_id, fs::path("../..") / name);
    }
    void unplug(const std::string& name, const std::string& bus_port, const std::string& by_id) {
        fs::remove_all(root / "sys/devices/pci0000:00/0000:00:14.0/usb1" / bus_port);
        fs::remove(root / "sys/class/tty" / name);
        fs::remove(root / "dev" / name);
        if (!by_id.empty()) fs::remove(root / "dev/serial/by-id" / by_id);
    }
    // What every PC kernel has: virtual consoles, the console, ptmx and the
    // placeholder ttyS ports.
    void pc_kernel(int first_placeholder) {
        for (const char* name : {"console", "ptmx", "tty", "tty0", "tty1", "tty63"}) virtual_tty(name);
        for (int k = first_placeholder; k < 4; ++k) placeholder_uart(k);
    }

    std::string dev(const std::string& name) const { return (root / "dev" / name).string(); }
    std::string by_id(const std::string& name) const { return (root / "dev/serial/by-id" / name).string(); }
};

const std::string ftdi_link = "usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0";
const std::string ch340_link = "usb-1a86_USB_Serial-if00-port0";
const std::string arduino_link = "usb-Arduino__www.arduino.cc__0043_7563331313335-if00";

TEST_F(FakeSystem, NothingAtAllListsNothingAndEveryPortReachesNone) {
    EXPECT_TRUE(system_ports(root).empty());
    pc_kernel(0);
    EXPECT_TRUE(system_ports(root).empty()) << "placeholders, consoles and ptmx are no ports";
    for (int number = first_port_number; number <= last_port_number; ++number) {
        const PortTarget target = port_target(number, system_ports(root));
        EXPECT_EQ(target.port, SystemPort{}) << number;
        EXPECT_EQ(device_text(target), "") << number;
    }
}

TEST_F(FakeSystem, LaptopWithOneFtdiAdapterHasItAsCom1ByItsStableName) {
    pc_kernel(0);
    usb_serial("ttyUSB0", "1-2", ftdi, ftdi_link);
    const std::vector<SystemPort> ports = system_ports(root);
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_EQ(ports[0], (SystemPort{by_id(ftdi_link), "ttyUSB0", "FTDI", "FT232R USB UART", "A1B2C3"}));

    const PortTarget com1 = port_target(1, ports);
    EXPECT_EQ(device_text(com1), by_id(ftdi_link) + " (ttyUSB0)");
    EXPECT_EQ(description(com1.port), "FTDI, FT232R USB UART, A1B2C3");
    EXPECT_EQ(port_target(2, ports).port.device, "");
}

TEST_F(FakeSystem, DesktopHasItsUartFirstThenTheAdaptersByStableName) {
    pc_kernel(1);
    on_board_uart(0, "00:05");
    // Plugged in the other way round: ttyUSB0 is the FTDI, but the CH340's
    // by-id name sorts first, and that order holds whatever the kernel numbers.
    usb_serial("ttyUSB0", "1-2", ftdi, ftdi_link);
    usb_serial("ttyUSB1", "1-4", ch340, ch340_link);
    const std::vector<SystemPort> expected = {
        {dev("ttyS0"), "ttyS0", "", "", ""},
        {by_id(ch340_link), "ttyUSB1", "", "USB Serial", ""},
        {by_id(ftdi_link), "ttyUSB0", "FTDI", "FT232R USB UART", "A1B2C3"},
    };
    const std::vector<SystemPort> ports = system_ports(root);
    EXPECT_EQ(ports, expected);
    EXPECT_EQ(device_text(port_target(1, ports)), dev("ttyS0"));
    EXPECT_EQ(description(port_target(2, ports).port), "USB Serial");
    EXPECT_EQ(port_target(4, ports).port.device, "");
}

TEST_F(FakeSystem, OnBoardUartsComeInNumberOrderAndOnlyWithAUart) {
    struct Case {
        const char* name;
        std::function<void(FakeSystem&)> build;
        std::vector<std::string> listed;
    };
    const Case cases[] = {
        {"ttyS10 after ttyS2",
         [](FakeSystem& s) {
             s.on_board_uart(10, "00:07");
             s.on_board_uart(2, "00:06");
         },
         {"ttyS2", "ttyS10"}},
        {"type 0 is a placeholder even on a PnP device", [](FakeSystem& s) { s.on_board_uart(0, "00:05", "0"); }, {}},
        {"without a type file: serial8250's ports are placeholders, a PnP one is real",
         [](FakeSystem& s) {
             s.placeholder_uart(1, false);
             s.on_board_uart(0, "00:05", nullptr);
         },
         {"ttyS0"}},
        {"a port without a driver is none",
         [](FakeSystem& s) {
             s.on_board_uart(0, "00:05");
             fs::remove(s.root / "sys/devices/pnp0/00:05/driver");
         },
         {}},
        {"a port without a node in dev cannot be opened",
         [](FakeSystem& s) {
             s.on_board_uart(0, "00:05");
             fs::remove(s.root / "dev/ttyS0");
         },
         {}},
    };
    for (const Case& c : cases) {
        fs::remove_all(root);
        fs::create_directories(root);
        c.build(*this);
        std::vector<std::string> listed;
        for (const SystemPort& port : system_ports(root)) listed.push_back(port.name);
        EXPECT_EQ(listed, c.listed) << c.name;
    }
}

TEST_F(FakeSystem, AcmDevicesAreDescribedAndThoseWithoutStableNameComeLastByName) {
    pc_kernel(0);
    acm("ttyACM0", "1-3", arduino, arduino_link);
    // No udev rules ran for these two: they keep their kernel names.
    acm("ttyACM10", "1-5", {"1d50", "", "", ""}, "");
    acm("ttyACM2", "1-6", {"1d50", "", "", ""}, "");
    const std::vector<SystemPort> ports = system_ports(root);
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[0], (SystemPort{by_id(arduino_link), "ttyACM0", "Arduino (www.arduino.cc)", "0043", "7563331313335"}));
    EXPECT_EQ(ports[1].device, dev("ttyACM2"));
    EXPECT_EQ(ports[2].device, dev("ttyACM10"));
    EXPECT_EQ(device_text(port_target(2, ports)), dev("ttyACM2"));
    EXPECT_EQ(description(ports[2]), "");
}

TEST_F(FakeSystem, AdapterPluggedInAgainIsTheSameComKAndOneAddedLaterIsFound) {
    pc_kernel(0);
    usb_serial("ttyUSB0", "1-2", ftdi, ftdi_link);
    const std::string com1 = port_target(1, system_ports(root)).port.device;
    EXPECT_EQ(port_target(2, system_ports(root)).port.device, "");

    unplug("ttyUSB0", "1-2", ftdi_link);
    EXPECT_EQ(port_target(1, system_ports(root)).port.device, "") << "gone: COM1 reaches nothing";
    // Meanwhile a second adapter came; the first comes back under another kernel number.
    usb_serial("ttyUSB0", "1-4", ch340, ch340_link);
    usb_serial("ttyUSB1", "1-2", ftdi, ftdi_link);
    const std::vector<SystemPort> ports = system_ports(root);
    EXPECT_EQ(port_target(2, ports).port.device, com1) << "the FTDI's by-id name sorts after the CH340's";
    EXPECT_EQ(port_target(2, ports).port.name, "ttyUSB1");
}

TEST_F(FakeSystem, EnvironmentPinsAPortAndADeviceOfTheListKeepsItsDescription) {
    pc_kernel(0);
    usb_serial("ttyUSB0", "1-2", ftdi, ftdi_link);
    const std::vector<SystemPort> ports = system_ports(root);
    ::setenv("ZELK20_COM3", dev("ttyUSB0").c_str(), 1);
    ::setenv("ZELK20_COM1", "/dev/zelk20-no-such-port", 1);

    const PortTarget com3 = port_target(3, ports);
    EXPECT_EQ(device_text(com3), dev("ttyUSB0") + " (ZELK20_COM3)");
    EXPECT_EQ(description(com3.port), "FTDI, FT232R USB UART, A1B2C3");
    const PortTarget com1 = port_target(1, ports);
    EXPECT_EQ(device_text(com1), "/dev/zelk20-no-such-port (ZELK20_COM1)");
    EXPECT_EQ(description(com1.port), "");
    EXPECT_EQ(port_target(2, ports).port.device, "") << "a pin does not shift the list";

    ::setenv("ZELK20_COM1", "", 1);  // set but empty: as if unset
    EXPECT_EQ(port_target(1, ports).port.device, by_id(ftdi_link));
    ::unsetenv("ZELK20_COM1");
    ::unsetenv("ZELK20_COM3");
}

// The machine the tests run on: whatever it has, every listed device exists,
// and each name reaches the device the list gives it.
TEST(SystemPorts, ThisMachinesListHoldsOnlyExistingDevices) {
    const std::vector<SystemPort> ports = system_ports();
    for (const SystemPort& port : ports) {
        EXPECT_TRUE(fs::exists(port.device)) << port.device;
        EXPECT_TRUE(port.device.starts_with("/dev/")) << port.device;
    }
    for (int number = first_port_number; number <= last_port_number; ++number) {
        const std::string name = port_name(number);
        if (std::getenv(("ZELK20_" + name).c_str()) != nullptr) continue;
        const std::size_t k = static_cast<std::size_t>(number) - 1;
        EXPECT_EQ(device_path(name), k < ports.size() ? ports[k].device : "") << name;
    }
}

}  // namespace
}  // namespace zelk20
