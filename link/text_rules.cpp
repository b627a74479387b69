#include "link/text_rules.h"

namespace zelk20 {

std::string plain_hundredths(std::uint16_t hundredths) {
    std::string text = std::to_string(hundredths / 100);
    const unsigned fraction = hundredths % 100;
    if (fraction != 0) {
        text += ',';
        text += static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0) text += static_cast<char>('0' + fraction % 10);
    }
    return text;
}

std::string plain_tenths(std::uint8_t tenths) {
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10 != 0) {
        text += ',';
        text += static_cast<char>('0' + tenths % 10);
    }
    return text;
}

std::string measured_text(std::uint16_t hundredths, std::string_view unit) {
    std::string text;
    if (hundredths >= 10000) {
        // Padding the plain text to four characters has no sound answer for
        // three whole digits; show them with the tenths, cut like the rest.
        text = std::to_string(hundredths / 100) + ',' + static_cast<char>('0' + hundredths % 100 / 10);
    } else {
        // Below 100 the plain text has 1 to 5 characters; pad or cut it to four.
        text = plain_hundredths(hundredths);
        switch (text.size()) {
        case 1: text += ",00"; break;
        case 2: text += ",0"; break;
        case 3: text += "0"; break;
        case 4: break;
        default: text.resize(4); break;
        }
    }
    text += unit;
    return text;
}

std::string voltage_threshold_text(std::uint8_t tenths) {
    const std::string plain = plain_tenths(tenths);
    return "[" + plain + (plain.size() <= 2 ? ",0" : "") + std::string(volt_unit) + "]";
}

std::string current_threshold_text(std::uint8_t tenths) {
    const std::string plain = plain_tenths(tenths);
    const char* padding = plain.size() == 1 ? ",00" : plain.size() == 2 ? ",0" : plain.size() == 3 ? "0" : "";
    return "[" + plain + padding + std::string(ampere_unit) + "]";
}

}  // namespace zelk20
