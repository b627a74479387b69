#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

// The German and English texts of the windows, as plain data: the windows
// apply them (apply_texts), and zelk20ctl prints the same words.
namespace zelk20 {

enum class Language { german, english };

// The parameter window's status messages, and every other text in both languages.
struct Message {
    const char* german;
    const char* english;
    std::string_view in(Language language) const { return language == Language::german ? german : english; }
};

// What a switched control's text says. Several controls may say the same:
// the alarm captions of the main window name the event rows of the
// parameter window too. zelk20ctl asks for its words by these.
enum class TextId : std::size_t {
    // Main window
    voltage_row, current_row, min_voltage_row, max_current_row,
    in1_power_good, in2_power_good, out_power_good, in1_over_current, in2_over_current, out_over_current,
    hardware_fault, update_indicator, hand_over_button, history_item,
    // Parameter window
    voltage_thresholds, current_thresholds, port1_column, port2_column, output_inverted, programming_allowed,
    load_button, write_button, defaults_button, file_menu, open_item, save_item, close_item,
    // History window
    time_span, pause_button, save_picture, thresholds_legend,
    count
};

// The text of a meaning in one language.
std::string_view text_of(TextId meaning, Language language);

// The captions beside the seven lamps, which name the alarms, in the order
// of the alarm bits (0 to 5, then 7).
inline constexpr std::array<TextId, 7> lamp_captions = {
    TextId::in1_power_good,   TextId::in2_power_good,   TextId::out_power_good, TextId::in1_over_current,
    TextId::in2_over_current, TextId::out_over_current, TextId::hardware_fault};

// One switched control: found by its object name, it shows the text of its meaning.
struct TextRow {
    const char* control;
    TextId meaning;
};

// What the language switch sets, in the order it sets it. Everything else
// (titles, panel titles, the heading, port items, the main window's menu but
// for its history item, threshold items, the info window) reads the same in
// both languages.
extern const std::span<const TextRow> main_window_texts;
extern const std::span<const TextRow> parameter_window_texts;
// The history window's controls; the switch sets them as well.
extern const std::span<const TextRow> history_window_texts;

namespace messages {
inline constexpr Message transfer_ok{"Übertragung erfolgreich!", "transmission successful!"};
inline constexpr Message fill_all_fields{"Bitte alle Felder korrekt ausfüllen", "all labels fill correctly, please"};
inline constexpr Message communication_failed{"Kommunikation fehlgeschlagen!", "communikation error!"};
inline constexpr Message file_read_ok{"Datei korrekt eingelesen", "read file correctly"};
inline constexpr Message file_faulty{"Datei fehlerhaft C", "file error C"};  // the check code follows
inline constexpr Message file_not_saved{"Datei konnte nicht gespeichert werden", "file could not be saved"};
// What a port name reaches when the system has no device for it (port list tooltips, zelk20ctl ports).
inline constexpr Message no_device{"kein Gerät", "no device"};
}  // namespace messages

// The general error box for a field of a configuration file that is no
// hexadecimal number, the same in both languages: "'$G1' ist kein gültiger
// Integerwert.", in UTF-8. The field's two bytes show as their Latin-1
// characters, a control character (NUL too) as a visible sign, so that the
// message shows what the file holds and never ends early.
std::string conversion_error_text(std::span<const char, 2> field);

// The history window's texts that no one control carries.
namespace history_texts {
inline constexpr Message title{"Verlauf", "History"};
inline constexpr Message record{"Aufnahme...", "record..."};
inline constexpr Message stop_recording{"Aufnahme beenden", "stop recording"};
inline constexpr Message recording_to{"Aufnahme in ", "recording to "};  // the file names follow
inline constexpr Message file_not_written{"Datei lässt sich nicht schreiben: ", "cannot write the file: "};
// The columns of the event list.
inline constexpr Message time_column{"Zeit", "time"};
inline constexpr Message event_column{"Ereignis", "event"};
inline constexpr Message state_column{"Zustand", "state"};
// Events: an alarm is named by its lamp's caption.
inline constexpr Message alarm_on{"ein", "on"};
inline constexpr Message alarm_off{"aus", "off"};
inline constexpr Message link{"Verbindung zum Modul", "link to the module"};
inline constexpr Message link_silent{"unterbrochen", "silent"};
inline constexpr Message link_back{"wieder da", "back"};
inline constexpr Message hand_over{"Parametrierung", "configuration"};
inline constexpr Message handed_over{"Port übergeben", "port handed over"};
inline constexpr Message handed_back{"Port zurück", "port back"};
}  // namespace history_texts

}  // namespace zelk20
