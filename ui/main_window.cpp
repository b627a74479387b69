#include "ui/main_window.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "link/port_list.h"
#include "link/port_names.h"
#include "ui/controls.h"
#include "ui/fonts.h"
#include "ui/history_window.h"
#include "ui/info_window.h"
#include "ui/parameter_window.h"
#include "ui/picture.h"
#include "ui/program.h"

using namespace zelk20;
using namespace zelk20::ui;

namespace {

constexpr QSize client_size{811, 627};
constexpr QSize panel_size{273, 209};
constexpr int lamp_side = 17;
// How long the update indicator flashes for a frame.
constexpr std::chrono::milliseconds flash_duration{250};

// Panel rows, from the frame's top edge: rows 1 to 4 are 32 apart from the
// panel's first-row offset, rows 5 and 6 lie at fixed offsets in every panel.
constexpr int row_pitch = 32;
constexpr std::array<int, 2> alarm_row_offsets = {144, 176};
constexpr int caption_x = 8;
constexpr int value_x = 154;
constexpr int lamp_x = 242;

}  // namespace

namespace zelk20::ui {

// A lamp: its number in the control names (mb1_3) and whether its lit face is red.
struct LampSpec {
    int number;
    bool red;
};
constexpr LampSpec hardware_fault_lamp{.number = 8, .red = false};

// A channel panel: its title, its frame, how its rows sit and its two lamps.
struct PanelSpec {
    const char* suffix;      // of its controls' names: l_uaktout, u1, igoodi2
    const char* title_name;
    const char* title;
    const char* frame_name;
    QPoint frame;            // top-left corner of the raised frame
    int first_row_offset;    // rows 1 to 4, from the frame's top edge
    int alarm_value_x;       // the thresholds of rows 5 and 6, from the frame's left edge
    LampSpec power_good;     // beside row 5
    LampSpec over_current;   // beside row 6
};
constexpr PanelSpec panels[] = {
    {.suffix = "out", .title_name = "Label19", .title = "Out", .frame_name = "Bevel6", .frame = {16, 64},
     .first_row_offset = 8, .alarm_value_x = 152, .power_good = {3, true}, .over_current = {6, false}},
    {.suffix = "1", .title_name = "Label9", .title = "In1", .frame_name = "Bevel8", .frame = {16, 344},
     .first_row_offset = 8, .alarm_value_x = value_x, .power_good = {1, false}, .over_current = {4, false}},
    {.suffix = "2", .title_name = "Label10", .title = "In2", .frame_name = "Bevel7", .frame = {520, 344},
     .first_row_offset = 16, .alarm_value_x = value_x, .power_good = {2, false}, .over_current = {5, false}},
};

}  // namespace zelk20::ui

namespace {

// A port item's tooltip: the device and what the system says about it.
QString port_tip(const PortTarget& target, Language language) {
    const std::string device = device_text(target);
    if (device.empty()) {
        const std::string_view none = messages::no_device.in(language);
        return QString::fromUtf8(none.data(), static_cast<qsizetype>(none.size()));
    }
    const std::string about = description(target.port);
    return QString::fromStdString(about.empty() ? device : device + "\n" + about);
}

}  // namespace

TForm1::TForm1() {
    setObjectName("Form1");
    setWindowTitle("ZELK20");
    setWindowIcon(QIcon(":/app_icon.svg"));
    // The fixed-size hint gives the single border on Windows rather than a sizing
    // border that refuses to size; other systems take the fixed size alone.
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(tahoma(11));
    move(0, 0);
    build_controls();

    Timer1 = make_timer(this, "Timer1", monitor_poll_interval);
    Timer2 = make_timer(this, "Timer2", monitor_watchdog_interval);
    Timer3 = make_timer(this, "Timer3", flash_duration);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    connect(Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);
    connect(Timer3, &QTimer::timeout, this, &TForm1::Timer3Timer);
    Timer1->start();
    Timer2->start();
    Timer3->start();
    FormCreate();
}

void TForm1::set_windows(Tpara* para, TInfo* info) {
    para_ = para;
    info_ = info;
}

void TForm1::build_controls() {
    build_menu();
    auto* area = new QWidget(this);
    area->setObjectName("client");
    area->setFixedSize(client_size);
    area->setAutoFillBackground(true);
    QPalette face = area->palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    area->setPalette(face);
    setCentralWidget(area);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    for (const PanelSpec& panel : panels) build_panel(area, panel);
    for (std::size_t k = 0; k < value_label_count; ++k) {
        values_[k] = area->findChild<QLabel*>(QString::fromLatin1(value_label_names[k].data(),
                                                                 static_cast<int>(value_label_names[k].size())));
    }

    auto* module = new Picture(":/module.svg", area);
    module->setObjectName("Image1");
    module->setGeometry(328, 16, 161, 537);

    auto* hand_over = new QPushButton(area);
    hand_over->setObjectName("Button1");
    hand_over->setFont(tahoma(17));
    hand_over->setGeometry(520, 72, 273, 33);
    connect(hand_over, &QPushButton::clicked, this, &TForm1::Button1Click);

    make_bevel(area, "Bevel5", {520, 190, 273, 41});
    make_label(area, "l_hwerror", QString(), tahoma(16), {520 + caption_x, 190 + 11});
    make_lamp(area, hardware_fault_lamp, {520 + lamp_x, 190 + (41 - lamp_side) / 2});

    QPalette hot_light = area->palette();
    hot_light.setColor(QPalette::WindowText, hot_light.color(QPalette::Link));
    for (auto [name, text, y] : {std::tuple{"Label16", "Tessaro", 560}, std::tuple{"Label7", "Redundancy Module", 592}}) {
        QLabel* heading = make_label(area, name, text, heading_font(), {16, y});
        heading->setPalette(hot_light);
        heading->resize(381, 34);
    }

    build_port_row(area);
}

void TForm1::build_menu() {
    auto* menu_bar = new QMenuBar(this);
    menu_bar->setObjectName("MainMenu1");
    auto* file_menu = menu_bar->addMenu("Datei");
    file_menu->setObjectName("oeffnen1");
    QAction* info_item = file_menu->addAction("Info...");
    info_item->setObjectName("speicher_datei");
    QAction* history_item = file_menu->addAction(QString());
    history_item->setObjectName("verlauf");
    connect(history_item, &QAction::triggered, this, &TForm1::verlaufClick);
    QAction* end_item = file_menu->addAction("Beenden");
    end_item->setObjectName("Beenden1");
    connect(info_item, &QAction::triggered, this, &TForm1::speicher_dateiClick);
    connect(end_item, &QAction::triggered, this, &TForm1::Beenden1Click);
    setMenuBar(menu_bar);
}

// The port list, the update indicator over it and the language flags.
void TForm1::build_port_row(QWidget* area) {
    comport_ = new QComboBox(area);
    comport_->setObjectName("comport");
    comport_->setEditable(false);
    comport_->setFont(tahoma(17));
    comport_->setFocusPolicy(Qt::NoFocus);
    for (int k = first_port_number; k <= last_port_number; ++k) comport_->addItem(QString::fromStdString(port_name(k)));
    comport_->setCurrentIndex(0);
    comport_->setGeometry(456, 584, 81, 29);
    // Listing the ports reads sysfs: done when a tooltip or the list is about
    // to show, never on the poll tick.
    comport_->installEventFilter(this);
    connect(comport_, &QComboBox::currentIndexChanged, this,
            [this](int index) { comport_->setToolTip(comport_->itemData(index, Qt::ToolTipRole).toString()); });

    // The update indicator only shows the link: the user cannot tick it.
    a_ = new QRadioButton(area);
    a_->setObjectName("a");
    a_->setFont(ms_sans_serif(17));
    a_->setGeometry(448, 585, 145, 29);
    a_->setFocusPolicy(Qt::NoFocus);
    a_->setAttribute(Qt::WA_TransparentForMouseEvents);
    a_->hide();

    auto* german = new Picture(":/flag_de.svg", area);
    german->setObjectName("deutsch");
    german->setGeometry(672, 580, 33, 33);
    auto* english = new Picture(":/flag_gb.svg", area);
    english->setObjectName("englisch");
    english->setGeometry(712, 580, 33, 33);
    connect(german, &Picture::clicked, this, &TForm1::deutschClick);
    connect(english, &Picture::clicked, this, &TForm1::englischClick);
}

void TForm1::build_panel(QWidget* area, const PanelSpec& panel) {
    const int frame_x = panel.frame.x();
    const int frame_y = panel.frame.y();
    make_label(area, panel.title_name, panel.title, tahoma(24, true), {frame_x, frame_y - 40});
    make_bevel(area, panel.frame_name, {panel.frame, panel_size});

    struct Row {
        const char* caption;  // caption name without the channel suffix
        const char* value;    // value label name without the suffix
        bool alarm_row;
    };
    static constexpr Row rows[] = {{"l_uakt", "u", false},  {"l_iakt", "i", false},  {"l_umin", "umin", false},
                                   {"l_imax", "imax", false}, {"l_pgood", "pgoodu", true}, {"l_igood", "igoodi", true}};
    for (int r = 0; r < 6; ++r) {
        const Row& row = rows[r];
        const int y = frame_y + (row.alarm_row ? alarm_row_offsets[r - 4] : panel.first_row_offset + r * row_pitch);
        const QFont font = row.alarm_row ? tahoma(16) : tahoma(17, true);
        const QByteArray caption = QByteArray(row.caption) + panel.suffix;
        const QByteArray value = QByteArray(row.value) + panel.suffix;
        make_label(area, caption.constData(), QString(), font, {frame_x + caption_x, y});
        make_label(area, value.constData(), QString(), font,
                   {frame_x + (row.alarm_row ? panel.alarm_value_x : value_x), y});
        if (row.alarm_row) make_lamp(area, r == 4 ? panel.power_good : panel.over_current, {frame_x + lamp_x, y + 1});
    }
}

void TForm1::make_lamp(QWidget* area, const LampSpec& lamp, QPoint at) {
    const QString name = QString("mb1_%1").arg(lamp.number);
    const bool red = lamp.red;
    const QRect place(at, QSize(lamp_side, lamp_side));
    auto* white = new Picture(":/lamp_white.svg", area);
    white->setObjectName(name + "_w");
    auto* lit = new Picture(red ? ":/lamp_red.svg" : ":/lamp_yellow.svg", area);
    lit->setObjectName(name + (red ? "_r" : "_g"));
    auto* frame = new Picture(":/lamp_frame.svg", area);  // drawn over both faces, never changed
    frame->setObjectName(name);
    for (QWidget* picture : {static_cast<QWidget*>(white), static_cast<QWidget*>(lit), static_cast<QWidget*>(frame)}) {
        picture->setGeometry(place);
    }
    frame->raise();
    lit->hide();
    // Lamps 1 to 6 stand for alarm bits 0 to 5, lamp 8 for bit 7; there is no lamp 7.
    const std::size_t index = lamp.number == hardware_fault_lamp.number ? lamp_count - 1
                                                                        : static_cast<std::size_t>(lamp.number - 1);
    lamps_[index] = {white, lit};
}

void TForm1::show_lamp(std::size_t lamp, bool lit) {
    lamps_[lamp].white->setVisible(!lit);
    lamps_[lamp].lit->setVisible(lit);
}

void TForm1::set_value(std::size_t label, const QString& text) {
    values_[label]->setText(text);
    values_[label]->adjustSize();
}

void TForm1::Timer1Timer() {
    link_.select_port(comport_->currentIndex() + first_port_number);
    for (const Frame& frame : link_.poll()) {
        // Every complete frame, accepted or not, ends the port choice for good.
        comport_->hide();
        a_->show();
        ausfuehren(frame.bytes());
    }
}

void TForm1::ausfuehren(std::span<const std::uint8_t> frame) {
    const StatusUpdate update = decode_status_frame(frame);
    if (update.flash) {
        a_->setChecked(true);
        if (!Timer3->isActive()) Timer3->start();  // a running flash is not lengthened
    }
    if (!update.display) return;
    if (verlauf_ != nullptr) verlauf_->frame_taken(*accepted_status_values(frame));
    for (std::size_t lamp = 0; lamp < lamp_count; ++lamp) show_lamp(lamp, update.display->lamp_lit[lamp]);
    for (std::size_t k = 0; k < value_label_count; ++k) {
        set_value(k, QString::fromStdString(update.display->labels[k]));
    }
}

void TForm1::Timer2Timer() {
    const bool silent = link_.watchdog();
    if (verlauf_ != nullptr) verlauf_->watchdog_tick(silent);
    if (!silent) return;
    for (std::size_t lamp = 0; lamp < lamp_count; ++lamp) show_lamp(lamp, false);
    for (std::size_t k = 0; k < value_label_count; ++k) set_value(k, QString());
}

void TForm1::Timer3Timer() {
    a_->setChecked(false);
    Timer3->stop();
}

void TForm1::oeffnecom() { link_.open(); }

void TForm1::schliessecom() { link_.close(); }

void TForm1::describe_ports() {
    const std::vector<SystemPort> listed = system_ports();
    for (int k = 0; k < comport_->count(); ++k) {
        comport_->setItemData(k, port_tip(port_target(k + first_port_number, listed), language_), Qt::ToolTipRole);
    }
    comport_->setToolTip(comport_->itemData(comport_->currentIndex(), Qt::ToolTipRole).toString());
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    // A press opens the list: its items' tooltips are then up to date.
    if (watched == comport_ && (event->type() == QEvent::ToolTip || event->type() == QEvent::MouseButtonPress)) {
        describe_ports();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::Button1Click() {
    // The window flag must be set before showing: setting it hides a shown window.
    para_->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    para_->show();
    para_->raise();
    Timer1->stop();
    schliessecom();
    setEnabled(false);
    if (verlauf_ != nullptr) verlauf_->handed_over();
}

void TForm1::take_port_back() {
    setEnabled(true);
    Timer1->start();
    oeffnecom();
    if (verlauf_ != nullptr) verlauf_->handed_back();
}

void TForm1::speicher_dateiClick() {
    info_->set_version_line(QString::fromLatin1(program_version_line));
    info_->show();
    info_->raise();
}

void TForm1::verlaufClick() {
    verlauf_->show();
    verlauf_->raise();
    verlauf_->activateWindow();
}

void TForm1::Beenden1Click() { close(); }

void TForm1::deutschClick() { apply_language(Language::german); }

void TForm1::englischClick() { apply_language(Language::english); }

void TForm1::apply_language(Language language) {
    language_ = language;
    describe_ports();
    para_->set_language(language);
    apply_texts(this, main_window_texts, language);
    apply_texts(para_, parameter_window_texts, language);
    if (verlauf_ != nullptr) verlauf_->apply_language(language);
}
