// Renders the three windows to PNG files for looking at them: German and
// English, the port list opened with an item's tooltip, a threshold list
// dropped down, and the main window live against the simulated module with
// lamps lit (the red one included). Usage: render_windows OUTPUT_DIR
#include <cstdlib>
#include <memory>

#include <QApplication>
#include <QCheckBox>
#include <QAbstractItemView>
#include <QComboBox>
#include <QMouseEvent>
#include <QToolTip>
#include <QLabel>
#include <QDir>
#include <QPainter>
#include <QElapsedTimer>
#include <QTextStream>

#include "sim/simulated_module.h"
#include "ui/info_window.h"
#include "ui/main_window.h"
#include "ui/parameter_window.h"
#include "ui/program.h"
#include "tests/history_data.h"
#include "tests/window_fixture.h"

namespace {

void run_events_for(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The tooltip shows in a window of its own, the opened list in another: the
// three grabs are put together as the screen shows them.
QPixmap screen_part(QWidget* window, std::initializer_list<QWidget*> above) {
    const QPoint origin = window->mapToGlobal(QPoint(0, 0));
    QRect bounds(QPoint(0, 0), window->size());
    for (QWidget* top : above) bounds |= top->geometry().translated(-origin);
    QPixmap canvas(bounds.size());
    canvas.fill(Qt::darkGray);
    QPainter painter(&canvas);
    painter.drawPixmap(-bounds.topLeft(), window->grab());
    for (QWidget* top : above) painter.drawPixmap(top->geometry().topLeft() - origin - bounds.topLeft(), top->grab());
    return canvas;
}

QWidget* shown_tooltip() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && top->inherits("QTipLabel")) return top;
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QDir out(argc > 1 ? argv[1] : ".");
    QDir().mkpath(out.path());
    QTextStream log(stdout);
    auto save = [&](QWidget* window, const char* name) {
        const QString path = out.filePath(name);
        window->grab().save(path);
        log << path << "\n";
    };

    auto module = zelk20::sim::SimulatedModule::start();
    if (!module) return 1;
    module->set_faults({.alarm = 0x8D});  // lamps 1, 3 (red), 4 and 8
    qputenv("ZELK20_COM1", "/dev/zelk20-not-connected");
    qputenv("ZELK20_COM2", module->port_path().c_str());

    zelk20::test::Program program;
    auto [main_window, para, info, verlauf] = program.windows;
    main_window->show();
    run_events_for(300);
    save(main_window, "main_de.png");

    // A click opens the port list; the pointer rests on item `item`.
    auto save_port_tip = [&](int item, const char* name) {
        auto* comport = main_window->findChild<QComboBox*>("comport");
        const QPointF inside(20, 10);
        QMouseEvent press(QEvent::MouseButtonPress, inside, comport->mapToGlobal(inside), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(comport, &press);
        run_events_for(200);
        QAbstractItemView* view = comport->view();
        view->setCurrentIndex(view->model()->index(item, 0));
        const QPoint at = view->viewport()->mapToGlobal(view->visualRect(view->model()->index(item, 0)).center());
        QToolTip::showText(at, comport->itemData(item, Qt::ToolTipRole).toString(), view->viewport());
        run_events_for(300);
        QWidget* tip = shown_tooltip();
        const QString path = out.filePath(name);
        (tip ? screen_part(main_window, {view->window(), tip}) : screen_part(main_window, {view->window()})).save(path);
        log << path << (tip ? "" : " (no tooltip shown)") << "\n";
        QToolTip::hideText();
        comport->hidePopup();
        run_events_for(100);
    };
    save_port_tip(1, "main_port_tip_de.png");  // COM2: the simulated module
    save_port_tip(2, "main_port_no_device_de.png");
    para->show();
    run_events_for(100);
    save(para, "para_de.png");
    // A threshold list dropped down, drawn over the window where it opens.
    auto* list = para->threshold_fields[1];
    list->setCurrentIndex(4);
    list->showPopup();
    run_events_for(100);
    QWidget* popup = list->view()->window();
    QPixmap dropped = para->grab();
    QPainter(&dropped).drawPixmap(popup->pos() - para->mapToGlobal(QPoint(0, 0)), popup->grab());
    dropped.save(out.filePath("para_list_dropped.png"));
    log << out.filePath("para_list_dropped.png") << "\n";
    list->hidePopup();
    list->setCurrentIndex(-1);
    para->hide();
    main_window->speicher_dateiClick();
    run_events_for(100);
    save(info, "info.png");
    info->hide();

    main_window->englischClick();
    run_events_for(100);
    save(main_window, "main_en.png");
    save_port_tip(1, "main_port_tip_en.png");
    save_port_tip(2, "main_port_no_device_en.png");
    para->show();
    run_events_for(100);
    save(para, "para_en.png");
    para->hide();

    main_window->deutschClick();
    main_window->findChild<QComboBox*>("comport")->setCurrentIndex(1);  // COM2: the simulated module
    run_events_for(1500);
    save(main_window, "main_live.png");

    // The parameter window after a load from the module, then with a field
    // emptied and a write refused, in English.
    main_window->Button1Click();
    para->laden();
    run_events_for(200);
    save(para, "para_loaded.png");
    para->close();
    main_window->englischClick();
    main_window->Button1Click();
    para->Button3Click();
    para->threshold_fields[5]->setCurrentIndex(-1);
    para->Button2Click();
    run_events_for(200);
    save(para, "para_refused_en.png");
    para->close();

    // The history window after an hour with alarms, a silence and a
    // hand-over: the last ten minutes in German, the hour in English.
    TVerlauf history;
    zelk20::test::feed_an_hour(history, std::chrono::system_clock::now());
    history.apply_language(zelk20::Language::german);
    history.show();
    run_events_for(300);
    save(&history, "history_de.png");
    history.apply_language(zelk20::Language::english);
    history.findChild<QComboBox*>("zeitraum")->setCurrentIndex(2);
    history.findChild<QCheckBox*>("kurve_umin1")->setChecked(false);
    run_events_for(300);
    save(&history, "history_en.png");
    main_window->deutschClick();
    main_window->verlaufClick();  // the program's own, with the live frames
    run_events_for(1500);
    save(verlauf, "history_live.png");
    return 0;
}
