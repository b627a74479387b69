// What zelk20ctl prints and logs, against texts written out by hand.
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/commands.h"
#include "cli/options.h"
#include "cli/report.h"
#include "link/status_frame.h"
#include "tests/test_frames.h"

namespace zelk20::cli {
namespace {

StatusValues values_of(const test::Bytes& frame) {
    const auto values = accepted_status_values(frame);
    EXPECT_TRUE(values);
    return values.value_or(StatusValues{});
}

TEST(StatusLine, ShowsEveryChannelsLabelTextsAndTheLitLampsByName) {
    struct Case {
        std::uint8_t alarm;
        Language language;
        const char* alarms;
    };
    const Case cases[] = {
        {0x81, Language::english, "Uin1<Power Good, hardware fault"},
        {0x81, Language::german, "Uin1<Power Good, Hardwarefehler"},
        {0x3C, Language::english, "Uout<Power Good, overcurrent I1, overcurrent I2, overcurrent Iout"},
        {0x3C, Language::german, "Uout<Power Good, Überstrom I1, Überstrom I2, Überstrom Iout"},
        {0x40, Language::english, "no alarm"},  // bit 0x40 has no lamp
        {0x00, Language::german, "kein Alarm"},
    };
    for (const Case& c : cases) {
        const StatusDisplay display = status_display(values_of(test::typical_frame(c.alarm)));
        EXPECT_EQ(status_line(display, c.language),
                  std::string("In1: 24,1 Vdc 2,35 Adc min 23,9 Vdc max 2,50 Adc [20,4 Vdc] [20,0 Adc] | "
                              "In2: 23,9 Vdc 1,85 Adc min 23,7 Vdc max 1,99 Adc [20,4 Vdc] [20,0 Adc] | "
                              "Out: 23,8 Vdc 4,20 Adc min 23,6 Vdc max 4,47 Adc [20,4 Vdc] [20,0 Adc] | ") +
                      c.alarms)
            << "alarm byte " << int(c.alarm);
    }
}

class LocalTime : public ::testing::Test {
protected:
    void set_zone(const char* zone) {
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    void TearDown() override {
        if (saved_) {
            ::setenv("TZ", saved_->c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }
    std::optional<std::string> saved_ = std::getenv("TZ") ? std::optional<std::string>(std::getenv("TZ")) : std::nullopt;
};

std::chrono::system_clock::time_point at(std::time_t seconds, int milliseconds) {
    return std::chrono::system_clock::from_time_t(seconds) + std::chrono::milliseconds(milliseconds);
}

TEST_F(LocalTime, Iso8601WithMillisecondsAndTheOffsetAcrossDayAndYearEnds) {
    struct Case {
        const char* zone;
        std::time_t seconds;
        int milliseconds;
        const char* text;
    };
    const Case cases[] = {
        {"UTC0", 1798759805, 45, "2026-12-31T23:30:05.045+00:00"},
        {"CET-1", 1798759805, 45, "2027-01-01T00:30:05.045+01:00"},
        {"IST-5:30", 1798759805, 999, "2027-01-01T05:00:05.999+05:30"},
        {"EST5", 1767232800, 0, "2025-12-31T21:00:00.000-05:00"},
    };
    for (const Case& c : cases) {
        set_zone(c.zone);
        EXPECT_EQ(iso8601_local(at(c.seconds, c.milliseconds)), c.text) << c.zone;
    }
}

TEST_F(LocalTime, CsvHeaderAndRowHoldNumbersWithADecimalPointAndOneColumnPerAlarmBit) {
    set_zone("UTC0");
    EXPECT_EQ(csv_header(),
              "time,u_in1_V,u_in2_V,u_out_V,i_in1_A,i_in2_A,i_out_A,umin_in1_V,umin_in2_V,umin_out_V,"
              "imax_in1_A,imax_in2_A,imax_out_A,pgood_in1_V,pgood_in2_V,pgood_out_V,igood_in1_A,igood_in2_A,"
              "igood_out_A,alarm_pgood_in1,alarm_pgood_in2,alarm_pgood_out,alarm_overcurrent_in1,"
              "alarm_overcurrent_in2,alarm_overcurrent_out,alarm_bit6,alarm_hardware_fault");
    EXPECT_EQ(csv_row(at(1798759805, 45), values_of(test::typical_frame(0xC1))),
              "2026-12-31T23:30:05.045+00:00,24.12,23.98,23.80,2.35,1.85,4.20,23.90,23.75,23.60,2.50,1.99,4.47,"
              "20.4,20.4,20.4,20.0,20.0,20.0,1,0,0,0,0,0,1,1");
    // The largest numbers the frame can carry, and zeros.
    const auto extremes = values_of(test::status_frame(
        0x00, {65535, 0, 5, 100, 999, 1000, 0, 0, 0, 0, 0, 0}, {255, 0, 9, 10, 100, 1}));
    EXPECT_EQ(csv_row(at(1798759805, 0), extremes),
              "2026-12-31T23:30:05.000+00:00,655.35,0.00,0.05,1.00,9.99,10.00,0.00,0.00,0.00,0.00,0.00,0.00,"
              "25.5,0.0,0.9,1.0,10.0,0.1,0,0,0,0,0,0,0,0");
}

TEST(ConfigurationText, NamesThresholdsEventsInversionAndProgrammingInBothLanguages) {
    ReadAnswer defaults{.set = maker_defaults, .version = "V1.3", .fa_number = "25110400731"};
    EXPECT_EQ(configuration_text(defaults, Language::english),
              "threshold U[V]: In1 20,4 In2 20,4 Out 20,4\n"
              "threshold I[A]: In1 20,0 In2 20,0 Out 20,0\n"
              "port 1: Uin1<Power Good, Uin2<Power Good; output inverted\n"
              "port 2: overcurrent I1, overcurrent I2; output inverted\n"
              "programming allowed: yes\n"
              "ZELK20-Version: V1.3\n"
              "Fa: 251104-00731\n");
    EXPECT_EQ(configuration_text(defaults, Language::german),
              "Grenzwerte U[V]: In1 20,4 In2 20,4 Out 20,4\n"
              "Grenzwerte I[A]: In1 20,0 In2 20,0 Out 20,0\n"
              "Port 1: Uin1<Power Good, Uin2<Power Good; Ausgang invertieren\n"
              "Port 2: Überstrom I1, Überstrom I2; Ausgang invertieren\n"
              "Programmierung am Gerät erlauben: ja\n"
              "ZELK20-Version: V1.3\n"
              "Fa: 251104-00731\n");
    // No events on port 1, only the hardware fault on port 2 (0x40 and port 2's
    // 0x01 option have no box), nothing inverted, programming not allowed, and
    // the module's odd characters shown readably.
    ReadAnswer odd{.set = {0xFA, 0xC8, 0xC9, 0x0A, 0xD2, 0x97, 0x00, 0x00, 0xC0, 0x01},
                   .version = std::string("V\xE9" "1\x01", 4),
                   .fa_number = "00000099999"};
    EXPECT_EQ(configuration_text(odd, Language::english),
              "threshold U[V]: In1 25,0 In2 20,0 Out 20,1\n"
              "threshold I[A]: In1 1,0 In2 21,0 Out 15,1\n"
              "port 1: none\n"
              "port 2: hardware fault\n"
              "programming allowed: no\n"
              "ZELK20-Version: V\xC3\xA9" "1?\n"
              "Fa: 000000-99999\n");
}

TEST(PortFailureText, GivesTheReasonAndTheDialoutHintForPermission) {
    EXPECT_EQ(port_failure_text("COM3", "/dev/ttyS2", OpenFailure::permission_denied, "Permission denied",
                                Language::english),
              "cannot open COM3 (/dev/ttyS2): permission denied. Your user must be in the dialout group: sudo "
              "adduser $USER dialout, then log in again (Permission denied)");
    EXPECT_EQ(port_failure_text("/dev/ttyUSB0", "/dev/ttyUSB0", OpenFailure::in_use, "", Language::german),
              "/dev/ttyUSB0 lässt sich nicht öffnen: ein anderes Programm belegt den Port");
    EXPECT_EQ(port_failure_text("COM2", "/dev/ttyS1", OpenFailure::other, "Input/output error", Language::english),
              "cannot open COM2 (/dev/ttyS1): Input/output error");
    // A port name beyond the system's ports reaches no device.
    EXPECT_EQ(port_failure_text("COM7", "", OpenFailure::absent, "No such file or directory", Language::english),
              "cannot open COM7: no such device (No such file or directory)");
}

TEST(PortLine, NamesTheDeviceAndWhatTheSystemSaysOrNone) {
    struct Case {
        const char* port;
        PortTarget target;
        Language language;
        const char* line;
    };
    const SystemPort ftdi{"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0", "ttyUSB0", "FTDI",
                          "FT232R USB UART", "A1B2C3"};
    const Case cases[] = {
        {"COM1", {.port = {"/dev/ttyS0", "ttyS0", "", "", ""}, .variable = ""}, Language::english, "COM1   /dev/ttyS0"},
        {"COM2", {.port = ftdi, .variable = ""}, Language::german,
         "COM2   /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0 (ttyUSB0): FTDI, FT232R USB UART, A1B2C3"},
        {"COM3", {.port = {"/tmp/zelk20-com3", "", "", "", ""}, .variable = "ZELK20_COM3"}, Language::english,
         "COM3   /tmp/zelk20-com3 (ZELK20_COM3)"},
        {"COM10", {}, Language::german, "COM10  kein Gerät"},
        {"COM11", {}, Language::english, "COM11  no device"},
    };
    for (const Case& c : cases) EXPECT_EQ(port_line(c.port, c.target, c.language), c.line) << c.port;
}

ParsedOptions parse(std::vector<std::string_view> arguments) { return parse_options(arguments); }

TEST(Options, CommandsAndTheirOptions) {
    const auto monitor = parse({"monitor", "--port", "COM11", "--csv", "log.csv", "--seconds", "2.5", "--lang", "de"});
    ASSERT_TRUE(monitor.options) << monitor.error;
    EXPECT_EQ(monitor.options->command, Command::monitor);
    EXPECT_EQ(monitor.options->port, "COM11");
    EXPECT_EQ(monitor.options->csv_file, "log.csv");
    EXPECT_DOUBLE_EQ(monitor.options->seconds.value_or(0), 2.5);
    EXPECT_EQ(monitor.options->language, Language::german);

    const auto write = parse({"write", "module.cfg", "--verify", "--port", "/dev/ttyUSB0"});
    ASSERT_TRUE(write.options) << write.error;
    EXPECT_EQ(write.options->config_file, "module.cfg");
    EXPECT_TRUE(write.options->verify);
    EXPECT_EQ(write.options->port, "/dev/ttyUSB0");
    EXPECT_EQ(write.options->language, Language::english);

    const auto read = parse({"read"});
    ASSERT_TRUE(read.options);
    EXPECT_EQ(read.options->port, "COM1");
    // Any case names the port; it goes on under its usual spelling.
    EXPECT_EQ(parse({"read", "--port", "com10"}).options.value_or(Options{}).port, "COM10");
    EXPECT_EQ(parse({"read", "--port", "Com2"}).options.value_or(Options{}).port, "COM2");
    EXPECT_EQ(parse({"write", "--defaults"}).options.value_or(Options{}).defaults, true);
    const auto ports = parse({"ports", "--lang", "de"});
    ASSERT_TRUE(ports.options) << ports.error;
    EXPECT_EQ(ports.options->command, Command::ports);
    EXPECT_EQ(ports.options->language, Language::german);
}

TEST(Options, RefusedWithTheReasonInTheLanguageAskedFor) {
    struct Case {
        std::vector<std::string_view> arguments;
        const char* reason;
    };
    const Case cases[] = {
        {{}, "a command is needed: monitor, read, write or ports"},
        {{"ports", "--port", "COM2"}, "--port goes with monitor, read and write"},
        {{"ports", "--frames", "3"}, "--csv, --frames and --seconds go with monitor"},
        {{"flash"}, "unknown command flash"},
        {{"read", "--baud", "19200"}, "unknown option --baud"},
        {{"read", "--port", "COM12"}, "there is no port COM12; the ports are COM1 to COM11"},
        {{"read", "--port", "COM0"}, "there is no port COM0; the ports are COM1 to COM11"},
        {{"read", "--port", "com12"}, "there is no port com12; the ports are COM1 to COM11"},
        {{"read", "--port"}, "--port needs a port name or a device path"},
        {{"read", "--lang", "fr"}, "--lang takes de or en"},
        {{"monitor", "--frames", "0"}, "--frames needs a whole number above 0"},
        {{"monitor", "--frames", "12x"}, "--frames needs a whole number above 0"},
        {{"monitor", "--seconds", "-1"}, "--seconds needs a number above 0"},
        {{"monitor", "--frames", "5", "--seconds", "5"}, "give --frames or --seconds, not both"},
        {{"read", "--csv", "x.csv"}, "--csv, --frames and --seconds go with monitor"},
        {{"monitor", "--save", "x.cfg"}, "--save goes with read"},
        {{"read", "--verify"}, "--verify and --defaults go with write"},
        {{"write"}, "write needs a configuration file or --defaults"},
        {{"write", "a.cfg", "--defaults"}, "write needs a configuration file or --defaults"},
        {{"write", "a.cfg", "b.cfg"}, "unexpected argument b.cfg"},
        {{"read", "--lang", "de", "--port", "COM12"}, "Port COM12 gibt es nicht; die Ports sind COM1 bis COM11"},
        {{"--port", "COM12", "--lang", "de", "read"}, "Port COM12 gibt es nicht; die Ports sind COM1 bis COM11"},
    };
    for (const Case& c : cases) {
        const ParsedOptions parsed = parse(c.arguments);
        EXPECT_FALSE(parsed.options) << c.reason;
        EXPECT_EQ(parsed.error, c.reason);
    }
}

TEST(Run, HelpListsTheExitCodesAndBadUsageExitsTwo) {
    std::ostringstream out;
    std::ostringstream err;
    const std::vector<std::string_view> help = {"--help"};
    EXPECT_EQ(run(help, out, err), exit_done);
    for (const char* code : {"0  done", "1  the module did not answer", "2  bad input", "3  the port cannot be opened"}) {
        EXPECT_NE(out.str().find(code), std::string::npos) << code;
    }
    const std::vector<std::string_view> bad = {"read", "--port", "COM99"};
    EXPECT_EQ(run(bad, out, err), exit_bad_input);
    EXPECT_NE(err.str().find("there is no port COM99"), std::string::npos);
}

}  // namespace
}  // namespace zelk20::cli
