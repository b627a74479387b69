#include "link/port_names.h"

#include <charconv>

namespace zelk20 {

namespace {
constexpr std::string_view prefix = "COM";
}

std::string port_name(int number) { return std::string(prefix) + std::to_string(number); }

std::optional<int> port_number(std::string_view name) {
    // Windows takes "com10" for COM10; so do we, on every system.
    if (name.size() < prefix.size()) return std::nullopt;
    for (std::size_t k = 0; k < prefix.size(); ++k) {
        const char upper = name[k] >= 'a' && name[k] <= 'z' ? static_cast<char>(name[k] - 'a' + 'A') : name[k];
        if (upper != prefix[k]) return std::nullopt;
    }
    const std::string_view digits = name.substr(prefix.size());
    if (digits.empty() || digits.size() > 2 || digits.front() == '0') return std::nullopt;
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;
    if (number < first_port_number || number > last_port_number) return std::nullopt;
    return number;
}

}  // namespace zelk20
