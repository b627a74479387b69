#pragma once

// Maps port names to devices for a test, through the ZELK20_COMk variables
// the program honours, and puts every variable it touched back as it found
// it when it goes: one object per test or fixture, instead of setenv and
// unsetenv pairs that a failing assertion would skip.
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace zelk20::test {

class PortMapping {
public:
    PortMapping() = default;
    PortMapping(int number, const std::string& device) { map(number, device); }
    PortMapping(const PortMapping&) = delete;
    PortMapping& operator=(const PortMapping&) = delete;
    ~PortMapping() { restore(); }

    // COMk opens `device`.
    void map(int number, const std::string& device) { ::setenv(remember(number).c_str(), device.c_str(), 1); }
    // COMk reaches what the system's port list gives it.
    void unmap(int number) { ::unsetenv(remember(number).c_str()); }

    // Every variable touched back as it was.
    void restore() {
        for (const auto& [variable, before] : before_) {
            if (before) {
                ::setenv(variable.c_str(), before->c_str(), 1);
            } else {
                ::unsetenv(variable.c_str());
            }
        }
        before_.clear();
    }

private:
    std::string remember(int number) {
        const std::string variable = "ZELK20_COM" + std::to_string(number);
        if (!before_.contains(variable)) {
            const char* value = std::getenv(variable.c_str());
            before_[variable] = value != nullptr ? std::optional<std::string>(value) : std::nullopt;
        }
        return variable;
    }

    std::map<std::string, std::optional<std::string>> before_;
};

}  // namespace zelk20::test
