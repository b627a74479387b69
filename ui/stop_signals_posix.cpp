// A signal handler may do next to nothing, so it writes the signal's number
// into a socket pair whose other end the event loop watches: the way Qt
// itself advises for Unix signals.
#include "ui/stop_signals.h"

#include <array>
#include <cerrno>

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>

namespace zelk20::ui {

namespace {

constexpr std::array<int, 3> stop_signals = {SIGTERM, SIGINT, SIGHUP};

// [0] read by the event loop, [1] written by the handler.
std::array<int, 2> signal_socket = {-1, -1};

extern "C" void forward_stop_signal(int number) {
    const int saved_errno = errno;
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = ::write(signal_socket[1], &byte, 1);
    errno = saved_errno;
}

}  // namespace

void end_on_stop_signals() {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signal_socket.data()) != 0) return;
    ::fcntl(signal_socket[1], F_SETFL, O_NONBLOCK);  // a burst of signals never blocks the handler
    auto* notifier = new QSocketNotifier(signal_socket[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(signal_socket[0], &byte, 1);
        // exit(), not quit(): quit() first closes the windows, and closing the
        // parameter window would hand the port back to the monitor and reopen it.
        // exit() also ends the loop of a dialog that is open.
        QCoreApplication::exit(0);
    });
    struct sigaction action {};
    action.sa_handler = forward_stop_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : stop_signals) ::sigaction(number, &action, nullptr);
}

}  // namespace zelk20::ui
