// POSIX back end of SerialPort: termios in raw mode, exclusive through flock()
// and TIOCEXCL, reads as a poll loop that ends the way a Win32 ReadFile ends
// under the same COMMTIMEOUTS.
#include "link/serial_port.h"

#include "link/uucp_lock.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace zelk20 {
namespace {

using Clock = std::chrono::steady_clock;

std::string system_message(int error) { return std::system_category().message(error); }

OpenFailure failure_from_errno(int error) {
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
        return OpenFailure::absent;
    case EACCES:
    case EPERM:
    case EROFS:
        return OpenFailure::permission_denied;
    case EBUSY:
    case EWOULDBLOCK:
        return OpenFailure::in_use;
    default:
        return OpenFailure::other;
    }
}

// Waits until `fd` is ready for `events` or `deadline` passes (none: no
// limit). Returns the poll result events, or 0 when the wait timed out or
// failed; EINTR is retried with the remaining time.
short wait_for(int fd, short events, std::optional<Clock::time_point> deadline) {
    for (;;) {
        timespec limit{};
        timespec* limit_ptr = nullptr;
        if (deadline) {
            const auto left = *deadline - Clock::now();
            if (left <= Clock::duration::zero()) return 0;
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
            limit.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
            limit.tv_nsec = static_cast<long>(ns % 1'000'000'000);
            limit_ptr = &limit;
        }
        pollfd entry{fd, events, 0};
        const int ready = ::ppoll(&entry, 1, limit_ptr, nullptr);
        if (ready > 0) return entry.revents;
        if (ready == 0) return 0;
        if (errno != EINTR) return 0;
    }
}

constexpr short hang_up_events = POLLHUP | POLLERR | POLLNVAL;

}  // namespace

SerialPort SerialPort::open(std::string_view device_path) {
    const std::string path(device_path);
    // A port name that reaches no device (device_path gave nothing) is absent.
    if (path.empty()) return failed(OpenFailure::absent, system_message(ENOENT));
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        return failed(failure_from_errno(error), system_message(error));
    }
    // TIOCEXCL keeps out later opens by ordinary users but not by root; the
    // advisory lock keeps out every program that locks as well, ourselves included.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        const bool busy = error == EWOULDBLOCK;
        return failed(busy ? OpenFailure::in_use : failure_from_errno(error),
                      system_message(busy ? EBUSY : error));
    }
    // Programs that know only UUCP lock files (minicom, say) keep theirs.
    std::string lock_file;
    if (take_uucp_lock(path, lock_file) == UucpLockResult::busy) {
        ::close(fd);
        return failed(OpenFailure::in_use, system_message(EBUSY) + " (locked by " + uucp_lock_name(path) + ")");
    }
    ::ioctl(fd, TIOCEXCL);
    SerialPort port(fd);
    port.lock_file_ = std::move(lock_file);
    return port;
}

void SerialPort::close() {
    if (!is_open()) return;
    const int fd = static_cast<int>(handle_);
    // A pseudo-terminal whose other side stays open keeps the exclusive flag
    // past our close; clear it so that the next open (ours) is not refused.
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);
    handle_ = invalid_handle;
    release_uucp_lock(lock_file_);
    lock_file_.clear();
}

void SerialPort::request_queue_sizes(std::size_t, std::size_t) {
    // The tty layer's buffers have a fixed size; POSIX offers no counterpart
    // to the driver queue sizes a Win32 port is asked for.
}

void SerialPort::set_line_9600_8n1() {
    if (!is_open()) return;
    const int fd = static_cast<int>(handle_);
    termios line{};
    if (::tcgetattr(fd, &line) != 0) return;
    // Raw mode: the module's bytes pass unchanged, with no echo, no line
    // editing and no software flow control (which would swallow 0x11 and
    // 0x13). A Win32 port is binary by nature; on a tty it has to be asked for.
    line.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                           ICRNL | IXON | IXOFF | IXANY | INPCK);
    line.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    line.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    // 8N1. CLOCAL: like a Win32 port, ignore the modem lines instead of
    // hanging up on a missing carrier. Hardware flow control stays as found.
    line.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
    line.c_cflag |= CS8 | CREAD | CLOCAL;
    // One byte wakes a read; with O_NONBLOCK an empty line gives EAGAIN and a
    // hung-up one gives 0, so the two can be told apart.
    line.c_cc[VMIN] = 1;
    line.c_cc[VTIME] = 0;
    ::cfsetispeed(&line, B9600);
    ::cfsetospeed(&line, B9600);
    ::tcsetattr(fd, TCSANOW, &line);
}

void SerialPort::set_timeouts(const SerialTimeouts& timeouts) {
    if (is_open()) timeouts_ = timeouts;
}

std::size_t SerialPort::write(std::span<const std::uint8_t> bytes) {
    if (!is_open() || bytes.empty()) return 0;
    const int fd = static_cast<int>(handle_);
    std::optional<Clock::time_point> deadline;
    if (timeouts_.write_total_multiplier.count() != 0 || timeouts_.write_total_constant.count() != 0) {
        const auto count = static_cast<std::chrono::milliseconds::rep>(bytes.size());
        deadline = Clock::now() + timeouts_.write_total_multiplier * count + timeouts_.write_total_constant;
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) break;
        const short ready = wait_for(fd, POLLOUT, deadline);
        if ((ready & POLLOUT) == 0) break;  // time-out, or the device is gone
    }
    return written;
}

namespace {

// How a read ends under the time-outs, the Win32 special cases included.
struct ReadEnd {
    bool at_once = false;          // with what is there, without waiting
    bool at_first_bytes = false;   // as soon as any byte is in
    std::optional<std::chrono::milliseconds> interval;  // after a byte without another
    std::optional<Clock::time_point> deadline;          // the read total, from the start

    // The end of a wait for more, with or without bytes in so far.
    std::optional<Clock::time_point> wait_until(bool any, Clock::time_point last_byte) const {
        if (!interval || !any) return deadline;
        const auto interval_end = last_byte + *interval;
        return deadline ? std::min(*deadline, interval_end) : interval_end;
    }
};

ReadEnd read_end(const SerialTimeouts& t, std::size_t count, Clock::time_point start) {
    constexpr auto maxdword = SerialTimeouts::maxdword;
    ReadEnd end;
    end.at_once = t.read_interval == maxdword && t.read_total_multiplier.count() == 0 &&
                  t.read_total_constant.count() == 0;
    end.at_first_bytes = t.read_interval == maxdword && t.read_total_multiplier == maxdword &&
                         t.read_total_constant.count() != 0 && t.read_total_constant != maxdword;
    if (end.at_first_bytes) {
        end.deadline = start + t.read_total_constant;
    } else if (t.read_total_multiplier.count() != 0 || t.read_total_constant.count() != 0) {
        end.deadline = start + t.read_total_multiplier * static_cast<std::chrono::milliseconds::rep>(count) +
                       t.read_total_constant;
    }
    if (t.read_interval.count() != 0 && !end.at_first_bytes) end.interval = t.read_interval;
    return end;
}

}  // namespace

std::size_t SerialPort::read(std::span<std::uint8_t> buffer) {
    if (!is_open() || buffer.empty()) return 0;
    const int fd = static_cast<int>(handle_);
    const ReadEnd end = read_end(timeouts_, buffer.size(), Clock::now());

    std::size_t got = 0;
    Clock::time_point last_byte{};
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data() + got, buffer.size() - got);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
            last_byte = Clock::now();
            if (got == buffer.size() || end.at_first_bytes) break;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        // A hang-up reads nothing; EIO or ENXIO: the device is gone.
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
            device_lost_ = true;
            break;
        }
        if (end.at_once) break;
        const short ready = wait_for(fd, POLLIN, end.wait_until(got > 0, last_byte));
        if (ready == 0) break;                                          // a time-out ended the read
        if ((ready & POLLIN) == 0 && (ready & hang_up_events) != 0) {  // gone, nothing left
            device_lost_ = true;
            break;
        }
    }
    // A device that has gone gives back its handle and lock at once, so that
    // one that comes back under the same name (a replugged adapter, a reused
    // pseudo-terminal) is free for whoever opens it next, ourselves included.
    if (device_lost_) close();
    return got;
}

}  // namespace zelk20
