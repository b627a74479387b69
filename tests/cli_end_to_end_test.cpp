// zelk20ctl as a technician runs it: a separate process on a pseudo-terminal,
// against the simulated module or against frames the test sends itself.
#include <algorithm>
#include <atomic>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "cli/report.h"
#include "link/port_list.h"
#include "link/status_frame.h"
#include "parameter/config_file.h"
#include "sim/pseudo_terminal.h"
#include "tests/child_program.h"
#include "tests/sim_fixture.h"
#include "tests/temp_folder.h"
#include "tests/test_frames.h"

namespace zelk20::test {
namespace {

namespace fs = std::filesystem;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// zelk20ctl against the simulated module (COM1 is mapped to it).
class Zelk20ctl : public SimulatedModuleTest {
protected:
    ProgramRun ctl(const std::vector<std::string>& arguments) { return run_program(ZELK20CTL_PATH, arguments, temp.path()); }
    void write_file(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

    TempFolder temp;
};

// Streams a fixed cycle of frames into a pseudo-terminal, one every 40 ms,
// as a module would, until it is destroyed.
class FrameStream {
public:
    FrameStream(sim::PseudoTerminal& line, std::vector<Bytes> cycle)
        : thread_([this, &line, cycle = std::move(cycle)] {
              for (std::size_t n = 0; !stop_; ++n) {
                  line.write(cycle[n % cycle.size()]);
                  std::this_thread::sleep_for(40ms);
              }
          }) {}
    ~FrameStream() {
        stop_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

std::vector<std::string> csv_fields(const std::string& row) {
    std::vector<std::string> fields;
    std::istringstream stream(row);
    for (std::string field; std::getline(stream, field, ',');) fields.push_back(field);
    return fields;
}

TEST(Zelk20ctlMonitor, LinesAreTheDecodersTextsAndTheCsvParsesBackToTheFramesSent) {
    auto line = sim::PseudoTerminal::open();
    ASSERT_TRUE(line);
    const Bytes alarm_frame = typical_frame(0x81);
    const Bytes other_frame = status_frame(0x04, {2051, 999, 1000, 5, 0, 65535, 2000, 990, 100, 7, 1, 12345},
                                           {250, 200, 221, 10, 15, 210});
    Bytes refused = typical_frame(0x00);
    refused[33] ^= 0x01;  // a wrong check byte
    FrameStream stream(*line, {alarm_frame, refused, other_frame});

    TempFolder temp;
    const fs::path csv = temp.path() / "log.csv";
    const ProgramRun run = run_program(ZELK20CTL_PATH,
                                       {"monitor", "--port", line->slave_path(), "--frames", "6", "--csv", csv.string()},
                                       temp.path());
    ASSERT_EQ(run.exit_code, 0) << run.err;

    struct Sent {
        StatusValues values;
        std::string line;
    };
    std::vector<Sent> sent;
    for (const Bytes& frame : {alarm_frame, other_frame}) {
        const StatusValues values = accepted_status_values(frame).value();
        sent.push_back({values, cli::status_line(status_display(values), Language::english)});
    }
    const std::vector<std::string> lines = lines_of(run.out);
    ASSERT_EQ(lines.size(), 6u) << run.out;
    for (const std::string& shown : lines) {
        EXPECT_TRUE(shown == sent[0].line || shown == sent[1].line) << shown;
    }
    EXPECT_TRUE(contains(run.err, "6 frames shown")) << run.err;
    EXPECT_FALSE(contains(run.err, ", 0 refused")) << run.err;

    const std::vector<std::string> rows = lines_of(file_text(csv));
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0], cli::csv_header());
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const std::vector<std::string> fields = csv_fields(rows[r]);
        ASSERT_EQ(fields.size(), 1 + value_label_count + 8) << rows[r];
        EXPECT_EQ(fields[0].size(), std::string("2026-12-10T14:05:09.042+01:00").size()) << fields[0];
        const std::string shown = lines[r - 1];
        const StatusValues& values = (shown == sent[0].line ? sent[0] : sent[1]).values;
        for (std::size_t k = 0; k < status_layout::measured_count; ++k) {
            EXPECT_NEAR(std::stod(fields[1 + k]), values.measured_hundredths[k] / 100.0, 1e-9) << rows[r];
        }
        for (std::size_t k = 0; k < status_layout::threshold_count; ++k) {
            EXPECT_NEAR(std::stod(fields[1 + status_layout::measured_count + k]), values.threshold_tenths[k] / 10.0,
                        1e-9);
        }
        for (unsigned bit = 0; bit < 8; ++bit) {
            EXPECT_EQ(fields[1 + value_label_count + bit], (values.alarm >> bit & 1) ? "1" : "0") << rows[r];
        }
    }
}

TEST_F(Zelk20ctl, MonitorOnCom1ShowsTheModulesFrames) {
    const ProgramRun run = ctl({"monitor", "--frames", "3"});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const std::vector<std::string> lines = lines_of(run.out);
    ASSERT_EQ(lines.size(), 3u) << run.out;
    for (const std::string& shown : lines) EXPECT_EQ(shown.rfind("In1: ", 0), 0u) << shown;
}

TEST_F(Zelk20ctl, MonitorSaysOnceThatTheLineIsSilentAndEndsAfterItsSeconds) {
    module->set_faults({.silent = true});
    const ProgramRun run = ctl({"monitor", "--seconds", "2.5", "--lang", "de"});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(lines_of(run.out), std::vector<std::string>{"seit einer Sekunde keine Daten vom Modul"});
    EXPECT_TRUE(contains(run.err, "0 Rahmen angezeigt, 0 verworfen")) << run.err;
    EXPECT_GE(run.took, 2400ms);
    EXPECT_LT(run.took, 15000ms);
}

// A long log survives a pulled cable: the adapter's name (a link, as
// /dev/serial/by-id gives) points at a new device once it is back.
TEST(Zelk20ctlMonitor, GoesOnLoggingWhenTheAdapterComesBack) {
    TempFolder temp;
    const fs::path name = temp.path() / "ttyUSB0";
    auto first = sim::SimulatedModule::start();
    ASSERT_TRUE(first);
    fs::create_symlink(first->port_path(), name);
    // Long enough for a busy machine; Ctrl-C ends it once the frames are back.
    ChildProgram ctl(ZELK20CTL_PATH, {"monitor", "--port", name.string(), "--seconds", "60"}, temp.path());
    ASSERT_TRUE(wait_until([&] { return lines_of(file_text(temp.path() / "stdout")).size() >= 2; }));
    first->unplug();
    // udev takes the by-id link away with the adapter; left standing, it would
    // point at a pseudo-terminal number that another test may get next.
    fs::remove(name);
    ASSERT_TRUE(wait_until([&] { return contains(file_text(temp.path() / "stdout"), "no data from the module"); }));

    auto second = sim::SimulatedModule::start();
    ASSERT_TRUE(second);
    fs::create_symlink(second->port_path(), name);
    const std::string silence = "no data from the module for a second";
    auto frames_after_silence = [&silence](const std::vector<std::string>& lines) {
        const auto from = std::find(lines.begin(), lines.end(), silence);
        return std::count_if(from, lines.end(), [](const std::string& l) { return l.rfind("In1: ", 0) == 0; });
    };
    EXPECT_TRUE(wait_until([&] { return frames_after_silence(lines_of(file_text(temp.path() / "stdout"))) >= 3; },
                           20000ms));
    ctl.signal(SIGINT);
    const ProgramRun run = ctl.wait(15000ms);
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const std::vector<std::string> lines = lines_of(run.out);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), silence), 1) << run.out;
    EXPECT_GE(frames_after_silence(lines), 3) << run.out;
}

TEST_F(Zelk20ctl, ReadPrintsAndSavesTheModulesBytesInTheWindowsFileFormat) {
    const ParameterSet held = {0xFA, 0xC8, 0xC9, 0x0A, 0xD2, 0x97, 0x05, 0x01, 0x98, 0x02};
    module->set_parameters(held);
    const fs::path file = temp.path() / "module.cfg";
    const ProgramRun run = ctl({"read", "--save", file.string()});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_TRUE(contains(run.out, "threshold I[A]: In1 1,0 In2 21,0 Out 15,1\n")) << run.out;
    EXPECT_TRUE(contains(run.out, "port 2: overcurrent I1, overcurrent I2, hardware fault; output inverted\n"));
    EXPECT_TRUE(contains(run.err, "transmission successful!"));

    EXPECT_EQ(file_text(file), "KORVA_ZELK20\r\nFA,C8,C9,0A,D2,97;\r\n05,01,98,02;\r\nAE0DFDD12F249\r\n");
    const ConfigFileRead read = read_config_file(file_text(file));
    EXPECT_EQ(read.code, FileCheck::correct);
    ParameterSet from_file{};
    for (const ConfigField& field : read.fields) from_file[field.byte] = field.value;
    EXPECT_EQ(from_file, held);
}

TEST_F(Zelk20ctl, ReadThatCannotSaveStillPrintsAndExitsTwo) {
    const ProgramRun run = ctl({"read", "--save", (temp.path() / "no-such-folder" / "module.cfg").string()});
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_TRUE(contains(run.out, "ZELK20-Version: V1.3"));
    EXPECT_TRUE(contains(run.err, "file could not be saved")) << run.err;
}

TEST_F(Zelk20ctl, WriteWithVerifyLeavesTheModuleHoldingWhatTheWindowWouldSend) {
    struct Case {
        const char* name;
        std::vector<std::string> source;  // the file's text, or --defaults
        ParameterSet held;
    };
    const Case cases[] = {
        {"a file as the window saves it",
         {"KORVA_ZELK20\r\nFA,C8,C9,0A,D2,96;\r\n05,01,98,02;\r\nAE0DFDD12F249\r\n"},
         {0xFA, 0xC8, 0xC9, 0x0A, 0xD2, 0x96, 0x05, 0x01, 0x98, 0x02}},
        {"a current between two steps and bits without a box",
         {"KORVA_ZELK20\nCC,CC,CC,C8,C8,97;\n43,03,58,03;\nAE0DFDD12F249\n"},
         {0xCC, 0xCC, 0xCC, 0xC8, 0xC8, 0x96, 0x03, 0x03, 0x18, 0x02}},
        {"the maker's defaults", {}, maker_defaults},
    };
    for (const Case& c : cases) {
        module->set_parameters({0xC8, 0xC8, 0xC8, 0x0A, 0x0A, 0x0A, 0, 0, 0, 0});
        std::vector<std::string> arguments = {"write", "--verify"};
        if (c.source.empty()) {
            arguments.push_back("--defaults");
        } else {
            write_file(temp.path() / "module.cfg", c.source[0]);
            arguments.push_back((temp.path() / "module.cfg").string());
        }
        const ProgramRun run = ctl(arguments);
        EXPECT_EQ(run.exit_code, 0) << c.name << ": " << run.err;
        EXPECT_EQ(lines_of(run.out), std::vector<std::string>{"verified: the module holds the configuration written"})
            << c.name;
        EXPECT_EQ(module->parameters(), c.held) << c.name;
    }
}

TEST_F(Zelk20ctl, FaultyFileIsRefusedWithItsCodeAndNothingIsSent) {
    struct Case {
        const char* name;
        const char* text;  // nullptr: no such file
        const char* message;
    };
    const Case cases[] = {
        {"threshold line too short", "KORVA_ZELK20\r\nCC,CC,CC,C8,C8;\r\n03,03,18,02;\r\nAE0DFDD12F249\r\n",
         "file error C2"},
        {"header wrong", "KORVA_ZELK21\r\nCC,CC,CC,C8,C8,C8;\r\n03,03,18,02;\r\nAE0DFDD12F249\r\n", "file error C6"},
        {"no such file", nullptr, "file error C7"},
        {"not hexadecimal", "KORVA_ZELK20\r\nCC,ZZ,CC,C8,C8,C8;\r\n03,03,18,02;\r\nAE0DFDD12F249\r\n", "ZZ"},
        {"voltage outside its list", "KORVA_ZELK20\r\n19,CC,CC,C8,C8,C8;\r\n03,03,18,02;\r\nAE0DFDD12F249\r\n",
         "threshold 2,5 (parameter byte 0) is outside its list; nothing sent"},
    };
    for (const Case& c : cases) {
        const fs::path file = temp.path() / "faulty.cfg";
        fs::remove(file);
        if (c.text) write_file(file, c.text);
        const ProgramRun run = ctl({"write", file.string()});
        EXPECT_EQ(run.exit_code, 2) << c.name;
        EXPECT_TRUE(contains(run.err, c.message)) << c.name << ": " << run.err;
    }
    EXPECT_TRUE(module->received().empty());
    EXPECT_EQ(module->parameters(), maker_defaults);
}

TEST_F(Zelk20ctl, PortThatCannotBeOpenedExitsThreeAtOnceWithTheReason) {
    const ProgramRun absent = ctl({"read", "--port", (temp.path() / "ttyUSB9").string()});
    EXPECT_EQ(absent.exit_code, 3);
    EXPECT_TRUE(contains(absent.err, "no such device")) << absent.err;
    EXPECT_LT(absent.took, 2000ms);  // thirteen attempts would take 4.8 s

    // Another program holds the port: it keeps it, undisturbed.
    SerialPort other = SerialPort::open(module->port_path());
    ASSERT_TRUE(other.is_open());
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"write", "--defaults"}, std::vector<std::string>{"monitor", "--frames", "1"}}) {
        const ProgramRun in_use = ctl(arguments);
        EXPECT_EQ(in_use.exit_code, 3) << arguments[0];
        EXPECT_TRUE(contains(in_use.err, "cannot open COM1 (" + module->port_path() + "): another program"))
            << in_use.err;
    }
    EXPECT_TRUE(other.is_open());
    EXPECT_TRUE(module->received().empty());
}

// This machine's ports as they are, with COM1 pinned to the simulated module.
TEST_F(Zelk20ctl, PortsListsElevenNamesWithExistingDevicesOrNone) {
    for (const char* language : {"en", "de"}) {
        const ProgramRun run = ctl({"ports", "--lang", language});
        ASSERT_EQ(run.exit_code, 0) << run.err;
        EXPECT_EQ(run.err, "");
        const std::vector<std::string> lines = lines_of(run.out);
        ASSERT_EQ(lines.size(), 11u) << run.out;
        EXPECT_EQ(lines[0], "COM1   " + module->port_path() + " (ZELK20_COM1)");
        const std::string none = std::string(language) == "de" ? "kein Gerät" : "no device";
        for (std::size_t k = 1; k < lines.size(); ++k) {
            const std::string name = "COM" + std::to_string(k + 1);
            ASSERT_EQ(lines[k].rfind(name + " ", 0), 0u) << lines[k];
            const std::size_t start = lines[k].find_first_not_of(' ', name.size());
            const std::string rest = lines[k].substr(start);
            if (rest == none) continue;
            const std::string device = rest.substr(0, rest.find_first_of(" :"));
            EXPECT_TRUE(fs::exists(device)) << lines[k];
        }
    }
}

TEST_F(Zelk20ctl, PortBeyondTheSystemsListIsAbsent) {
    ports.unmap(11);
    if (system_ports().size() >= 11) GTEST_SKIP() << "this machine has eleven serial ports";
    const ProgramRun run = ctl({"read", "--port", "COM11"});
    EXPECT_EQ(run.exit_code, 3);
    EXPECT_TRUE(contains(run.err, "cannot open COM11: no such device")) << run.err;
    EXPECT_LT(run.took, 2000ms);
}

TEST_F(Zelk20ctl, SilentModuleExitsOneAfterAllAttempts) {
    module->set_faults({.silent = true});
    const ProgramRun run = ctl({"read", "--lang", "de"});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(contains(run.err, "Kommunikation fehlgeschlagen! (13 Versuche)")) << run.err;
    EXPECT_GE(run.took, 4500ms);  // twelve retries 400 ms apart
    EXPECT_EQ(run.out, "");
}

}  // namespace
}  // namespace zelk20::test
