#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "link/port_list.h"
#include "link/serial_port.h"
#include "link/status_log.h"
#include "link/status_frame.h"
#include "parameter/line_messages.h"
#include "parameter/window_fields.h"
#include "texts/text_sets.h"

// What zelk20ctl prints and logs, as pure functions of what the module sent.
namespace zelk20::cli {

// One line for an accepted status frame: per channel (In1, In2, Out) the
// texts of its six value labels, then the captions of the lit lamps.
//   In1: 24,1 Vdc 2,35 Adc min 23,9 Vdc max 2,50 Adc [20,4 Vdc] [20,0 Adc] | In2: ... | Out: ... | hardware fault
std::string status_line(const StatusDisplay& display, Language language);

// The log's header and rows: the link core's, which the history window's
// recording writes too.
using zelk20::csv_header;
using zelk20::csv_row;
using zelk20::iso8601_local;

// A loaded configuration, readably, one item per line.
std::string configuration_text(const ReadAnswer& answer, Language language);

// Why `port` (opened as `device`) could not be opened.
std::string port_failure_text(std::string_view port, std::string_view device, OpenFailure failure,
                              std::string_view system_text, Language language);

// What `port` (COM1 to COM11) reaches, as zelk20ctl ports shows it:
//   COM2   /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0 (ttyUSB0): FTDI, FT232R USB UART, A1B2C3
//   COM3   no device
std::string port_line(std::string_view port, const PortTarget& target, Language language);

// The ten bytes as the configuration file writes them: "CC CC CC C8 ...".
std::string hex_bytes(const ParameterSet& set);

}  // namespace zelk20::cli
