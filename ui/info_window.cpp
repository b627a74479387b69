#include "ui/info_window.h"

#include <QLabel>
#include <QPushButton>

#include "ui/fonts.h"
#include "ui/picture.h"

using namespace zelk20::ui;

namespace {

// The maker's details, supplied by whoever deploys the tool.
struct InfoLine {
    const char* name;
    const char* text;
    bool link_style;
    int gap_before;
};
constexpr int column_top = 48;
constexpr int line_pitch = 16;
constexpr InfoLine lines[] = {
    {"StaticText2", "KORVA Elektronik GmbH", false, 0},
    {"StaticText3", "Industriestraße 12", false, 0},
    {"StaticText4", "12345 Musterstadt", false, 0},
    {"StaticText7", "www.korva-elektronik.example", true, 0},
    {"StaticText8", "info@korva-elektronik.example", true, 0},
    {"StaticText5", "Tel.: +49 (0) 1234 5678-0", false, 8},
    {"StaticText6", "Fax: +49 (0) 1234 5678-99", false, 0},
    {"StaticText1", "", false, 12},
    {"StaticText9", "© 2026 KORVA", false, 0},
};

}  // namespace

TInfo::TInfo() {
    setObjectName("Information");
    setWindowTitle("Info...");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(tahoma(11));
    setFixedSize(731, 226);

    auto* banner = new Picture(":/info_banner.svg", this);
    banner->setObjectName("Image1");
    banner->setGeometry(0, 0, 505, 233);  // the window cuts its lowest rows

    const int column_x = 505 + 15;
    auto* logo = new Picture(":/maker_logo.svg", this);
    logo->setObjectName("Image2");
    logo->setGeometry(column_x, 8, 193, 33);

    int y = column_top;
    for (const InfoLine& line : lines) {
        y += line.gap_before;
        auto* label = new QLabel(QString::fromUtf8(line.text), this);
        label->setObjectName(line.name);
        label->move(column_x, y);
        if (line.link_style) {
            // Looks like a link; deliberately does nothing when clicked.
            QFont font = ms_sans_serif(11);
            font.setUnderline(true);
            label->setFont(font);
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, palette.color(QPalette::Link));
            label->setPalette(palette);
            label->setCursor(Qt::PointingHandCursor);
        }
        label->adjustSize();
        y += line_pitch;
    }
    version_ = findChild<QLabel*>("StaticText1");

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("Button1");
    ok->setGeometry(731 - 75 - 8, 226 - 25 - 8, 75, 25);
    connect(ok, &QPushButton::clicked, this, &TInfo::Button1Click);
}

void TInfo::set_version_line(const QString& text) {
    version_->setText(text);
    version_->adjustSize();
}

void TInfo::Button1Click() { close(); }
