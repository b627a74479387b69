// Win32 back end of SerialPort: the kernel32 communication calls, used
// synchronously (no overlapped I/O), the time-outs handed to the driver as a
// COMMTIMEOUTS record.
#include "link/serial_port.h"

#include <string>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace zelk20 {
namespace {

HANDLE native(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

DWORD to_dword(std::chrono::milliseconds value) { return static_cast<DWORD>(value.count()); }

std::string system_message(DWORD error) {
    char* text = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string message = length != 0 && text != nullptr ? std::string(text, length) : std::string();
    if (text != nullptr) ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
    return message.empty() ? "error " + std::to_string(error) : message;
}

OpenFailure failure_from_error(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return OpenFailure::absent;
    case ERROR_ACCESS_DENIED:  // what Windows answers for a port another program holds
    case ERROR_SHARING_VIOLATION:
        return OpenFailure::in_use;
    default:
        return OpenFailure::other;
    }
}

// A failed read is not always a lost device. Where the driver reports with
// abort-on-error (the DCB's fAbortOnError, which the line settings leave as
// the driver has it), a framing, parity, overrun or break error on the line
// fails this read and every later one until the error is acknowledged with
// ClearCommError. True when the failure is now acknowledged and the port
// goes on; false when the device is gone (an unplugged USB adapter: its
// driver answers with one of the errors below, and ClearCommError fails too).
bool line_error_acknowledged(HANDLE handle, DWORD read_error) {
    switch (read_error) {
    case ERROR_DEVICE_REMOVED:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_BAD_COMMAND:
    case ERROR_GEN_FAILURE:
    case ERROR_INVALID_HANDLE:
    case ERROR_ACCESS_DENIED:
    case ERROR_FILE_NOT_FOUND:
        return false;
    default:
        break;
    }
    // A driver that still answers has its device: whatever failed the read
    // is acknowledged now, and the next read goes on.
    DWORD line_errors = 0;
    return ::ClearCommError(handle, &line_errors, nullptr) != 0;
}

}  // namespace

SerialPort SerialPort::open(std::string_view device_path) {
    const std::string path(device_path);
    HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0 /* exclusive */,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        return failed(failure_from_error(error), system_message(error));
    }
    return SerialPort(reinterpret_cast<std::intptr_t>(handle));
}

void SerialPort::close() {
    if (!is_open()) return;
    ::CloseHandle(native(handle_));
    handle_ = invalid_handle;
}

void SerialPort::request_queue_sizes(std::size_t input_bytes, std::size_t output_bytes) {
    if (!is_open()) return;
    ::SetupComm(native(handle_), static_cast<DWORD>(input_bytes), static_cast<DWORD>(output_bytes));
}

void SerialPort::set_line_9600_8n1() {
    if (!is_open()) return;
    DCB line{};
    line.DCBlength = sizeof(line);
    if (!::GetCommState(native(handle_), &line)) return;
    line.BaudRate = CBR_9600;
    line.ByteSize = 8;
    line.Parity = NOPARITY;
    line.StopBits = ONESTOPBIT;
    ::SetCommState(native(handle_), &line);
}

void SerialPort::set_timeouts(const SerialTimeouts& timeouts) {
    if (!is_open()) return;
    timeouts_ = timeouts;
    COMMTIMEOUTS record{};
    record.ReadIntervalTimeout = to_dword(timeouts.read_interval);
    record.ReadTotalTimeoutMultiplier = to_dword(timeouts.read_total_multiplier);
    record.ReadTotalTimeoutConstant = to_dword(timeouts.read_total_constant);
    record.WriteTotalTimeoutMultiplier = to_dword(timeouts.write_total_multiplier);
    record.WriteTotalTimeoutConstant = to_dword(timeouts.write_total_constant);
    ::SetCommTimeouts(native(handle_), &record);
}

std::size_t SerialPort::write(std::span<const std::uint8_t> bytes) {
    if (!is_open() || bytes.empty()) return 0;
    DWORD written = 0;  // stays what the driver managed when the write fails
    ::WriteFile(native(handle_), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return written;
}

std::size_t SerialPort::read(std::span<std::uint8_t> buffer) {
    if (!is_open() || buffer.empty()) return 0;
    DWORD got = 0;
    // A time-out is no failure: the read returns what came in.
    if (!::ReadFile(native(handle_), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) &&
        !line_error_acknowledged(native(handle_), ::GetLastError())) {
        device_lost_ = true;
        close();  // the handle goes with the device, so that a replugged one can be opened
    }
    return got;
}

}  // namespace zelk20
