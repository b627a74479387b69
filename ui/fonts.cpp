#include "ui/fonts.h"

#include <QStringList>

namespace zelk20::ui {

namespace {

QFont font(const QStringList& families, int pixels, bool bold) {
    QFont f;
    f.setFamilies(families);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

}  // namespace

QFont tahoma(int pixels, bool bold) {
    return font(QStringList{"Tahoma", "Liberation Sans", "DejaVu Sans"}, pixels, bold);
}

QFont ms_sans_serif(int pixels) {
    return font(QStringList{"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "DejaVu Sans"}, pixels, false);
}

QFont heading_font() {
    return font(QStringList{"BankGothic Md BT", "Liberation Sans", "DejaVu Sans"}, 32, true);
}

}  // namespace zelk20::ui
