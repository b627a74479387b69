// The history window on the offscreen platform against the simulated module:
// its menu item, opening and hiding, frames as points, the event list,
// recording and the picture.
#include <cmath>
#include <memory>

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <qcustomplot.h>

#include "link/status_log.h"
#include "sim/simulated_module.h"
#include "tests/test_frames.h"
#include "tests/window_fixture.h"
#include "ui/history_window.h"

using namespace zelk20;
using namespace zelk20::test;

namespace {

// The legend's name of each measured value, in the order the frame carries them.
const QStringList series_names = {"In1 U",    "In2 U",    "Out U",    "In1 I",    "In2 I",    "Out I",
                                  "In1 Umin", "In2 Umin", "Out Umin", "In1 Imax", "In2 Imax", "Out Imax"};

QCPGraph* graph_named(QCustomPlot* plot, const QString& name) {
    for (int k = 0; k < plot->graphCount(); ++k) {
        if (plot->graph(k)->name() == name) return plot->graph(k);
    }
    qFatal("no graph %s", qPrintable(name));
}

// The values a graph holds, gaps as NaN.
QList<double> values_of(QCPGraph* graph) {
    QList<double> values;
    for (auto it = graph->data()->constBegin(); it != graph->data()->constEnd(); ++it) values << it->value;
    return values;
}

std::size_t number_of_gaps(QCPGraph* graph) {
    std::size_t gaps = 0;
    for (double value : values_of(graph)) gaps += std::isnan(value) ? 1 : 0;
    return gaps;
}

QStringList split_row(const QString& row) { return row.split(','); }

QStringList lines_of(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split("\r\n");
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

}  // namespace

class HistoryWindowTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        program.reset();
        module.reset();
        ports.restore();
    }

    void menu_item_sits_between_info_and_beenden();
    void opens_non_modally_and_closing_only_hides();
    void frames_become_points_in_volts_and_amperes();
    void views_and_pause_data();
    void views_and_pause();
    void alarm_bit_on_and_off_gives_two_rows();
    void silent_second_gives_the_link_rows_and_a_gap();
    void hand_over_gives_its_rows_and_a_gap();
    void recording_parses_back_to_the_frames_sent();
    void recording_that_cannot_write_is_reported_in_red_data();
    void recording_that_cannot_write_is_reported_in_red();
    void plot_saved_as_png();

private:
    // The program on the simulated module, the history window shown.
    void start(sim::Options options = {}, sim::Faults faults = {}) {
        module = sim::SimulatedModule::start(std::move(options));
        QVERIFY(module);
        module->set_faults(faults);
        ports.map(1, module->port_path());
        program = std::make_unique<Program>();
        program->main()->show();
        control<QAction>(program->main(), "verlauf")->trigger();
        QVERIFY(verlauf()->isVisible());
    }
    TVerlauf* verlauf() const { return program->verlauf(); }
    QAbstractItemModel* events() const { return control<QTableView>(verlauf(), "events")->model(); }
    QString cell(int row, int column) const { return events()->index(row, column).data().toString(); }
    // The event list as "event: state", newest first.
    QStringList event_rows() const {
        QStringList rows;
        for (int r = 0; r < events()->rowCount(); ++r) rows << cell(r, 1) + ": " + cell(r, 2);
        return rows;
    }
    QCustomPlot* plot() const { return control<QCustomPlot>(verlauf(), "diagramm"); }
    std::size_t points() const { return verlauf()->history().points().size(); }

    std::unique_ptr<sim::SimulatedModule> module;
    std::unique_ptr<Program> program;
    zelk20::test::PortMapping ports;
};

void HistoryWindowTest::menu_item_sits_between_info_and_beenden() {
    program = std::make_unique<Program>();
    QStringList items;
    for (QAction* action : control<QMenu>(program->main(), "oeffnen1")->actions()) items << action->objectName();
    QCOMPARE(items, (QStringList{"speicher_datei", "verlauf", "Beenden1"}));
}

void HistoryWindowTest::opens_non_modally_and_closing_only_hides() {
    start();
    TVerlauf* window = verlauf();
    QVERIFY(!window->isModal());
    QVERIFY(program->main()->isEnabled());
    QVERIFY(program->main()->Timer1->isActive());
    QVERIFY(window->minimumSize() != window->maximumSize());  // resizable
    window->resize(700, 500);
    QCOMPARE(window->size(), QSize(700, 500));
    QTRY_VERIFY(points() >= 2);  // the monitor goes on while it is open

    window->close();
    QVERIFY(!window->isVisible());
    const std::size_t hidden_at = points();
    QTRY_VERIFY(points() > hidden_at);  // and collects while it is hidden
    control<QAction>(program->main(), "verlauf")->trigger();
    QCOMPARE(program->windows.verlauf, window);
    QVERIFY(window->isVisible());
    // Shown again, the plot holds what came while hidden.
    QCOMPARE(static_cast<std::size_t>(graph_named(plot(), "In1 U")->data()->size()), points());
}

void HistoryWindowTest::frames_become_points_in_volts_and_amperes() {
    start({.frame_content = numbered_frame});
    QTRY_VERIFY(points() >= 6);
    for (const HistoryPoint& point : verlauf()->history().points()) {
        const std::size_t number = point.values.measured_hundredths[3] + 1000u * point.values.measured_hundredths[4];
        QCOMPARE(point.values, accepted_status_values(numbered_frame(number)).value());
    }
    // The plot's last point of every series: the value sent, in volts or amperes.
    const std::size_t at_plot = points();
    const StatusValues sent = verlauf()->history().points().back().values;
    for (std::size_t k = 0; k < 12; ++k) {
        QCPGraph* graph = graph_named(plot(), series_names[static_cast<int>(k)]);
        // Lowest voltages and highest currents are kept as steps, from their changes.
        if (k < 6) QCOMPARE(static_cast<std::size_t>(graph->data()->size()), at_plot);
        QCOMPARE(values_of(graph).last(), sent.measured_hundredths[k] / 100.0);
        QCOMPARE(graph->valueAxis()->label(), QString(measured_in_volts(k) ? "U [V]" : "I [A]"));
    }
    const QList<double> i1 = values_of(graph_named(plot(), "In1 I"));
    QCOMPARE(i1[i1.size() - 1] - i1[i1.size() - 2], 0.01);  // numbered frames count up in I1
    QCOMPARE(events()->rowCount(), 0);
}

void HistoryWindowTest::views_and_pause_data() {
    QTest::addColumn<int>("view");
    QTest::addColumn<double>("seconds");
    QTest::newRow("1 min") << 0 << 60.0;
    QTest::newRow("10 min") << 1 << 600.0;
    QTest::newRow("60 min") << 2 << 3600.0;
}

void HistoryWindowTest::views_and_pause() {
    QFETCH(int, view);
    QFETCH(double, seconds);
    start();
    auto* span = control<QComboBox>(verlauf(), "zeitraum");
    QCOMPARE(span->currentText(), QString("10 min"));
    span->setCurrentIndex(view);
    QCOMPARE(span->currentText(), QString("%1 min").arg(seconds / 60));
    QTRY_VERIFY(points() >= 2);
    QCPAxis* time_axis = graph_named(plot(), "In1 I")->keyAxis();
    QCOMPARE(time_axis->range().size(), seconds);
    // The view ends at the latest frame; on the longer views it moves on a
    // pixel at a time, so the newest points may run a little ahead of it.
    QTRY_VERIFY(graph_named(plot(), "In1 I")->data()->constEnd()[-1].key - time_axis->range().upper <= seconds / 100);

    // Paused, the view stands still while the history goes on.
    auto* pause = control<QPushButton>(verlauf(), "pause");
    pause->click();
    QVERIFY(pause->isChecked());
    const QCPRange frozen = time_axis->range();
    const int plotted = graph_named(plot(), "In1 U")->data()->size();
    const std::size_t at = points();
    QTRY_VERIFY(points() >= at + 3);
    QCOMPARE(time_axis->range(), frozen);
    QCOMPARE(graph_named(plot(), "In1 U")->data()->size(), plotted);
    pause->click();
    QCOMPARE(static_cast<std::size_t>(graph_named(plot(), "In1 U")->data()->size()), points());
    QVERIFY(time_axis->range().upper > frozen.upper);

    // A line switched off takes its threshold with it.
    control<QCheckBox>(verlauf(), "kurve_u2")->setChecked(false);
    QVERIFY(!graph_named(plot(), "In2 U")->visible());
    int dashed_shown = 0;
    for (int k = 0; k < plot()->graphCount(); ++k) {
        QCPGraph* graph = plot()->graph(k);
        if (graph->pen().style() == Qt::DashLine && graph->visible()) ++dashed_shown;
    }
    QCOMPARE(dashed_shown, 5);
}

void HistoryWindowTest::alarm_bit_on_and_off_gives_two_rows() {
    start({}, {.alarm = 0x00});
    QTRY_VERIFY(points() >= 2);
    module->set_faults({.alarm = 0x10});
    QTRY_COMPARE(events()->rowCount(), 1);
    module->set_faults({.alarm = 0x00});
    QTRY_COMPARE(events()->rowCount(), 2);
    QCOMPARE(event_rows(), (QStringList{"Überstrom I2: aus", "Überstrom I2: ein"}));
    QVERIFY(cell(0, 0) >= cell(1, 0));  // newest at the top
    QVERIFY2(QRegularExpression(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d,\d{3}$)").match(cell(0, 0)).hasMatch(),
             qPrintable(cell(0, 0)));
    program->main()->englischClick();
    QCOMPARE(event_rows(), (QStringList{"overcurrent I2: off", "overcurrent I2: on"}));
    QCOMPARE(events()->headerData(1, Qt::Horizontal).toString(), QString("event"));
}

void HistoryWindowTest::silent_second_gives_the_link_rows_and_a_gap() {
    start({}, {.alarm = 0x00});
    QTRY_VERIFY(points() >= 2);
    module->set_faults({.silent = true, .alarm = 0x00});
    QTRY_COMPARE_WITH_TIMEOUT(event_rows(), QStringList{"Verbindung zum Modul: unterbrochen"}, 4000);
    QCOMPARE(number_of_gaps(graph_named(plot(), "Out U")), std::size_t{0});
    module->set_faults({.alarm = 0x00});
    QTRY_COMPARE_WITH_TIMEOUT(event_rows().size(), 2, 4000);
    QCOMPARE(event_rows(), (QStringList{"Verbindung zum Modul: wieder da", "Verbindung zum Modul: unterbrochen"}));
    for (const QString& name : series_names) QCOMPARE(number_of_gaps(graph_named(plot(), name)), std::size_t{1});
}

void HistoryWindowTest::hand_over_gives_its_rows_and_a_gap() {
    start({}, {.alarm = 0x00});
    QTRY_VERIFY(points() >= 2);
    program->main()->Button1Click();
    QCOMPARE(event_rows(), QStringList{"Parametrierung: Port übergeben"});
    QTest::qWait(2500);  // the watchdog finds the line silent meanwhile: the hand-over's silence, no row
    QCOMPARE(event_rows().size(), 1);
    control<QAction>(program->para(), "schliessen")->trigger();
    QCOMPARE(event_rows(), (QStringList{"Parametrierung: Port zurück", "Parametrierung: Port übergeben"}));
    const std::size_t before = points();
    QTRY_VERIFY_WITH_TIMEOUT(points() > before, 4000);
    QVERIFY(verlauf()->history().points()[before].after_gap);
    QCOMPARE(number_of_gaps(graph_named(plot(), "In2 I")), std::size_t{1});
    QCOMPARE(event_rows().size(), 2);
    // The gap begins at the last point before the hand-over, in the lines
    // drawn as steps too, which would otherwise carry their value across it.
    for (const QString& name : {QString("In1 U"), QString("Out Umin"), QString("In2 Imax")}) {
        QCPGraphDataContainer& data = *graph_named(plot(), name)->data();
        for (auto it = data.constBegin() + 1; it != data.constEnd(); ++it) {
            if (std::isnan(it->value)) QVERIFY2(it->key - (it - 1)->key < 0.01, qPrintable(name));
        }
    }
}

void HistoryWindowTest::recording_parses_back_to_the_frames_sent() {
    QTemporaryDir folder;
    start({.frame_content = numbered_frame});
    QTRY_VERIFY(points() >= 1);
    const QString path = folder.filePath("log.csv");
    answer_next_dialog(path);
    control<QPushButton>(verlauf(), "aufnahme")->click();
    QVERIFY(verlauf()->recording());
    QCOMPARE(control<QPushButton>(verlauf(), "aufnahme")->text(), QString("Aufnahme beenden"));
    QVERIFY(control<QLabel>(verlauf(), "aufnahme_status")->text().contains("log.csv"));

    verlauf()->close();  // recording goes on while the window is hidden
    const std::size_t first = points();
    QTRY_VERIFY(points() >= first + 3);
    module->set_faults({.silent = true});
    QTRY_COMPARE_WITH_TIMEOUT(events()->rowCount(), 1, 4000);
    module->set_faults({});
    QTRY_COMPARE_WITH_TIMEOUT(events()->rowCount(), 2, 4000);
    const std::size_t last = points();
    QTRY_VERIFY(points() >= last + 2);
    control<QPushButton>(verlauf(), "aufnahme")->click();
    QVERIFY(!verlauf()->recording());
    QCOMPARE(control<QPushButton>(verlauf(), "aufnahme")->text(), QString("Aufnahme..."));
    const std::size_t recorded = points() - first;

    const QStringList rows = lines_of(path);
    QCOMPARE(rows.value(0), QString::fromStdString(csv_header()));
    QCOMPARE(static_cast<std::size_t>(rows.size() - 1), recorded);
    std::size_t previous = 0;
    for (int r = 1; r < rows.size(); ++r) {
        const QStringList fields = split_row(rows[r]);
        QCOMPARE(fields.size(), 1 + 18 + 8);
        // I1 and I2 carry the frame's number; every other field must be that frame's.
        const std::size_t number = static_cast<std::size_t>(std::lround(fields[4].toDouble() * 100)) +
                                   1000 * static_cast<std::size_t>(std::lround(fields[5].toDouble() * 100));
        QVERIFY(number > previous);
        previous = number;
        const StatusValues sent = accepted_status_values(numbered_frame(number)).value();
        for (std::size_t k = 0; k < 12; ++k) QCOMPARE(fields[1 + static_cast<int>(k)].toDouble(), sent.measured_hundredths[k] / 100.0);
        for (std::size_t k = 0; k < 6; ++k) QCOMPARE(fields[13 + static_cast<int>(k)].toDouble(), sent.threshold_tenths[k] / 10.0);
        QCOMPARE(fields.mid(19).join(','), QString("0,0,0,0,0,0,0,0"));
    }
    const QStringList event_lines = lines_of(folder.filePath("log-events.csv"));
    QCOMPARE(event_lines.size(), 3);
    QCOMPARE(event_lines[0], QString("time,event,state"));
    QVERIFY(event_lines[1].endsWith(",link,silent"));
    QVERIFY(event_lines[2].endsWith(",link,back"));
    QCOMPARE(event_lines[1].section(',', 0, 0).size(), QString("2026-12-10T14:05:09.042+01:00").size());
}

void HistoryWindowTest::recording_that_cannot_write_is_reported_in_red_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("english");
    // Not even root can make a file there.
    QTest::newRow("German") << "/proc/zelk20-history.csv" << false;
    QTest::newRow("English") << "/proc/zelk20-history.csv" << true;
}

void HistoryWindowTest::recording_that_cannot_write_is_reported_in_red() {
    QFETCH(QString, path);
    QFETCH(bool, english);
    start();
    if (english) program->main()->englischClick();
    answer_next_dialog(path);
    control<QPushButton>(verlauf(), "aufnahme")->click();
    auto* status = control<QLabel>(verlauf(), "aufnahme_status");
    QCOMPARE(status->text(), QString(english ? "cannot write the file: " : "Datei lässt sich nicht schreiben: ") + path);
    QCOMPARE(status->palette().color(QPalette::WindowText), QColor(Qt::red));
    QVERIFY(!verlauf()->recording());
    QCOMPARE(control<QPushButton>(verlauf(), "aufnahme")->text(), QString(english ? "record..." : "Aufnahme..."));
    program->main()->deutschClick();  // the message follows the language
    QCOMPARE(status->text(), "Datei lässt sich nicht schreiben: " + path);
}

void HistoryWindowTest::plot_saved_as_png() {
    QTemporaryDir folder;
    start();
    QTRY_VERIFY(points() >= 2);
    const QString path = folder.filePath("plot.png");
    answer_next_dialog(path);
    control<QPushButton>(verlauf(), "bild_speichern")->click();
    const QImage saved(path);
    QVERIFY(!saved.isNull());
    QCOMPARE(saved.size(), plot()->size());
    QVERIFY(control<QLabel>(verlauf(), "aufnahme_status")->text().isEmpty());
}

QTEST_MAIN(HistoryWindowTest)
#include "history_window_test.moc"
