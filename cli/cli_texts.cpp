#include "cli/cli_texts.h"

namespace zelk20::cli {

namespace {

constexpr std::string_view english_help = R"(zelk20ctl - the ZELK20 service tool on the command line

  zelk20ctl monitor [--port P] [--csv FILE] [--frames N | --seconds S]
      One line per status frame the module sends, with the texts of the main
      window; a line when the module has been silent for a second. --csv
      also logs every frame as a row (ISO 8601 time, the values in volts and
      amperes, the thresholds, one 0/1 column per alarm bit). Ends after N
      frames, S seconds or Ctrl-C, and reports frames shown and refused.
  zelk20ctl read [--port P] [--save FILE]
      Loads the module's configuration and prints it; --save files it as a
      configuration file.
  zelk20ctl write FILE [--port P] [--verify]
  zelk20ctl write --defaults [--port P] [--verify]
      Writes a configuration file (refused with its check code when faulty;
      nothing is sent) or the maker's defaults; --verify loads it back and
      compares all ten bytes.
  zelk20ctl ports
      One line per port COM1 to COM11: the device it reaches (or none) and
      what the system says about it (manufacturer, product, serial number).

Options
  --port P     COM1 to COM11 (as the windows map them, see ports) or a
               device path; COM1 when not given
  --lang de    German texts (English when not given)
  --help       this text

A load or write is tried 13 times, 400 ms apart, as the parameter window does.

Exit codes
  0  done
  1  the module did not answer after all attempts (or a verify differed)
  2  bad input: usage, a faulty file (with its code), a file that cannot be written
  3  the port cannot be opened (absent, permission denied, in use)
  128+N  a load or write stopped by signal N (130 for Ctrl-C); the port is released
)";

constexpr std::string_view german_help = R"(zelk20ctl - das ZELK20-Servicewerkzeug auf der Kommandozeile

  zelk20ctl monitor [--port P] [--csv DATEI] [--frames N | --seconds S]
      Eine Zeile je Statusrahmen des Moduls, mit den Texten des
      Hauptfensters; eine Zeile, wenn das Modul eine Sekunde geschwiegen hat.
      --csv schreibt zudem jeden Rahmen als Zeile (Zeit nach ISO 8601, die
      Werte in Volt und Ampere, die Grenzwerte, eine 0/1-Spalte je Alarmbit).
      Endet nach N Rahmen, S Sekunden oder Strg-C und meldet angezeigte und
      verworfene Rahmen.
  zelk20ctl read [--port P] [--save DATEI]
      Lädt die Konfiguration des Moduls und gibt sie aus; --save legt sie als
      Konfigurationsdatei ab.
  zelk20ctl write DATEI [--port P] [--verify]
  zelk20ctl write --defaults [--port P] [--verify]
      Schreibt eine Konfigurationsdatei (eine fehlerhafte wird mit ihrem
      Prüfcode abgelehnt, nichts wird gesendet) oder den KORVA Standard;
      --verify lädt sie zurück und vergleicht alle zehn Bytes.
  zelk20ctl ports
      Eine Zeile je Port COM1 bis COM11: das Gerät, das er erreicht (oder
      keines), und was das System darüber sagt (Hersteller, Produkt,
      Seriennummer).

Optionen
  --port P     COM1 bis COM11 (wie in den Fenstern, siehe ports) oder ein
               Gerätepfad; ohne Angabe COM1
  --lang de    deutsche Texte (ohne Angabe englische)
  --help       dieser Text

Laden und Schreiben werden 13-mal versucht, alle 400 ms, wie im Parameterfenster.

Rückgabewerte
  0  erledigt
  1  das Modul hat nach allen Versuchen nicht geantwortet (oder die Prüfung wich ab)
  2  falsche Eingabe: Aufruf, fehlerhafte Datei (mit ihrem Code), Datei nicht schreibbar
  3  der Port lässt sich nicht öffnen (fehlt, keine Berechtigung, belegt)
  128+N  Laden oder Schreiben durch Signal N abgebrochen (130 bei Strg-C); der Port wird freigegeben
)";

}  // namespace

std::string fill(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string text;
    auto value = values.begin();
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        if (pattern.compare(at, 2, "{}") == 0 && value != values.end()) {
            text += *value++;
            ++at;
        } else {
            text += pattern[at];
        }
    }
    return text;
}

std::string_view help_text(Language language) { return language == Language::german ? german_help : english_help; }

}  // namespace zelk20::cli
