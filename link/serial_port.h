#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zelk20 {

// The five values of the Win32 COMMTIMEOUTS record, with their Win32 meaning.
// A zero leaves that bound out; `maxdword` stands for MAXDWORD where Win32
// gives it a special meaning (see SerialPort::read).
struct SerialTimeouts {
    using ms = std::chrono::milliseconds;
    static constexpr ms maxdword{0xFFFFFFFFu};

    ms read_interval{0};           // longest gap between two received bytes
    ms read_total_multiplier{0};   // per byte asked for
    ms read_total_constant{0};
    ms write_total_multiplier{0};  // per byte to write
    ms write_total_constant{0};

    friend bool operator==(const SerialTimeouts&, const SerialTimeouts&) = default;
};

// Why an open failed, as far as the system tells.
enum class OpenFailure {
    none,
    absent,             // no such device
    permission_denied,  // the user may not open it
    in_use,             // another program holds it
    other,
};

// One serial connection, opened exclusively for reading and writing. Move-only;
// the destructor closes it. A port whose open failed (or a default-constructed
// one) accepts every call and does nothing: writes write nothing and reads
// return 0 bytes at once. Nothing here throws.
class SerialPort {
public:
    SerialPort() = default;
    ~SerialPort();
    SerialPort(SerialPort&& other) noexcept;
    SerialPort& operator=(SerialPort&& other) noexcept;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens the device at `device_path` (see device_path() for port names).
    static SerialPort open(std::string_view device_path);

    bool is_open() const { return handle_ != invalid_handle; }
    OpenFailure failure() const { return failure_; }
    // The system's own words for a failed open; empty when open.
    const std::string& failure_text() const { return failure_text_; }

    // Asks the driver for receive and send queues of these sizes.
    void request_queue_sizes(std::size_t input_bytes, std::size_t output_bytes);
    // 9600 baud, 8 data bits, no parity, 1 stop bit; the other settings stay
    // as the driver reports them.
    void set_line_9600_8n1();
    void set_timeouts(const SerialTimeouts& timeouts);

    // Writes `bytes`, bounded by the write total time-out; returns the count written.
    std::size_t write(std::span<const std::uint8_t> bytes);

    // Reads up to buffer.size() bytes. Returns when that many are in; when the
    // read interval passes after a received byte without another; or when the
    // read total (multiplier x size + constant) passes since the read began.
    // On a silent line it returns 0 after the total. With both totals zero only
    // the first two end it. Win32 special cases: interval `maxdword` with both
    // totals zero returns at once with what is there; interval and multiplier
    // `maxdword` with a constant returns as soon as any byte is in, else after
    // the constant. A vanished device ends the read with the bytes it has.
    std::size_t read(std::span<std::uint8_t> buffer);

    // True once a read found the device gone (hang-up, EIO, ENXIO, a failed
    // Win32 read that is not a line error the driver aborted on); the port
    // has then closed itself, lock file and all, and only ever reads nothing.
    bool device_lost() const { return device_lost_; }

    void close();

private:
    using Handle = std::intptr_t;  // a file descriptor, or a Win32 HANDLE
    static constexpr Handle invalid_handle = -1;

    explicit SerialPort(Handle handle) : handle_(handle) {}
    static SerialPort failed(OpenFailure failure, std::string text);

    Handle handle_ = invalid_handle;
    SerialTimeouts timeouts_{};
    OpenFailure failure_ = OpenFailure::none;
    std::string failure_text_;
    bool device_lost_ = false;
    std::string lock_file_;  // a UUCP lock file of ours, removed at close (POSIX)
};

}  // namespace zelk20
