#include "ui/parameter_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include "ui/fonts.h"
#include "ui/main_window.h"

using namespace zelk20::ui;

namespace {

constexpr QSize client_size{770, 486};

// Threshold lists: 20,0 to 25,0 V in 0,1 V steps; 1,0 to 21,0 A in 0,5 A steps.
constexpr int voltage_items = 51;
constexpr int current_items = 41;

// The threshold grid's three columns (In1, In2, Out) and two rows.
constexpr std::array<int, 3> field_columns = {200, 200 + 176, 200 + 176 + 168};
constexpr std::array<int, 2> field_rows = {92, 136};
constexpr QSize field_size{65, 22};
constexpr int mark_gap = 7;

// The port event grid: rows 24 apart, the option row 48 below the seventh.
constexpr int event_text_x = 400;
constexpr int event_first_row = 236;
constexpr int event_row_pitch = 24;
constexpr std::array<int, 2> port_box_x = {632, 696};

// Every check box: the Port 1 and Port 2 columns of the event grid, row by
// row, then the programming box on its own.
struct BoxRow {
    const char* text_name;
    const char* german;
    std::array<const char*, 2> boxes;  // Port 1, Port 2 (none for the programming box's port 2)
};
constexpr BoxRow event_rows[] = {
    {"f1", "Uin1<Power Good", {"port1_byte1_01", "port2_byte1_01"}},
    {"f2", "Uin2<Power Good", {"port1_byte1_02", "port2_byte1_02"}},
    {"f3", "Uout<Power Good", {"port1_byte1_04", "port2_byte1_04"}},
    {"f4", "Überstrom I1", {"port1_byte1_08", "port2_byte1_08"}},
    {"f5", "Überstrom I2", {"port1_byte1_10", "port2_byte1_10"}},
    {"f6", "Überstrom Iout", {"port1_byte1_20", "port2_byte1_20"}},
    {"f7", "Hardwarefehler", {"port1_byte1_80", "port2_byte1_80"}},
    {"f8", "Ausgang invertieren", {"port1_byte2_02", "port2_byte2_02"}},
};

QLabel* make_label(QWidget* parent, const char* name, const QString& text, const QFont& font, QPoint at) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    label->move(at);
    label->adjustSize();
    return label;
}

QCheckBox* make_box(QWidget* parent, const char* name, QPoint at) {
    auto* box = new QCheckBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(at.x(), at.y(), 17, 17);
    return box;
}

QString tenths_text(int tenths) { return QString("%1,%2").arg(tenths / 10).arg(tenths % 10); }

}  // namespace

Tpara::Tpara(TForm1* main_window) : main_window_(main_window) {
    setObjectName("para");
    setWindowTitle("Parameter");
    setWindowIcon(QIcon(":/app_icon.svg"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(tahoma(11));
    move(0, 37);
    build_controls();

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(400);
    Timer3 = new QTimer(this);
    Timer3->setObjectName("Timer3");
    Timer3->setInterval(5000);

    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName("OpenDialog1");
    SaveDialog1 = new QFileDialog(this);
    SaveDialog1->setObjectName("SaveDialog1");
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1->setOption(QFileDialog::DontConfirmOverwrite, false);
    SaveDialog1->setSizeGripEnabled(true);
    FormCreate();
}

void Tpara::build_controls() {
    auto* menu_bar = new QMenuBar(this);
    menu_bar->setObjectName("MainMenu1");
    QMenu* file_menu = menu_bar->addMenu("Datei");
    file_menu->setObjectName("oeffnen1");
    for (auto [name, text] : {std::pair{"oeffnen", "Öffnen"}, std::pair{"speichern", "Speichern"},
                              std::pair{"schliessen", "Schließen"}}) {
        file_menu->addAction(QString::fromUtf8(text))->setObjectName(name);
    }
    connect(findChild<QAction*>("schliessen"), &QAction::triggered, this, &Tpara::schliessenClick);
    setMenuBar(menu_bar);

    auto* area = new QWidget(this);
    area->setObjectName("client");
    area->setFixedSize(client_size);
    setCentralWidget(area);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    status_ = new QLabel(area);
    status_->setObjectName("status");
    status_->setFont(tahoma(15, true));
    status_->setGeometry(24, 14, 417, 20);
    sw_ = make_label(area, "sw", "sw", tahoma(15), {464, 10});
    fa_ = make_label(area, "fa", "fa", tahoma(15), {464, 28});

    // Threshold grid.
    auto* grid = new QFrame(area);
    grid->setObjectName("Bevel2");
    grid->setFrameStyle(QFrame::Box | QFrame::Raised);
    grid->setGeometry(24, 48, 721, 129);
    const QFont grid_font = tahoma(16, true);
    const std::array<const char*, 3> headers = {"Label1", "Label4", "Label8"};
    const std::array<const char*, 3> header_texts = {"In1", "In2", "Out"};
    for (std::size_t c = 0; c < 3; ++c) make_label(area, headers[c], header_texts[c], grid_font, {field_columns[c], 60});
    make_label(area, "l_pgood", "Grenzwerte U[V]", grid_font, {40, field_rows[0] + 1});
    make_label(area, "l_igood", "Grenzwerte I[A]", grid_font, {40, field_rows[1] + 1});

    const std::array<const char*, 6> field_names = {"pgood1_sel", "pgood2_sel", "pgoodout_sel",
                                                    "igood1_sel", "igood2_sel", "igoodout_sel"};
    for (std::size_t k = 0; k < threshold_fields.size(); ++k) {
        const bool voltage = k < 3;
        const QPoint at(field_columns[k % 3], field_rows[voltage ? 0 : 1]);
        auto* field = new QComboBox(area);
        field->setObjectName(field_names[k]);
        field->setEditable(false);
        field->setFont(ms_sans_serif(16));
        field->setMaxVisibleItems(8);
        for (int i = 0; i < (voltage ? voltage_items : current_items); ++i) {
            field->addItem(tenths_text(voltage ? 200 + i : 10 + 5 * i));
        }
        field->setCurrentIndex(-1);
        field->setGeometry({at, field_size});
        threshold_fields[k] = field;

        const QByteArray mark_name = QByteArray("error_") + field_names[k];
        QLabel* mark = make_label(area, mark_name.constData(), "!", tahoma(21, true),
                                  {at.x() + field_size.width() + mark_gap, at.y() - 3});
        QPalette red = mark->palette();
        red.setColor(QPalette::WindowText, Qt::red);
        mark->setPalette(red);
        mark->hide();
        threshold_marks[k] = mark;
    }

    // Buttons; their texts come from the text sets ("KORVA Standard Werte"
    // stands only until the German set replaces it at start).
    const std::array<std::pair<const char*, const char*>, 3> buttons = {
        std::pair{"Button1", "Konfiguration laden"}, std::pair{"Button2", "Konfiguration schreiben"},
        std::pair{"Button3", "KORVA Standard Werte"}};
    const std::array<int, 3> button_y = {208, 280, 360};
    for (std::size_t k = 0; k < buttons.size(); ++k) {
        auto* button = new QPushButton(buttons[k].second, area);
        button->setObjectName(buttons[k].first);
        button->setFont(tahoma(16));
        button->setGeometry(24, button_y[k], 209, 33);
    }

    // Option frame: programming at the device, Port 1 only.
    auto* option_frame = new QFrame(area);
    option_frame->setObjectName("Bevel4");
    option_frame->setFrameStyle(QFrame::Box | QFrame::Raised);
    option_frame->setGeometry(24, 416, 345, 49);

    // Port event grid.
    auto* events = new QFrame(area);
    events->setObjectName("Bevel1");
    events->setFrameStyle(QFrame::Box | QFrame::Raised);
    events->setGeometry(392, 200, 353, 265);
    make_label(area, "l_p1", "Port 1", grid_font, {port_box_x[0] - 16, 208});
    make_label(area, "l_p2", "Port 2", grid_font, {port_box_x[1] - 16, 208});

    std::size_t box = 0;
    for (std::size_t r = 0; r < std::size(event_rows); ++r) {
        const BoxRow& row = event_rows[r];
        const bool option_row = r == 7;
        const int y = event_first_row + static_cast<int>(r) * event_row_pitch + (option_row ? event_row_pitch : 0);
        make_label(area, row.text_name, QString::fromUtf8(row.german), tahoma(16, option_row), {event_text_x, y});
        for (std::size_t port = 0; port < 2; ++port) {
            check_boxes[box++] = make_box(area, row.boxes[port], {port_box_x[port], y + 1});
        }
    }
    make_label(area, "f9", QString::fromUtf8("Programmierung am Gerät erlauben"), tahoma(16), {32, 431});
    check_boxes[box] = make_box(area, "port1_byte2_01", {336, 432});
}

void Tpara::FormCreate() {
    sw_->clear();
    fa_->clear();
}

void Tpara::schliessenClick() { close(); }

void Tpara::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();  // hides the window; it lives on for the next hand-over
}

void Tpara::FormClose() {
    main_window_->setEnabled(true);
    main_window_->Timer1->start();
    main_window_->oeffnecom();
    clear_window();
}

void Tpara::clear_window() {
    for (QCheckBox* box : check_boxes) box->setChecked(false);
    sw_->clear();
    fa_->clear();
    status_->hide();
    for (QComboBox* field : threshold_fields) field->setCurrentIndex(-1);
    for (QLabel* mark : threshold_marks) mark->hide();
}
