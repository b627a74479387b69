#include "texts/text_sets.h"

namespace zelk20 {

namespace {

// The texts by meaning, in the order of TextId.
constexpr Message texts_by_meaning[] = {
    {"akt. Spannung:", "voltage:"},
    {"akt. Strom:", "current:"},
    {"min. Spannung:", "min. voltage:"},
    {"max Strom:", "max. current:"},
    {"Uin1<Power Good", "Uin1<Power Good"},
    {"Uin2<Power Good", "Uin2<Power Good"},
    {"Uout<Power Good", "Uout<Power Good"},
    {"Überstrom I1", "overcurrent I1"},
    {"Überstrom I2", "overcurrent I2"},
    {"Überstrom Iout", "overcurrent Iout"},
    {"Hardwarefehler", "hardware fault"},
    {"Aktualisierung", "update"},
    {"Parametrierung", "configuration"},
    {"Verlauf...", "History..."},
    {"Grenzwerte U[V]", "threshold U[V]"},
    {"Grenzwerte I[A]", "threshold I[A]"},
    {"Port 1", "port 1"},
    {"Port 2", "port 2"},
    {"Ausgang invertieren", "output inverted"},
    {"Programmierung am Gerät erlauben", "programming allowed"},
    {"Konfiguration laden", "load configuration"},
    {"Konfiguration schreiben", "write configuration"},
    {"KORVA Standard", "KORVA default"},
    {"Datei", "file"},
    {"Öffnen", "open"},
    {"Speichern", "save"},
    {"Schließen", "close"},
    {"Zeitraum:", "time span:"},
    {"Pause", "pause"},
    {"Bild speichern...", "save picture..."},
    {"Grenzwerte", "thresholds"},
};
static_assert(std::size(texts_by_meaning) == static_cast<std::size_t>(TextId::count));

using enum TextId;

constexpr TextRow main_rows[] = {
    {"l_uakt1", voltage_row},          {"l_uakt2", voltage_row},        {"l_uaktout", voltage_row},
    {"l_iakt1", current_row},          {"l_iakt2", current_row},        {"l_iaktout", current_row},
    {"l_umin1", min_voltage_row},      {"l_umin2", min_voltage_row},    {"l_uminout", min_voltage_row},
    {"l_imax1", max_current_row},      {"l_imax2", max_current_row},    {"l_imaxout", max_current_row},
    {"l_pgoodout", out_power_good},    {"l_igoodout", out_over_current}, {"l_pgood1", in1_power_good},
    {"l_igood1", in1_over_current},    {"l_pgood2", in2_power_good},    {"l_igood2", in2_over_current},
    {"a", update_indicator},           {"l_hwerror", hardware_fault},   {"Button1", hand_over_button},
    {"verlauf", history_item},
};

constexpr TextRow parameter_rows[] = {
    {"l_pgood", voltage_thresholds}, {"l_igood", current_thresholds}, {"l_p1", port1_column},
    {"l_p2", port2_column},          {"f1", in1_power_good},          {"f2", in2_power_good},
    {"f3", out_power_good},          {"f4", in1_over_current},        {"f5", in2_over_current},
    {"f6", out_over_current},        {"f7", hardware_fault},          {"f8", output_inverted},
    {"f9", programming_allowed},     {"Button1", load_button},        {"Button2", write_button},
    {"Button3", defaults_button},    {"oeffnen1", file_menu},         {"oeffnen", open_item},
    {"speichern", save_item},        {"schliessen", close_item},
};

constexpr TextRow history_rows[] = {
    {"l_zeitraum", time_span},
    {"pause", pause_button},
    {"bild_speichern", save_picture},
    {"l_grenzwerte", thresholds_legend},
};

}  // namespace

const std::span<const TextRow> main_window_texts{main_rows};
const std::span<const TextRow> parameter_window_texts{parameter_rows};
const std::span<const TextRow> history_window_texts{history_rows};

std::string_view text_of(TextId meaning, Language language) {
    return texts_by_meaning[static_cast<std::size_t>(meaning)].in(language);
}

namespace {

// A byte of the file as a character of the message, in UTF-8: the byte's
// Latin-1 character, or a visible sign for a control character, which would
// show as nothing or end the message. C0 controls and DEL get their symbols
// from Unicode's control pictures (NUL is U+2400), C1 controls U+FFFD.
std::string shown_byte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    auto utf8 = [](unsigned code) {
        std::string text;
        if (code < 0x80) {
            text += static_cast<char>(code);
        } else if (code < 0x800) {
            text += static_cast<char>(0xC0 | code >> 6);
            text += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            text += static_cast<char>(0xE0 | code >> 12);
            text += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (code & 0x3F));
        }
        return text;
    };
    constexpr unsigned control_pictures = 0x2400;
    constexpr unsigned delete_picture = 0x2421;
    constexpr unsigned replacement = 0xFFFD;
    if (byte < 0x20) return utf8(control_pictures + byte);
    if (byte == 0x7F) return utf8(delete_picture);
    if (byte >= 0x80 && byte < 0xA0) return utf8(replacement);
    return utf8(byte);
}

}  // namespace

std::string conversion_error_text(std::span<const char, 2> field) {
    return "'$" + shown_byte(field[0]) + shown_byte(field[1]) + "' ist kein gültiger Integerwert.";
}

}  // namespace zelk20
