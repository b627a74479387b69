#include "sim/pseudo_terminal.h"

#include <cerrno>
#include <cstdlib>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace zelk20::sim {

namespace {
constexpr int full_line_wait_ms = 100;
}

std::optional<PseudoTerminal> PseudoTerminal::open() {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) return std::nullopt;
    // Non-blocking, so that a program that holds the port and never reads can
    // not stall the module once the line's buffer is full.
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    char name[128] = {};
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || ::ptsname_r(master, name, sizeof name) != 0) {
        ::close(master);
        return std::nullopt;
    }
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0) {
        ::close(master);
        return std::nullopt;
    }
    // Raw from the start: without it the line would echo the module's own bytes
    // back to it and mangle CR and LF before any program has set the port up.
    termios line{};
    if (::tcgetattr(slave, &line) == 0) {
        ::cfmakeraw(&line);
        ::tcsetattr(slave, TCSANOW, &line);
    }
    return PseudoTerminal(master, slave, name);
}

PseudoTerminal::PseudoTerminal(int master, int slave, std::string slave_path)
    : master_(master), slave_(slave), slave_path_(std::move(slave_path)) {}

PseudoTerminal::PseudoTerminal(PseudoTerminal&& other) noexcept
    : master_(std::exchange(other.master_, -1)),
      slave_(std::exchange(other.slave_, -1)),
      slave_path_(std::move(other.slave_path_)) {}

PseudoTerminal& PseudoTerminal::operator=(PseudoTerminal&& other) noexcept {
    if (this != &other) {
        close_all();
        master_ = std::exchange(other.master_, -1);
        slave_ = std::exchange(other.slave_, -1);
        slave_path_ = std::move(other.slave_path_);
    }
    return *this;
}

PseudoTerminal::~PseudoTerminal() { close_all(); }

void PseudoTerminal::close_all() {
    if (slave_ >= 0) ::close(std::exchange(slave_, -1));
    if (master_ >= 0) ::close(std::exchange(master_, -1));
}

void PseudoTerminal::hang_up() { close_all(); }

bool PseudoTerminal::write(std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (master_ >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd entry{master_, POLLOUT, 0};
            if (::poll(&entry, 1, full_line_wait_ms) <= 0) return false;  // nobody reads: the bytes are lost
        } else if (n < 0 && errno != EINTR) {
            return false;
        }
    }
    return done == bytes.size();
}

std::size_t PseudoTerminal::read(std::span<std::uint8_t> buffer, std::chrono::milliseconds wait) {
    if (master_ < 0 || buffer.empty()) return 0;
    pollfd entry{master_, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&entry, 1, static_cast<int>(wait.count()));
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0 || (entry.revents & POLLIN) == 0) return 0;
    const ssize_t n = ::read(master_, buffer.data(), buffer.size());
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

std::size_t PseudoTerminal::unread() const {
    int count = 0;
    if (slave_ < 0 || ::ioctl(slave_, FIONREAD, &count) != 0 || count < 0) return 0;
    return static_cast<std::size_t>(count);
}

void PseudoTerminal::discard_unread() {
    if (slave_ >= 0) ::tcflush(slave_, TCIFLUSH);
}

}  // namespace zelk20::sim
