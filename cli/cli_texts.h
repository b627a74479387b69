#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "texts/text_sets.h"

// zelk20ctl's own texts, German and English; "{}" marks where a value goes.
// Texts the windows show too come from their text sets instead.
namespace zelk20::cli {

// `pattern` with each "{}" replaced by the next of `values`.
std::string fill(std::string_view pattern, std::initializer_list<std::string_view> values);

namespace texts {
// Usage
inline constexpr Message port_needs_value{"--port braucht einen Portnamen oder einen Gerätepfad",
                                          "--port needs a port name or a device path"};
inline constexpr Message no_such_port{"Port {} gibt es nicht; die Ports sind COM1 bis COM11",
                                      "there is no port {}; the ports are COM1 to COM11"};
inline constexpr Message lang_values{"--lang nimmt de oder en", "--lang takes de or en"};
inline constexpr Message needs_file_name{"{} braucht einen Dateinamen", "{} needs a file name"};
inline constexpr Message frames_value{"--frames braucht eine ganze Zahl über 0", "--frames needs a whole number above 0"};
inline constexpr Message seconds_value{"--seconds braucht eine Zahl über 0", "--seconds needs a number above 0"};
inline constexpr Message unknown_option{"unbekannte Option {}", "unknown option {}"};
inline constexpr Message unknown_command{"unbekannter Befehl {}", "unknown command {}"};
inline constexpr Message unexpected_argument{"unerwartetes Argument {}", "unexpected argument {}"};
inline constexpr Message command_missing{"ein Befehl fehlt: monitor, read, write oder ports",
                                         "a command is needed: monitor, read, write or ports"};
inline constexpr Message port_option{"--port gehört zu monitor, read und write", "--port goes with monitor, read and write"};
inline constexpr Message monitor_options{"--csv, --frames und --seconds gehören zu monitor",
                                         "--csv, --frames and --seconds go with monitor"};
inline constexpr Message frames_or_seconds{"--frames oder --seconds, nicht beides", "give --frames or --seconds, not both"};
inline constexpr Message save_option{"--save gehört zu read", "--save goes with read"};
inline constexpr Message write_options{"--verify und --defaults gehören zu write", "--verify and --defaults go with write"};
inline constexpr Message write_source{"write braucht eine Konfigurationsdatei oder --defaults",
                                      "write needs a configuration file or --defaults"};
inline constexpr Message see_help{"zelk20ctl --help zeigt die Befehle.", "zelk20ctl --help lists the commands."};

// The port
inline constexpr Message port_unavailable{"{} lässt sich nicht öffnen: {}", "cannot open {}: {}"};
inline constexpr Message port_absent{"das Gerät gibt es nicht", "no such device"};
inline constexpr Message port_permission{
    "keine Berechtigung. Ihr Benutzer muss in der Gruppe dialout sein: sudo adduser $USER dialout, dann neu anmelden",
    "permission denied. Your user must be in the dialout group: sudo adduser $USER dialout, then log in again"};
inline constexpr Message port_in_use{"ein anderes Programm belegt den Port", "another program is using the port"};

// monitor
inline constexpr Message line_silent{"seit einer Sekunde keine Daten vom Modul", "no data from the module for a second"};
inline constexpr Message no_alarm{"kein Alarm", "no alarm"};
inline constexpr Message monitor_summary{"{} Rahmen angezeigt, {} verworfen (Prüfbyte oder Länge falsch)",
                                         "{} frames shown, {} refused (check byte or length wrong)"};
inline constexpr Message csv_not_written{"CSV-Datei {} lässt sich nicht schreiben", "cannot write the CSV file {}"};

// read and write
inline constexpr Message stopped_by_signal{"durch Signal {} abgebrochen", "stopped by signal {}"};
inline constexpr Message attempts{"{} Versuche", "{} attempts"};
inline constexpr Message none{"keine", "none"};
inline constexpr Message yes{"ja", "yes"};
inline constexpr Message no{"nein", "no"};
inline constexpr Message threshold_outside_list{
    "Grenzwert {} (Parameterbyte {}) liegt außerhalb seiner Liste; nichts gesendet",
    "threshold {} (parameter byte {}) is outside its list; nothing sent"};
inline constexpr Message verified{"geprüft: das Modul hält die geschriebene Konfiguration",
                                  "verified: the module holds the configuration written"};
inline constexpr Message verify_failed{"Prüfung fehlgeschlagen: geschrieben {}, das Modul hält {}",
                                       "verify failed: written {}, the module holds {}"};
}  // namespace texts

// zelk20ctl --help.
std::string_view help_text(Language language);

}  // namespace zelk20::cli
