// The windows on the offscreen platform: start state, the live path over a
// pseudo-terminal, port pick, hand-over and back, both text sets, info window.
#include <memory>

#include <QAbstractItemView>
#include <QAction>
#include <QHelpEvent>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QTimer>
#include <QtTest>

#include "link/port_list.h"
#include "link/serial_port.h"
#include "sim/pseudo_terminal.h"
#include "sim/simulated_module.h"
#include "tests/test_frames.h"
#include "ui/info_window.h"
#include "ui/main_window.h"
#include "ui/parameter_window.h"
#include "ui/program.h"
#include "tests/window_fixture.h"

using zelk20::SerialPort;
using namespace zelk20::test;

namespace {

const QStringList lamp_faces_white = {"mb1_1_w", "mb1_2_w", "mb1_3_w", "mb1_4_w", "mb1_5_w", "mb1_6_w", "mb1_8_w"};
const QStringList lamp_faces_lit = {"mb1_1_g", "mb1_2_g", "mb1_3_r", "mb1_4_g", "mb1_5_g", "mb1_6_g", "mb1_8_g"};

// The lamps that show their lit face, by frame picture name.
QStringList lit_lamps(QWidget* main) {
    QStringList lit;
    for (int k = 0; k < lamp_faces_lit.size(); ++k) {
        const bool lit_shown = !control(main, lamp_faces_lit[k].toLatin1())->isHidden();
        const bool white_shown = !control(main, lamp_faces_white[k].toLatin1())->isHidden();
        if (lit_shown == white_shown) return {"both or neither face of " + lamp_faces_lit[k]};
        if (lit_shown) lit << lamp_faces_lit[k].left(5);
    }
    return lit;
}

}  // namespace

class WindowsTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        auto opened = zelk20::sim::PseudoTerminal::open();
        QVERIFY(opened);
        line = std::make_unique<zelk20::sim::PseudoTerminal>(std::move(*opened));
        ports.map(1, line->slave_path());
    }
    void cleanup() {
        program.reset();
        line.reset();
        module.reset();
        ports.restore();
    }

    void start_state_data();
    void start_state();
    void threshold_lists_data();
    void threshold_lists();
    void threshold_lists_drop_down_eight_items_data();
    void threshold_lists_drop_down_eight_items();
    void window_frames();
    void live_frame_shows_values_and_lamps_data();
    void live_frame_shows_values_and_lamps();
    void silent_second_blanks_but_noise_keeps_values();
    void line_full_of_noise_shows_every_valid_frame_and_no_other();
    void port_pick_takes_effect_on_the_next_tick();
    void port_tooltips_name_the_device_in_the_current_language();
    void hand_over_and_back_data();
    void hand_over_and_back();
    void text_sets_data();
    void text_sets();
    void info_window();
    void closing_the_main_window_ends_the_program();

private:
    void start() {
        program = std::make_unique<Program>();
    }
    void send(const zelk20::test::Bytes& bytes) { QVERIFY(line->write(bytes)); }

    std::unique_ptr<zelk20::sim::PseudoTerminal> line;
    zelk20::test::PortMapping ports;
    std::unique_ptr<zelk20::sim::SimulatedModule> module;
    std::unique_ptr<Program> program;
};

void WindowsTest::start_state_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("expected");

    auto row = [](const char* title, const char* window, const char* name, const char* property, QVariant value) {
        QTest::newRow(title) << window << name << property << value;
    };
    row("comport shows COM1", "main", "comport", "currentText", "COM1");
    row("comport has eleven ports", "main", "comport", "count", 11);
    row("comport last item COM11", "main", "comport", "itemText10", "COM11");
    row("comport shown", "main", "comport", "shown", true);
    row("a hidden", "main", "a", "shown", false);
    row("a unchecked", "main", "a", "checked", false);
    row("main Timer1 50 ms running", "main", "Timer1", "timer", "50 running");
    row("main Timer2 1000 ms running", "main", "Timer2", "timer", "1000 running");
    row("main Timer3 250 ms running", "main", "Timer3", "timer", "250 running");
    row("German max Strom", "main", "l_imax1", "text", "max Strom:");
    row("German Überstrom I1", "main", "l_igood1", "text", "Überstrom I1");
    row("German Parametrierung", "main", "Button1", "text", "Parametrierung");
    row("main title", "main", "Form1", "text", "ZELK20");
    row("para hidden", "para", "para", "shown", false);
    row("info hidden", "info", "Information", "shown", false);
    row("para Timer1 400 ms stopped", "para", "Timer1", "timer", "400 stopped");
    row("para Timer3 5000 ms stopped", "para", "Timer3", "timer", "5000 stopped");
    row("German Grenzwerte I[A]", "para", "l_igood", "text", "Grenzwerte I[A]");
    row("German Port 1", "para", "l_p1", "text", "Port 1");
    row("German KORVA Standard", "para", "Button3", "text", "KORVA Standard");
    row("status empty", "para", "status", "text", "");
    row("sw emptied", "para", "sw", "text", "");
    row("fa emptied", "para", "fa", "text", "");
    row("sprache_deutsch set", "para", "para", "sprache_deutsch", 1);
    row("sprache_englisch clear", "para", "para", "sprache_englisch", 0);
}

void WindowsTest::start_state() {
    QFETCH(QString, window);
    QFETCH(QString, name);
    QFETCH(QString, property);
    QFETCH(QVariant, expected);
    start();
    QObject* object = object_named(*program, window, name);
    QVERIFY2(object, qPrintable(name));

    QVariant actual;
    if (property == "shown") {
        actual = !qobject_cast<QWidget*>(object)->isHidden();
    } else if (property == "text") {
        actual = text_of(object);
    } else if (property == "timer") {
        auto* timer = qobject_cast<QTimer*>(object);
        actual = QString("%1 %2").arg(timer->interval()).arg(timer->isActive() ? "running" : "stopped");
    } else if (property.startsWith("itemText")) {
        actual = qobject_cast<QComboBox*>(object)->itemText(property.mid(8).toInt());
    } else if (property == "sprache_deutsch") {
        actual = int(program->para()->sprache_deutsch);
    } else if (property == "sprache_englisch") {
        actual = int(program->para()->sprache_englisch);
    } else {
        actual = object->property(property.toLatin1());
    }
    QCOMPARE(actual, expected);
}

void WindowsTest::threshold_lists_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    for (const char* name : {"pgood1_sel", "pgood2_sel", "pgoodout_sel"}) {
        QTest::newRow(name) << name << 51 << "20,0" << "25,0";
    }
    for (const char* name : {"igood1_sel", "igood2_sel", "igoodout_sel"}) {
        QTest::newRow(name) << name << 41 << "1,0" << "21,0";
    }
}

void WindowsTest::threshold_lists() {
    QFETCH(QString, name);
    QFETCH(int, count);
    QFETCH(QString, first);
    QFETCH(QString, last);
    start();
    auto* field = control<QComboBox>(program->para(), name.toLatin1());
    QCOMPARE(field->count(), count);
    QCOMPARE(field->itemText(0), first);
    QCOMPARE(field->itemText(count - 1), last);
    QCOMPARE(field->currentIndex(), -1);
    QVERIFY(!field->isEditable());
    QCOMPARE(field->maxVisibleItems(), 8);
    QVERIFY(control(program->para(), ("error_" + name).toLatin1())->isHidden());

    program->main()->englischClick();  // the items keep their decimal comma
    QCOMPARE(field->itemText(1), QString(count == 51 ? "20,1" : "1,5"));
}

void WindowsTest::threshold_lists_drop_down_eight_items_data() {
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("name");
    // Every style this Qt has: Fusion opens a non-editable list as a popup
    // menu as high as the screen unless told otherwise.
    for (const QString& style : QStyleFactory::keys()) {
        for (const char* name : {"pgood1_sel", "igoodout_sel"}) {
            QTest::newRow(qPrintable(style + " " + name)) << style << name;
        }
    }
}

void WindowsTest::threshold_lists_drop_down_eight_items() {
    QFETCH(QString, style);
    QFETCH(QString, name);
    const QString application_style = QApplication::style()->name();
    const auto restore = qScopeGuard([&] { QApplication::setStyle(application_style); });
    QApplication::setStyle(style);
    start();
    program->para()->show();
    auto* field = control<QComboBox>(program->para(), name.toLatin1());
    field->setCurrentIndex(20);  // a popup menu would open around this item
    field->showPopup();
    QAbstractItemView* list = field->view();
    QTRY_VERIFY(list->isVisible());
    const int row = list->sizeHintForRow(0);
    QVERIFY(row > 0);
    const double rows_shown = static_cast<double>(list->viewport()->height()) / row;
    field->hidePopup();
    QVERIFY2(rows_shown > 7.5 && rows_shown < 8.5, qPrintable(QString("%1 rows shown").arg(rows_shown)));
}

void WindowsTest::window_frames() {
    start();
    struct Expected {
        QWidget* window;
        QSize client;
        bool minimise;
    };
    for (const Expected& e : {Expected{program->main(), {811, 627}, true}, Expected{program->para(), {770, 486}, true},
                              Expected{program->info(), {731, 226}, false}}) {
        e.window->show();
        QWidget* client = e.window->findChild<QWidget*>("client");
        QCOMPARE(client ? client->size() : e.window->size(), e.client);
        QCOMPARE(e.window->minimumSize(), e.window->maximumSize());  // fixed
        QVERIFY(!(e.window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(e.window->windowFlags() & Qt::MSWindowsFixedSizeDialogHint);  // no sizing border on Windows
        QCOMPARE(bool(e.window->windowFlags() & Qt::WindowMinimizeButtonHint), e.minimise);
    }
    QCOMPARE(program->main()->pos(), QPoint(0, 0));
    QCOMPARE(program->para()->pos(), QPoint(0, 37));
    // Seventeen check boxes, all unticked; port 2 has no programming box.
    QCOMPARE(program->para()->findChildren<QCheckBox*>().size(), 17);
    for (QCheckBox* box : program->para()->findChildren<QCheckBox*>()) QVERIFY(!box->isChecked());
    QVERIFY(!program->para()->findChild<QCheckBox*>("port2_byte2_01"));
    QVERIFY(!program->para()->findChild<QCheckBox*>("port1_byte1_40"));
    QCOMPARE(lit_lamps(program->main()), QStringList());
    QCOMPARE(value_texts(program->main()), QStringList(18, QString()));
}

void WindowsTest::live_frame_shows_values_and_lamps_data() {
    QTest::addColumn<int>("alarm");
    QTest::addColumn<QStringList>("lit");
    QTest::newRow("alarm 00: all white") << 0x00 << QStringList();
    QTest::newRow("alarm FF: all lit, lamp 3 red")
        << 0xFF << QStringList{"mb1_1", "mb1_2", "mb1_3", "mb1_4", "mb1_5", "mb1_6", "mb1_8"};
    QTest::newRow("alarm 40: no lamp") << 0x40 << QStringList();
    QTest::newRow("alarm 04: output power-good red") << 0x04 << QStringList{"mb1_3"};
}

void WindowsTest::live_frame_shows_values_and_lamps() {
    QFETCH(int, alarm);
    QFETCH(QStringList, lit);
    start();
    TForm1* main = program->main();
    main->show();
    send(zelk20::test::typical_frame(static_cast<std::uint8_t>(alarm)));
    QTRY_VERIFY(control(main, "comport")->isHidden());
    QVERIFY(!control(main, "a")->isHidden());
    QTRY_COMPARE(control<QLabel>(main, "u1")->text(), QString("24,1 Vdc"));
    QCOMPARE(value_texts(main), typical_frame_texts);
    QCOMPARE(lit_lamps(main), lit);
}

void WindowsTest::silent_second_blanks_but_noise_keeps_values() {
    start();
    TForm1* main = program->main();
    main->show();
    send(zelk20::test::typical_frame(0x01));
    QTRY_COMPARE(control<QLabel>(main, "u1")->text(), QString("24,1 Vdc"));

    // Bytes that never form a frame keep the values standing.
    QElapsedTimer noise;
    noise.start();
    while (noise.elapsed() < 2500) {
        send({0x00, 0x31, 0x36});
        QTest::qWait(200);
    }
    QCOMPARE(control<QLabel>(main, "u1")->text(), QString("24,1 Vdc"));
    QCOMPARE(lit_lamps(main), QStringList{"mb1_1"});

    // A silent second blanks values and lamps; the indicator stays.
    QTRY_COMPARE_WITH_TIMEOUT(value_texts(main), QStringList(18, QString()), 3000);
    QCOMPARE(lit_lamps(main), QStringList());
    QVERIFY(!control(main, "a")->isHidden());
    QVERIFY(control(main, "comport")->isHidden());
}

void WindowsTest::line_full_of_noise_shows_every_valid_frame_and_no_other() {
    // At the line rate, 60 noise bytes before every frame and every fourth
    // check byte wrong: the line never rests.
    static constexpr std::size_t bad_every = 4;
    module = zelk20::sim::SimulatedModule::start(
        {.frame_period = std::chrono::milliseconds(1), .byte_time = zelk20::sim::line_byte_time,
         .frame_content = numbered_frame});
    QVERIFY(module);
    module->set_faults({.bad_check_every = bad_every, .noise_bytes = 60});
    ports.map(1, module->port_path());
    start();
    TForm1* main = program->main();
    main->show();
    ShownFrames tally(main, [](std::size_t number) { return number % bad_every != 0; });
    QTest::qWait(4000);

    module->set_faults({.silent = true});  // after the frame on its way
    std::size_t sent = 0;
    while (sent != module->frames_sent()) {
        sent = module->frames_sent();
        QTest::qWait(300);
    }
    QVERIFY2(sent >= 2 * bad_every, "a wrong check byte among the frames");
    QTRY_COMPARE(tally.shown(), sent - sent / bad_every);
    QCOMPARE(tally.misdecoded(), std::size_t{0});
}

void WindowsTest::port_pick_takes_effect_on_the_next_tick() {
    auto second = zelk20::sim::PseudoTerminal::open();
    QVERIFY(second);
    ports.map(3, second->slave_path());
    start();
    TForm1* main = program->main();
    main->show();
    QTRY_COMPARE(main->link().current_port_name(), std::string("COM1"));
    control<QComboBox>(main, "comport")->setCurrentIndex(2);
    QTRY_COMPARE(main->link().current_port_name(), std::string("COM3"));
    QVERIFY(SerialPort::open(line->slave_path()).is_open());  // COM1 was given up
    QVERIFY(second->write(zelk20::test::typical_frame()));
    QTRY_COMPARE(control<QLabel>(main, "u1")->text(), QString("24,1 Vdc"));
}

void WindowsTest::port_tooltips_name_the_device_in_the_current_language() {
    ports.unmap(11);
    const bool com11_free = zelk20::system_ports().size() < 11;
    start();
    TForm1* main = program->main();
    auto* comport = control<QComboBox>(main, "comport");
    auto tip = [comport](int item) { return comport->itemData(item, Qt::ToolTipRole).toString(); };
    const QString com1 = QString::fromStdString(line->slave_path()) + " (ZELK20_COM1)";
    QCOMPARE(tip(0), com1);
    QCOMPARE(comport->toolTip(), com1);
    for (int item = 0; item < comport->count(); ++item) {
        QCOMPARE(comport->itemText(item), QString("COM%1").arg(item + 1));
        QVERIFY2(!tip(item).isEmpty(), qPrintable(comport->itemText(item)));
    }
    if (com11_free) QCOMPARE(tip(10), QString("kein Gerät"));
    main->englischClick();
    if (com11_free) QCOMPARE(tip(10), QString("no device"));

    // A device that turns up is described the next time a tooltip is asked for.
    ports.map(11, "/dev/zelk20-plugged-in-later");
    QHelpEvent hover(QEvent::ToolTip, QPoint(5, 5), comport->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(comport, &hover);
    QCOMPARE(tip(10), QString("/dev/zelk20-plugged-in-later (ZELK20_COM11)"));
    comport->setCurrentIndex(10);
    QCOMPARE(comport->toolTip(), tip(10));
    ports.unmap(11);
    main->deutschClick();
    if (com11_free) QCOMPARE(comport->toolTip(), QString("kein Gerät"));
}

void WindowsTest::hand_over_and_back_data() {
    QTest::addColumn<bool>("by_menu");
    QTest::newRow("closed by Schließen") << true;
    QTest::newRow("closed by the close box") << false;
}

void WindowsTest::hand_over_and_back() {
    QFETCH(bool, by_menu);
    module = zelk20::sim::SimulatedModule::start();
    QVERIFY(module);
    ports.map(1, module->port_path());
    start();
    TForm1* main = program->main();
    Tpara* para = program->para();
    main->show();
    QTRY_COMPARE(control<QLabel>(main, "pgoodu1")->text(), QString("[20,4 Vdc]"));

    main->Button1Click();
    QVERIFY(para->isVisible());
    QVERIFY(para->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!main->Timer1->isActive());
    QVERIFY(main->Timer2->isActive());
    QVERIFY(!main->isEnabled());
    QVERIFY(para->isEnabled());
    {
        SerialPort port = SerialPort::open(module->port_path());
        QVERIFY2(port.is_open(), "the main window gave the port up");
    }
    QTRY_COMPARE_WITH_TIMEOUT(value_texts(main), QStringList(18, QString()), 3000);

    para->threshold_fields[2]->setCurrentIndex(7);
    para->check_boxes[3]->setChecked(true);
    para->threshold_marks[1]->show();
    if (by_menu) {
        control<QAction>(para, "schliessen")->trigger();
    } else {
        para->close();
    }
    QVERIFY(!para->isVisible());
    QVERIFY(main->isEnabled());
    QVERIFY(main->Timer1->isActive());
    QVERIFY2(!SerialPort::open(module->port_path()).is_open(), "the main window holds the port again");
    QCOMPARE(para->threshold_fields[2]->currentIndex(), -1);
    QVERIFY(!para->check_boxes[3]->isChecked());
    QVERIFY(para->threshold_marks[1]->isHidden());
    QTRY_COMPARE(control<QLabel>(main, "pgoodu1")->text(), QString("[20,4 Vdc]"));
}

void WindowsTest::text_sets_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("german");
    QTest::addColumn<QString>("english");
    auto row = [](const char* window, const char* name, const char* german, const char* english) {
        QTest::newRow(qPrintable(QString("%1 %2").arg(window, name))) << window << name << QString::fromUtf8(german)
                                                                      << QString::fromUtf8(english);
    };
    for (const char* s : {"1", "2", "out"}) {
        const QByteArray suffix(s);
        row("main", "l_uakt" + suffix, "akt. Spannung:", "voltage:");
        row("main", "l_iakt" + suffix, "akt. Strom:", "current:");
        row("main", "l_umin" + suffix, "min. Spannung:", "min. voltage:");
        row("main", "l_imax" + suffix, "max Strom:", "max. current:");
    }
    row("main", "l_pgoodout", "Uout<Power Good", "Uout<Power Good");
    row("main", "l_igoodout", "Überstrom Iout", "overcurrent Iout");
    row("main", "l_pgood1", "Uin1<Power Good", "Uin1<Power Good");
    row("main", "l_igood1", "Überstrom I1", "overcurrent I1");
    row("main", "l_pgood2", "Uin2<Power Good", "Uin2<Power Good");
    row("main", "l_igood2", "Überstrom I2", "overcurrent I2");
    row("main", "a", "Aktualisierung", "update");
    row("main", "l_hwerror", "Hardwarefehler", "hardware fault");
    row("main", "Button1", "Parametrierung", "configuration");
    row("main", "Form1", "ZELK20", "ZELK20");
    row("main", "Label16", "Tessaro", "Tessaro");
    row("main", "Label7", "Redundancy Module", "Redundancy Module");
    row("main", "Label19", "Out", "Out");
    row("main", "Label9", "In1", "In1");
    row("main", "Label10", "In2", "In2");
    row("main", "oeffnen1", "Datei", "Datei");
    row("main", "speicher_datei", "Info...", "Info...");
    row("main", "Beenden1", "Beenden", "Beenden");
    row("para", "l_pgood", "Grenzwerte U[V]", "threshold U[V]");
    row("para", "l_igood", "Grenzwerte I[A]", "threshold I[A]");
    row("para", "l_p1", "Port 1", "port 1");
    row("para", "l_p2", "Port 2", "port 2");
    row("para", "f1", "Uin1<Power Good", "Uin1<Power Good");
    row("para", "f2", "Uin2<Power Good", "Uin2<Power Good");
    row("para", "f3", "Uout<Power Good", "Uout<Power Good");
    row("para", "f4", "Überstrom I1", "overcurrent I1");
    row("para", "f5", "Überstrom I2", "overcurrent I2");
    row("para", "f6", "Überstrom Iout", "overcurrent Iout");
    row("para", "f7", "Hardwarefehler", "hardware fault");
    row("para", "f8", "Ausgang invertieren", "output inverted");
    row("para", "f9", "Programmierung am Gerät erlauben", "programming allowed");
    row("para", "Button1", "Konfiguration laden", "load configuration");
    row("para", "Button2", "Konfiguration schreiben", "write configuration");
    row("para", "Button3", "KORVA Standard", "KORVA default");
    row("para", "oeffnen1", "Datei", "file");
    row("para", "oeffnen", "Öffnen", "open");
    row("para", "speichern", "Speichern", "save");
    row("para", "schliessen", "Schließen", "close");
    row("para", "para", "Parameter", "Parameter");
    row("para", "Label1", "In1", "In1");
    row("para", "Label8", "Out", "Out");
    // The history window and its menu item.
    row("main", "verlauf", "Verlauf...", "History...");
    row("main", "speicher_datei", "Info...", "Info...");
    row("main", "Beenden1", "Beenden", "Beenden");
    row("verlauf", "Verlauf", "Verlauf", "History");
    row("verlauf", "l_zeitraum", "Zeitraum:", "time span:");
    row("verlauf", "pause", "Pause", "pause");
    row("verlauf", "aufnahme", "Aufnahme...", "record...");
    row("verlauf", "bild_speichern", "Bild speichern...", "save picture...");
    row("verlauf", "l_grenzwerte", "Grenzwerte", "thresholds");
    row("verlauf", "kurve_u1", "In1 U", "In1 U");
    row("verlauf", "kurve_imaxout", "Out Imax", "Out Imax");
}

void WindowsTest::text_sets() {
    QFETCH(QString, window);
    QFETCH(QString, name);
    QFETCH(QString, german);
    QFETCH(QString, english);
    start();
    QObject* object = object_named(*program, window, name);
    QVERIFY2(object, qPrintable(name));
    QCOMPARE(text_of(object), german);
    program->main()->englischClick();
    QCOMPARE(text_of(object), english);
    QCOMPARE(program->para()->sprache_englisch, std::uint8_t{1});
    QCOMPARE(program->para()->sprache_deutsch, std::uint8_t{0});
    program->main()->englischClick();  // the active language again: nothing changes
    QCOMPARE(text_of(object), english);
    program->main()->deutschClick();
    QCOMPARE(text_of(object), german);
    QCOMPARE(program->para()->sprache_deutsch, std::uint8_t{1});
    QCOMPARE(program->para()->sprache_englisch, std::uint8_t{0});
}

void WindowsTest::info_window() {
    start();
    TForm1* main = program->main();
    TInfo* info = program->info();
    main->show();
    for (int opening = 0; opening < 2; ++opening) {
        control<QAction>(main, "speicher_datei")->trigger();
        QVERIFY(info->isVisible());
        QCOMPARE(control<QLabel>(info, "StaticText1")->text(), QString("Version 1.1.0"));
        QVERIFY(main->isEnabled());
        QTest::mouseClick(control(info, "StaticText7"), Qt::LeftButton);  // looks like a link, does nothing
        QVERIFY(info->isVisible());
        if (opening == 0) {
            QTest::mouseClick(control<QPushButton>(info, "Button1"), Qt::LeftButton);
        } else {
            info->close();
        }
        QVERIFY(!info->isVisible());
    }
    // While it is open the monitor goes on updating.
    control<QAction>(main, "speicher_datei")->trigger();
    send(zelk20::test::typical_frame());
    QTRY_COMPARE(control<QLabel>(main, "u1")->text(), QString("24,1 Vdc"));
}

void WindowsTest::closing_the_main_window_ends_the_program() {
    start();
    program->main()->show();
    program->main()->speicher_dateiClick();
    // The event loop ends by itself; the info window, still open, does not keep it alive.
    QTimer::singleShot(0, [&] { control<QAction>(program->main(), "Beenden1")->trigger(); });
    QTimer::singleShot(3000, [] { QApplication::exit(1); });  // the program failed to end
    QCOMPARE(QApplication::exec(), 0);
}

QTEST_MAIN(WindowsTest)
#include "windows_test.moc"
