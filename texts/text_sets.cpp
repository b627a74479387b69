#include "texts/text_sets.h"

namespace zelk20 {

namespace {

constexpr TextRow main_rows[] = {
    {"l_uakt1", "akt. Spannung:", "voltage:"},
    {"l_uakt2", "akt. Spannung:", "voltage:"},
    {"l_uaktout", "akt. Spannung:", "voltage:"},
    {"l_iakt1", "akt. Strom:", "current:"},
    {"l_iakt2", "akt. Strom:", "current:"},
    {"l_iaktout", "akt. Strom:", "current:"},
    {"l_umin1", "min. Spannung:", "min. voltage:"},
    {"l_umin2", "min. Spannung:", "min. voltage:"},
    {"l_uminout", "min. Spannung:", "min. voltage:"},
    {"l_imax1", "max Strom:", "max. current:"},
    {"l_imax2", "max Strom:", "max. current:"},
    {"l_imaxout", "max Strom:", "max. current:"},
    {"l_pgoodout", "Uout<Power Good", "Uout<Power Good"},
    {"l_igoodout", "Überstrom Iout", "overcurrent Iout"},
    {"l_pgood1", "Uin1<Power Good", "Uin1<Power Good"},
    {"l_igood1", "Überstrom I1", "overcurrent I1"},
    {"l_pgood2", "Uin2<Power Good", "Uin2<Power Good"},
    {"l_igood2", "Überstrom I2", "overcurrent I2"},
    {"a", "Aktualisierung", "update"},
    {"l_hwerror", "Hardwarefehler", "hardware fault"},
    {"Button1", "Parametrierung", "configuration"},
    {"verlauf", "Verlauf...", "History..."},
};

constexpr TextRow parameter_rows[] = {
    {"l_pgood", "Grenzwerte U[V]", "threshold U[V]"},
    {"l_igood", "Grenzwerte I[A]", "threshold I[A]"},
    {"l_p1", "Port 1", "port 1"},
    {"l_p2", "Port 2", "port 2"},
    {"f1", "Uin1<Power Good", "Uin1<Power Good"},
    {"f2", "Uin2<Power Good", "Uin2<Power Good"},
    {"f3", "Uout<Power Good", "Uout<Power Good"},
    {"f4", "Überstrom I1", "overcurrent I1"},
    {"f5", "Überstrom I2", "overcurrent I2"},
    {"f6", "Überstrom Iout", "overcurrent Iout"},
    {"f7", "Hardwarefehler", "hardware fault"},
    {"f8", "Ausgang invertieren", "output inverted"},
    {"f9", "Programmierung am Gerät erlauben", "programming allowed"},
    {"Button1", "Konfiguration laden", "load configuration"},
    {"Button2", "Konfiguration schreiben", "write configuration"},
    {"Button3", "KORVA Standard", "KORVA default"},
    {"oeffnen1", "Datei", "file"},
    {"oeffnen", "Öffnen", "open"},
    {"speichern", "Speichern", "save"},
    {"schliessen", "Schließen", "close"},
};

constexpr TextRow history_rows[] = {
    {"l_zeitraum", "Zeitraum:", "time span:"},
    {"pause", "Pause", "pause"},
    {"bild_speichern", "Bild speichern...", "save picture..."},
    {"l_grenzwerte", "Grenzwerte", "thresholds"},
};

}  // namespace

const std::span<const TextRow> main_window_texts{main_rows};
const std::span<const TextRow> history_window_texts{history_rows};
const std::span<const TextRow> parameter_window_texts{parameter_rows};

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

std::string_view text_of(std::span<const TextRow> rows, std::string_view control, Language language) {
    for (const TextRow& row : rows) {
        if (row.control == control) return language == Language::german ? row.german : row.english;
    }
    return {};
}

}  // namespace zelk20
