#include "link/port_names.h"

#include <cstdlib>
#include <utility>

#include <gtest/gtest.h>

namespace zelk20 {
namespace {

TEST(PortNames, OnlyComOneToElevenExistInAnyCase) {
    for (int k = first_port_number; k <= last_port_number; ++k) {
        EXPECT_EQ(port_number(port_name(k)), k) << k;
    }
    // Windows takes the names in any case; COM10 and COM11 must be reachable as typed.
    const std::pair<const char*, int> any_case[] = {{"com1", 1}, {"com10", 10}, {"Com11", 11}, {"cOM7", 7}};
    for (const auto& [name, number] : any_case) {
        EXPECT_EQ(port_number(name), number) << name;
    }
    for (const char* other : {"COM0", "COM12", "COM01", "com0", "com12", "COM", "com", "COM1 ", "COMx", "C0M1",
                              "/dev/ttyS0", ""}) {
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

    // The variable is the one of the name's usual spelling.
    ::setenv("ZELK20_COM11", "/dev/ttyUSB1", 1);
    EXPECT_EQ(device_path("com11"), "/dev/ttyUSB1");
    ::unsetenv("ZELK20_COM11");
    EXPECT_EQ(device_path("com11"), listed);

    // A path given by hand is opened as it is.
    EXPECT_EQ(device_path("/dev/ttyUSB0"), "/dev/ttyUSB0");
}

}  // namespace
}  // namespace zelk20
