#include "link/port_names.h"

#include <cstdlib>

#include <gtest/gtest.h>

namespace zelk20 {
namespace {

TEST(PortNames, OnlyComOneToElevenExist) {
    for (int k = first_port_number; k <= last_port_number; ++k) {
        EXPECT_EQ(port_number(port_name(k)), k) << k;
    }
    for (const char* other : {"COM0", "COM12", "COM01", "com1", "COM", "COM1 ", "COMx", "/dev/ttyS0", ""}) {
        EXPECT_EQ(port_number(other), std::nullopt) << other;
    }
}

TEST(PortNames, LinuxDevicesFollowTheEnvironmentOrThePortList) {
    ::unsetenv("ZELK20_COM11");
    const std::string listed = device_path("COM11");  // the system's eleventh port, or none

    ::setenv("ZELK20_COM11", "/dev/serial/by-id/usb-adapter-port0", 1);
    EXPECT_EQ(device_path("COM11"), "/dev/serial/by-id/usb-adapter-port0");
    ::setenv("ZELK20_COM11", "", 1);  // set but empty: as if unset
    EXPECT_EQ(device_path("COM11"), listed);
    ::unsetenv("ZELK20_COM11");

    // A path given by hand is opened as it is.
    EXPECT_EQ(device_path("/dev/ttyUSB0"), "/dev/ttyUSB0");
}

}  // namespace
}  // namespace zelk20
