// Faults a technician meets, over real pseudo-terminals with the simulated
// module: another program holds the port, the port may not be opened, and
// huge, binary or oddly named configuration files.
#include <csignal>
#include <filesystem>
#include <fstream>

#include <sys/wait.h>
#include <pwd.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/temp_folder.h"

#include "link/monitor_link.h"
#include "parameter/config_file.h"
#include "parameter/exchange.h"
#include "tests/sim_fixture.h"

namespace zelk20 {
namespace {

using namespace std::chrono_literals;
using test::SimulatedModuleTest;
namespace fs = std::filesystem;

// Runs `body` in a child process and gives its exit code.
template <typename Body>
int in_child(Body body) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(body());
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

TEST_F(SimulatedModuleTest, PortHeldByAnotherProgramStaysBlankAndTheOtherIsUndisturbed) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t other = ::fork();
    if (other == 0) {
        // The other program: holds the port, then checks it still receives frames.
        SerialPort port = SerialPort::open(module->port_path());
        port.set_line_9600_8n1();
        port.set_timeouts({.read_interval = 50ms, .read_total_constant = 3000ms});
        const char byte = port.is_open() ? 'y' : 'n';
        (void)!::write(ready[1], &byte, 1);
        std::this_thread::sleep_for(1500ms);
        std::array<std::uint8_t, 64> buffer{};
        ::_exit(port.read(buffer) > 0 ? 0 : 1);
    }
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    ASSERT_EQ(held, 'y');

    MonitorLink link;
    std::size_t frames = 0;
    for (int tick = 0; tick < 20; ++tick) {
        frames += link.poll().size();
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_EQ(frames, 0u);
    EXPECT_EQ(link.port().failure(), OpenFailure::in_use);
    EXPECT_TRUE(link.watchdog());
    EXPECT_TRUE(command("COM1", read_request).empty()) << "the exchange finds it held too";

    int status = 0;
    ::waitpid(other, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the other program kept its port";
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST_F(SimulatedModuleTest, PortThatMayNotBeOpenedFailsAtOnceAsPermissionDenied) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as an unprivileged user";
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    ::chmod(module->port_path().c_str(), 0600);  // root's, as a ttyS device without the dialout group
    const int code = in_child([&] {
        if (::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0) return 10;
        const auto start = std::chrono::steady_clock::now();
        MonitorLink link;
        const bool nothing = link.poll().empty();
        if (link.port().failure() != OpenFailure::permission_denied) return 11;
        if (!nothing || !command("COM1", read_request).empty()) return 12;
        if (std::chrono::steady_clock::now() - start > 500ms) return 13;  // nothing hangs
        return 0;
    });
    EXPECT_EQ(code, 0);
}

using FileFaults = test::TempFolderTest;

TEST_F(FileFaults, HugeBinaryAndOddlyNamedFiles) {
    const fs::path huge = folder / "huge.txt";
    {
        std::ofstream file(huge);
    }
    fs::resize_file(huge, std::uintmax_t{1} << 30);  // 1 GiB of NUL bytes, sparse
    const auto start = std::chrono::steady_clock::now();
    const std::string start_of_huge = read_file_start(huge);
    EXPECT_EQ(start_of_huge.size(), config_file_read_limit);
    EXPECT_EQ(read_config_file(start_of_huge).code, FileCheck::frame_length);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);

    const std::string with_nul = std::string("KORVA_ZELK20\r\nCC,CC,\0C,C8,C8,C8;\r\n03,03,18,02;\r\nAE0DFDD12F249\r\n", 62);
    const ConfigFileRead nul_read = read_config_file(with_nul);
    ASSERT_TRUE(nul_read.malformed_field);  // a NUL is no hexadecimal digit

    const fs::path odd = folder / fs::path(u8"Konfiguration Schaltschrank-Ü3 ß.txt");
    ASSERT_TRUE(save_file_safely(odd, write_config_file(maker_defaults)));
    EXPECT_EQ(read_config_file(read_file_start(odd)).code, FileCheck::correct);
}

}  // namespace
}  // namespace zelk20
