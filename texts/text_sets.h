#pragma once

#include <span>
#include <string>
#include <string_view>

// The German and English texts of the windows, as plain data: the windows
// apply them (apply_texts), and zelk20ctl prints the same words.
namespace zelk20 {

enum class Language { german, english };

// One control's text in both languages; the control is found by its object name.
struct TextRow {
    const char* control;
    const char* german;
    const char* english;
};

// What the language switch sets, in the order it sets it. Everything else
// (titles, panel titles, the heading, port items, the main window's menu but
// for its history item, threshold items, the info window) reads the same in
// both languages.
extern const std::span<const TextRow> main_window_texts;
extern const std::span<const TextRow> parameter_window_texts;
// The history window's controls; the switch sets them as well.
extern const std::span<const TextRow> history_window_texts;

// The text of the control named `control` in `rows`; empty when there is none.
std::string_view text_of(std::span<const TextRow> rows, std::string_view control, Language language);

// The parameter window's status messages.
struct Message {
    const char* german;
    const char* english;
    std::string_view in(Language language) const { return language == Language::german ? german : english; }
};
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
