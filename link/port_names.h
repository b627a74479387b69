#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelk20 {

// The only port names the system knows: "COM1" to "COM11".
inline constexpr int first_port_number = 1;
inline constexpr int last_port_number = 11;

// "COM" followed by `number`; `number` is 1 to 11.
std::string port_name(int number);

// 1 to 11 for "COM1" to "COM11" in any case ("com10", "Com10"); nothing for
// any other text. port_name() of the number is the name's usual spelling.
std::optional<int> port_number(std::string_view name);

// The device a port name opens. A name that is not one of the eleven (a
// device path given by hand) is returned as it is. On Linux COMk is the path
// in the environment variable ZELK20_COMk when that is set, else the k-th
// port of the system's port list (port_list.h), listed afresh at every call;
// empty when COMk reaches no device, which then opens as an absent one. On
// Windows it is \\.\COMk, the device-namespace form that COM10 and COM11 need.
std::string device_path(std::string_view name);

}  // namespace zelk20
