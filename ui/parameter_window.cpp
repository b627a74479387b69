#include "ui/parameter_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QTimer>

#include "parameter/config_file.h"
#include "parameter/exchange.h"
#include "parameter/line_messages.h"
#include "ui/controls.h"
#include "ui/fonts.h"
#include "ui/main_window.h"

using namespace zelk20;
using namespace zelk20::ui;

namespace {

constexpr QSize client_size{770, 486};

// A success message stays five seconds.
constexpr std::chrono::milliseconds status_clear_interval{5000};

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

// The port event grid's row texts; each row has the Port 1 and Port 2 boxes
// that check_box_bits lists for it, two by two. The last is the option row.
constexpr std::array<const char*, 8> event_rows = {"f1", "f2", "f3", "f4", "f5", "f6", "f7", "f8"};
constexpr int programming_box = check_box_count - 1;

// Description and pattern by turns. On Windows "*.*" matches every name; on
// Linux it misses names without a dot, and a name typed into the save dialog
// without an extension is saved as typed. "*" matches every file on both, so
// the second entry keeps its description "All files (*.*)" with the pattern "*".
constexpr char file_filter[] = "Text files (*.txt)|*.txt|All files (*.*)|*";

// A file name as the file system wants it, non-ASCII letters included (on
// Windows a narrow string would go through the ANSI code page).
std::filesystem::path file_path(const QString& name) { return std::filesystem::path(name.toStdU16String()); }

// The filters as a Qt file dialog takes them: it filters by the patterns in
// the last parentheses and, told to hide the details, shows what stands
// before them: "All files (*.*) (*)" shows as "All files (*.*)" and lists every file.
QStringList dialog_filters() {
    const QStringList parts = QString::fromLatin1(file_filter).split('|');
    QStringList filters;
    for (int k = 0; k + 1 < parts.size(); k += 2) filters << parts[k] + " (" + parts[k + 1] + ")";
    return filters;
}

QFileDialog* make_file_dialog(QWidget* parent, const char* name) {
    auto* dialog = new QFileDialog(parent);
    dialog->setObjectName(name);
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    return dialog;
}

// The threshold lists drop down as a list of 8 items below the field on
// every style. Styles that open a non-editable list as a popup menu around
// the current item (Fusion, Qt's style on Linux) ignore the count of visible
// items and make the popup as high as the screen.
class ThresholdListStyle : public QProxyStyle {
public:
    // Over the application's own style, not the desktop's default.
    explicit ThresholdListStyle(QObject* owner)
        : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {
        setParent(owner);
    }
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override {
        if (hint == SH_ComboBox_Popup) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

QCheckBox* make_box(QWidget* parent, const char* name, QPoint at) {
    auto* box = new QCheckBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(at.x(), at.y(), 17, 17);
    return box;
}

}  // namespace

Tpara::Tpara(TForm1* main_window) : main_window_(main_window) {
    setObjectName("para");
    setWindowTitle("Parameter");
    setWindowIcon(QIcon(":/app_icon.svg"));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(tahoma(11));
    move(0, 37);
    build_controls();

    Timer1 = make_timer(this, "Timer1", transfer.retry_interval());
    Timer3 = make_timer(this, "Timer3", status_clear_interval);
    connect(Timer1, &QTimer::timeout, this, &Tpara::Timer1Timer);
    connect(Timer3, &QTimer::timeout, this, &Tpara::Timer3Timer);

    OpenDialog1 = make_file_dialog(this, "OpenDialog1");
    OpenDialog1->setFileMode(QFileDialog::AnyFile);  // a name that does not exist reads as an empty file
    SaveDialog1 = make_file_dialog(this, "SaveDialog1");
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1->setOption(QFileDialog::DontConfirmOverwrite, false);
    SaveDialog1->setSizeGripEnabled(true);
    FormCreate();
}

void Tpara::build_controls() {
    build_menu();
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

    build_threshold_grid(area);

    const std::array<const char*, 3> buttons = {"Button1", "Button2", "Button3"};
    const std::array<int, 3> button_y = {208, 280, 360};
    for (std::size_t k = 0; k < buttons.size(); ++k) {
        auto* button = new QPushButton(area);
        button->setObjectName(buttons[k]);
        button->setFont(tahoma(16));
        button->setGeometry(24, button_y[k], 209, 33);
    }
    connect(findChild<QPushButton*>("Button1"), &QPushButton::clicked, this, &Tpara::laden);
    connect(findChild<QPushButton*>("Button2"), &QPushButton::clicked, this, &Tpara::Button2Click);
    connect(findChild<QPushButton*>("Button3"), &QPushButton::clicked, this, &Tpara::Button3Click);

    // Option frame: programming at the device, Port 1 only; its box comes
    // after the event grid's in the tab order.
    make_bevel(area, "Bevel4", {24, 416, 345, 49});
    build_event_grid(area);
    make_label(area, "f9", QString(), tahoma(16), {32, 431});
    check_boxes[programming_box] = make_box(area, check_box_bits[programming_box].name, {336, 432});
}

void Tpara::build_menu() {
    auto* menu_bar = new QMenuBar(this);
    menu_bar->setObjectName("MainMenu1");
    QMenu* file_menu = menu_bar->addMenu(QString());
    file_menu->setObjectName("oeffnen1");
    for (const char* name : {"oeffnen", "speichern", "schliessen"}) file_menu->addAction(QString())->setObjectName(name);
    connect(findChild<QAction*>("oeffnen"), &QAction::triggered, this, &Tpara::oeffnenClick);
    connect(findChild<QAction*>("speichern"), &QAction::triggered, this, &Tpara::speichernClick);
    connect(findChild<QAction*>("schliessen"), &QAction::triggered, this, &Tpara::schliessenClick);
    setMenuBar(menu_bar);
}

// The six threshold lists, In1, In2, Out across, voltages above currents,
// each with the red mark that flags a value outside its list.
void Tpara::build_threshold_grid(QWidget* area) {
    make_bevel(area, "Bevel2", {24, 48, 721, 129});
    const QFont grid_font = tahoma(16, true);
    const std::array<const char*, 3> headers = {"Label1", "Label4", "Label8"};
    const std::array<const char*, 3> header_texts = {"In1", "In2", "Out"};
    for (std::size_t c = 0; c < 3; ++c) make_label(area, headers[c], header_texts[c], grid_font, {field_columns[c], 60});
    make_label(area, "l_pgood", QString(), grid_font, {40, field_rows[0] + 1});
    make_label(area, "l_igood", QString(), grid_font, {40, field_rows[1] + 1});

    auto* list_style = new ThresholdListStyle(this);
    const std::array<const char*, 6> field_names = {"pgood1_sel", "pgood2_sel", "pgoodout_sel",
                                                    "igood1_sel", "igood2_sel", "igoodout_sel"};
    for (std::size_t k = 0; k < threshold_fields.size(); ++k) {
        const bool voltage = k < 3;
        const QPoint at(field_columns[k % 3], field_rows[voltage ? 0 : 1]);
        auto* field = new QComboBox(area);
        field->setObjectName(field_names[k]);
        field->setEditable(false);
        field->setStyle(list_style);
        field->setFont(ms_sans_serif(16));
        field->setMaxVisibleItems(8);
        for (int i = 0; i < (voltage ? voltage_items : current_items); ++i) {
            field->addItem(QString::fromStdString(voltage ? voltage_item(i) : current_item(i)));
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
}

// Which alarm sets which port: a row per event, a box per port.
void Tpara::build_event_grid(QWidget* area) {
    make_bevel(area, "Bevel1", {392, 200, 353, 265});
    make_label(area, "l_p1", QString(), tahoma(16, true), {port_box_x[0] - 16, 208});
    make_label(area, "l_p2", QString(), tahoma(16, true), {port_box_x[1] - 16, 208});
    for (std::size_t r = 0; r < event_rows.size(); ++r) {
        const bool option_row = r + 1 == event_rows.size();
        const int y = event_first_row + static_cast<int>(r) * event_row_pitch + (option_row ? event_row_pitch : 0);
        make_label(area, event_rows[r], QString(), tahoma(16, option_row), {event_text_x, y});
        for (std::size_t port = 0; port < 2; ++port) {
            const std::size_t box = 2 * r + port;
            check_boxes[box] = make_box(area, check_box_bits[box].name, {port_box_x[port], y + 1});
        }
    }
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
    main_window_->take_port_back();
    clear_window();
}

void Tpara::set_language(Language language) {
    sprache_deutsch = language == Language::german ? 1 : 0;
    sprache_englisch = language == Language::english ? 1 : 0;
}

void Tpara::clear_window() {
    for (QCheckBox* box : check_boxes) box->setChecked(false);
    sw_->clear();
    fa_->clear();
    status_->hide();
    for (QComboBox* field : threshold_fields) field->setCurrentIndex(-1);
    for (QLabel* mark : threshold_marks) mark->hide();
}

std::vector<std::uint8_t> Tpara::command(std::span<const std::uint8_t> request) {
    return zelk20::command(main_window_->link().current_port_name(), request);
}

void Tpara::show_message(const Message& message, const QColor& colour, const QString& suffix) {
    if (sprache_deutsch != 0) status_->setText(QString::fromUtf8(message.german) + suffix);
    if (sprache_englisch != 0) status_->setText(QString::fromUtf8(message.english) + suffix);
    QPalette palette = status_->palette();
    palette.setColor(QPalette::WindowText, colour);
    status_->setPalette(palette);
    status_->show();
}

std::optional<std::array<std::uint8_t, 6>> Tpara::threshold_bytes() {
    std::array<std::uint8_t, 6> bytes{};
    bool missing = false;
    for (std::size_t k = 0; k < threshold_fields.size(); ++k) {
        if (threshold_fields[k]->currentIndex() < 0) {
            threshold_marks[k]->show();  // marks of filled fields stay as they are
            missing = true;
        } else {
            bytes[k] = threshold_byte(threshold_fields[k]->currentText().toStdString());
        }
    }
    if (missing) return std::nullopt;
    return bytes;
}

ParameterSet Tpara::window_set(const std::array<std::uint8_t, 6>& thresholds) const {
    CheckBoxStates ticked{};
    for (std::size_t k = 0; k < check_box_count; ++k) ticked[k] = check_boxes[k]->isChecked();
    const auto masks = encode_check_boxes(ticked);
    ParameterSet set{};
    std::copy(thresholds.begin(), thresholds.end(), set.begin());
    std::copy(masks.begin(), masks.end(), set.begin() + parameter_byte::port1_events);
    return set;
}

void Tpara::show_set(const ParameterSet& set) {
    for (std::size_t byte = 0; byte < set.size(); ++byte) show_field(byte, set[byte]);
}

void Tpara::show_field(std::size_t byte, std::uint8_t value) {
    if (byte < parameter_byte::threshold_count) {
        threshold_fields[byte]->setCurrentIndex(threshold_position(byte, value).value_or(-1));
        return;
    }
    for (std::size_t k = 0; k < check_box_count; ++k) {
        if (check_box_bits[k].byte == byte) check_boxes[k]->setChecked((value & check_box_bits[k].bit) != 0);
    }
}

void Tpara::laden() {
    load_mode = true;
    clear_window();
    Timer3->stop();
    Timer3->setInterval(status_clear_interval);
    sende_ff();
}

void Tpara::Button2Click() {
    load_mode = false;
    Timer3->stop();
    Timer3->setInterval(status_clear_interval);
    sende_ff();
}

void Tpara::sende_ff() {
    status_->clear();
    status_->setPalette(palette());
    status_->hide();
    switch (transfer.after_attempt(attempt_transfer())) {
    case RetryStep::stop:
        Timer1->stop();
        Timer1->setInterval(transfer.retry_interval());
        show_message(messages::transfer_ok, Qt::black);
        Timer3->start(status_clear_interval);
        break;
    case RetryStep::retry:
        if (!Timer1->isActive()) Timer1->start();  // a running retry series goes on
        break;
    case RetryStep::none: break;
    }
}

AttemptOutcome Tpara::attempt_transfer() {
    if (load_mode) {
        const std::optional<ReadAnswer> answer = parse_read_answer(command(read_request));
        if (!answer) return AttemptOutcome::failed;
        show_set(answer->set);
        // Characters shown as received, one per byte.
        sw_->setText(QString::fromLatin1(version_line(*answer)));
        fa_->setText(QString::fromLatin1(fa_line(*answer)));
        sw_->adjustSize();
        fa_->adjustSize();
        return AttemptOutcome::accepted;
    }

    const auto thresholds = threshold_bytes();
    if (!thresholds) {
        show_message(messages::fill_all_fields, Qt::red);
        return AttemptOutcome::not_sent;
    }
    const WriteRequest request = write_request(window_set(*thresholds));
    return write_answer_accepted(command(request), request) ? AttemptOutcome::accepted : AttemptOutcome::failed;
}

void Tpara::Timer1Timer() {
    sende_ff();
    if (!transfer.count_tick()) return;
    Timer1->stop();
    Timer3->stop();
    show_message(messages::communication_failed, Qt::red);
}

void Tpara::Timer3Timer() {
    status_->hide();
    status_->clear();
    sw_->clear();
    fa_->clear();
    Timer3->stop();
}

void Tpara::Button3Click() {
    show_set(maker_defaults);
    status_->clear();
    for (QLabel* mark : threshold_marks) mark->hide();
}

std::optional<QString> Tpara::run_dialog(QFileDialog* dialog, QString& last_file) {
    dialog->setNameFilters(dialog_filters());
    dialog->selectNameFilter(dialog_filters().first());
    if (!last_file.isEmpty()) {
        dialog->setDirectory(QFileInfo(last_file).absolutePath());
        dialog->selectFile(last_file);
    }
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return std::nullopt;
    last_file = dialog->selectedFiles().first();
    return last_file;
}

void Tpara::speichernClick() {
    status_->clear();
    const auto thresholds = threshold_bytes();
    if (!thresholds) return show_message(messages::fill_all_fields, Qt::red);
    const std::optional<QString> file = run_dialog(SaveDialog1, last_save_file_);
    if (!file) return;
    const std::string text = write_config_file(window_set(*thresholds));
    if (!save_file_safely(file_path(*file), text)) show_message(messages::file_not_saved, Qt::red);
}

void Tpara::oeffnenClick() {
    const std::optional<QString> file = run_dialog(OpenDialog1, last_open_file_);
    if (!file) return;
    status_->clear();
    const std::string bytes = read_file_start(file_path(*file));
    const ConfigFileRead read = read_config_file(bytes);
    for (const ConfigField& field : read.fields) show_field(field.byte, field.value);
    if (read.malformed_field) {
        // As plain text: the field's characters are whatever the file holds.
        const std::string text = conversion_error_text(*read.malformed_field);
        QMessageBox box(QMessageBox::Critical, QApplication::applicationName(),
                        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
        return;
    }
    if (read.code == FileCheck::correct) {
        show_message(messages::file_read_ok, Qt::black);
    } else {
        show_message(messages::file_faulty, Qt::red, QString::number(code_number(read.code)));
    }
    Timer3->start(status_clear_interval);
}
