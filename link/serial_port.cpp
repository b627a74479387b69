#include "link/serial_port.h"

#include <utility>

// The parts of SerialPort that do not touch the platform; close() and the
// I/O live in the platform files.
namespace zelk20 {

SerialPort::~SerialPort() { close(); }

SerialPort::SerialPort(SerialPort&& other) noexcept
    : handle_(std::exchange(other.handle_, invalid_handle)),
      timeouts_(other.timeouts_),
      failure_(other.failure_),
      failure_text_(std::move(other.failure_text_)),
      device_lost_(other.device_lost_),
      lock_file_(std::move(other.lock_file_)) {}

SerialPort& SerialPort::operator=(SerialPort&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, invalid_handle);
        timeouts_ = other.timeouts_;
        failure_ = other.failure_;
        failure_text_ = std::move(other.failure_text_);
        device_lost_ = other.device_lost_;
        lock_file_ = std::move(other.lock_file_);
    }
    return *this;
}

SerialPort SerialPort::failed(OpenFailure failure, std::string text) {
    SerialPort port;
    port.failure_ = failure;
    port.failure_text_ = std::move(text);
    return port;
}

}  // namespace zelk20
