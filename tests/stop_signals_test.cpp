// zelk20 and zelk20ctl asked to stop by a signal (a kill, Ctrl-C, the hang-up
// at logout), each a separate process on the simulated module's port: they
// end promptly, the port is free again and its lock file is gone.
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "link/uucp_lock.h"
#include "tests/child_program.h"
#include "tests/sim_fixture.h"
#include "tests/temp_folder.h"

namespace zelk20::test {
namespace {

namespace fs = std::filesystem;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

constexpr const char* lock_folders[] = {"/run/lock", "/var/lock"};

bool lock_folder_writable() {
    for (const char* folder : lock_folders) {
        if (::access(folder, W_OK) == 0) return true;
    }
    return false;
}

bool lock_file_exists(const std::string& device) {
    for (const char* folder : lock_folders) {
        if (fs::exists(fs::path(folder) / uucp_lock_name(device))) return true;
    }
    return false;
}

// Whether process `pid` has `device` open, as /proc lists its files.
bool holds(pid_t pid, const std::string& device) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        if (fs::read_symlink(entry.path(), error) == device) return true;
    }
    return false;
}

struct Case {
    std::string name;
    std::string program;
    std::vector<std::string> arguments;
    int signal;
    bool silent_module;  // a load or write that goes on retrying, instead of a port held throughout
    int exit_code;
    std::string message;  // on stderr
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

// Read (FF FA) and write (FF FD) requests among the bytes the module received.
int requests(const std::vector<std::uint8_t>& received) {
    int count = 0;
    for (std::size_t k = 0; k + 1 < received.size(); ++k) {
        count += received[k] == 0xFF && (received[k + 1] == 0xFA || received[k + 1] == 0xFD);
    }
    return count;
}

class StopSignal : public SimulatedModuleTest, public ::testing::WithParamInterface<Case> {
protected:
    void SetUp() override {
        SimulatedModuleTest::SetUp();
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    void TearDown() override {
        ::unsetenv("QT_QPA_PLATFORM");
        SimulatedModuleTest::TearDown();
    }
    TempFolder temp;
};

TEST_P(StopSignal, EndsPromptlyAndReleasesThePortAndItsLockFile) {
    const Case& c = GetParam();
    const std::string& device = module->port_path();
    if (c.silent_module) module->set_faults({.silent = true});
    ChildProgram child(c.program, c.arguments, temp.path());
    ASSERT_TRUE(child.started());
    if (c.silent_module) {
        // Between attempts: the first request went out, more are to come.
        ASSERT_TRUE(wait_until([&] { return !module->received().empty(); }, 10000ms));
    } else {
        ASSERT_TRUE(wait_until([&] { return holds(child.pid(), device); }, 15000ms)) << "never opened the port";
        if (lock_folder_writable()) {
            ASSERT_TRUE(wait_until([&] { return lock_file_exists(device); }));
        }
    }
    const auto signalled = std::chrono::steady_clock::now();
    child.signal(c.signal);
    const ProgramRun run = child.wait(60000ms);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - signalled);
    RecordProperty("ms_to_exit", static_cast<int>(took.count()));

    EXPECT_EQ(run.exit_code, c.exit_code) << run.err;  // -1: it had to be killed
    EXPECT_LT(took, 10000ms);                          // prompt, with room for a busy machine
    EXPECT_TRUE(contains(run.err, c.message)) << run.err;
    if (c.silent_module) {
        EXPECT_LT(requests(module->received()), 13);  // it did not try to the end
    }
    EXPECT_FALSE(lock_file_exists(device));
    SerialPort again = SerialPort::open(device);
    EXPECT_TRUE(again.is_open()) << again.failure_text();
}

std::vector<Case> cases() {
    std::vector<Case> all;
    for (const auto& [signal, signal_name] : {std::pair{SIGTERM, "SIGTERM"}, std::pair{SIGINT, "SIGINT"},
                                              std::pair{SIGHUP, "SIGHUP"}}) {
        const std::string suffix = std::string("_") + signal_name;
        all.push_back({"zelk20" + suffix, ZELK20_PATH, {}, signal, false, 0, ""});
        all.push_back({"zelk20ctl_monitor" + suffix, ZELK20CTL_PATH, {"monitor"}, signal, false, 0, "frames shown"});
        for (const std::vector<std::string>& arguments : {std::vector<std::string>{"read"},
                                                          std::vector<std::string>{"write", "--defaults"}}) {
            all.push_back({"zelk20ctl_" + arguments[0] + suffix, ZELK20CTL_PATH, arguments, signal, true, 128 + signal,
                           "stopped by signal " + std::to_string(signal)});
        }
    }
    return all;
}

INSTANTIATE_TEST_SUITE_P(Programs, StopSignal, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

class ClosedOutput : public SimulatedModuleTest {
protected:
    TempFolder temp;
};

// zelk20ctl monitor into a reader that stops after two lines, as `| head -n 2`
// does: the next line it writes ends it as a stop signal would, with the
// summary, every row in the CSV file and no lock file left.
TEST_F(ClosedOutput, MonitorIntoAReaderThatStoppedEndsCleanly) {
    const fs::path csv = temp.path() / "frames.csv";
    const fs::path err = temp.path() / "monitor-stderr";
    const fs::path code = temp.path() / "monitor-exit";
    const fs::path shown = temp.path() / "head-stdout";
    ChildProgram shell("/bin/sh",
                       {"-c", R"({ "$0" monitor --csv "$1" 2>"$2"; echo $? >"$3"; } | head -n 2 >"$4")", ZELK20CTL_PATH,
                        csv.string(), err.string(), code.string(), shown.string()},
                       temp.path());
    ASSERT_TRUE(shell.started());
    const ProgramRun run = shell.wait(30000ms);
    ASSERT_EQ(run.exit_code, 0) << run.err;

    EXPECT_EQ(file_text(code), "0\n");
    EXPECT_TRUE(contains(file_text(err), "frames shown")) << file_text(err);
    const std::string lines = file_text(shown);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 2) << lines;
    const std::string rows = file_text(csv);
    EXPECT_GE(std::count(rows.begin(), rows.end(), '\n'), 3) << rows;  // the header and at least the two shown
    EXPECT_TRUE(rows.ends_with('\n')) << rows;
    EXPECT_FALSE(lock_file_exists(module->port_path()));
}

// zelk20ctl read --save into a reader that has already gone: the file is saved.
TEST_F(ClosedOutput, ReadIntoAReaderThatHasGoneStillSavesTheFile) {
    const fs::path saved = temp.path() / "module.txt";
    const fs::path code = temp.path() / "read-exit";
    ChildProgram shell("/bin/sh",
                       {"-c", R"({ "$0" read --save "$1" 2>/dev/null; echo $? >"$2"; } | true)",
                        ZELK20CTL_PATH, saved.string(), code.string()},
                       temp.path());
    ASSERT_TRUE(shell.started());
    ASSERT_EQ(shell.wait(30000ms).exit_code, 0);
    EXPECT_EQ(file_text(code), "0\n");
    EXPECT_EQ(fs::file_size(saved), 63u);  // four lines, as every configuration file
    EXPECT_FALSE(lock_file_exists(module->port_path()));
}

}  // namespace
}  // namespace zelk20::test
