#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <span>

#include <QWidget>

#include "link/history.h"
#include "link/status_log.h"
#include "texts/text_sets.h"

class QCheckBox;
class QComboBox;
class QCPAxisRect;
class QCPGraph;
class QCustomPlot;
class QFileDialog;
class QLabel;
class QLayout;
class QPushButton;
class QTableView;
class QTimer;

namespace zelk20::ui {
class EventModel;
}

// The history window: the module's twelve measured values over the last
// minutes as a plot, the alarm, link and hand-over events as a list, and a
// recording of both to CSV files. One instance for the whole run; the main
// window feeds it from the start, shown or not, and closing only hides it.
// While it is hidden (or paused) the plot is left alone and rebuilt from the
// history when it shows again.
class TVerlauf : public QWidget {
    Q_OBJECT
public:
    TVerlauf();
    ~TVerlauf() override;

    using Time = std::chrono::system_clock::time_point;

    // The main window's monitor: an accepted frame, a watchdog tick, the
    // hand-over of the port to the parameter window and its return; at the
    // moment of the call, or at `time` for a history filled at speed.
    void frame_taken(const zelk20::StatusValues& values, Time time = std::chrono::system_clock::now());
    void watchdog_tick(bool silent, Time time = std::chrono::system_clock::now());
    void handed_over(Time time = std::chrono::system_clock::now());
    void handed_back(Time time = std::chrono::system_clock::now());

    // The language switch of the main window.
    void apply_language(zelk20::Language language);

    void aufnahmeClick();
    void bild_speichernClick();
    void pauseClick();
    void zeitraumChange();

    const zelk20::History& history() const { return history_; }
    bool recording() const { return frames_file_.has_value(); }
    // How long the last redraw of the plot took.
    double last_redraw_ms() const;

    QFileDialog* SaveDialog1 = nullptr;  // the recording's file
    QFileDialog* SaveDialog2 = nullptr;  // the plot as a picture

protected:
    void showEvent(QShowEvent* event) override;

private:
    void build_controls();
    QLayout* build_tool_row();
    void build_plot();
    QLayout* build_legend();
    QWidget* build_event_table();
    void note(std::span<const zelk20::HistoryEvent> events);
    void record(std::span<const zelk20::HistoryEvent> events);
    void stop_recording();
    void show_failure(const QString& file);
    void show_status();
    // The plot from the whole history; then one point at a time while shown.
    void rebuild_plot();
    void append_to_plot(const zelk20::HistoryPoint& point);
    // The view moved on to the latest time, its value axes fitted, and redrawn.
    void update_view();
    // update_view() now, or once the time axis has moved by a pixel.
    void redraw_soon();
    bool plot_live() const;
    void set_series_visible(std::size_t series, bool visible);

    zelk20::History history_;
    zelk20::Language language_ = zelk20::Language::german;

    QCustomPlot* plot_ = nullptr;
    std::array<QCPAxisRect*, 2> axis_rects_{};  // voltages, currents
    std::array<QCPGraph*, zelk20::status_layout::measured_count> series_{};          // value label order
    std::array<QCPGraph*, zelk20::status_layout::threshold_count> threshold_lines_{}; // as the frame orders them
    std::array<QCheckBox*, zelk20::status_layout::measured_count> series_boxes_{};
    QComboBox* zeitraum_ = nullptr;
    QPushButton* pause_ = nullptr;
    QPushButton* aufnahme_ = nullptr;
    QLabel* status_ = nullptr;
    QTimer* redraw_timer_ = nullptr;
    std::chrono::steady_clock::time_point last_redraw_{};
    Time paused_at_{};  // the end of the view while paused
    QTableView* events_ = nullptr;
    zelk20::ui::EventModel* event_model_ = nullptr;

    std::optional<zelk20::CsvFile> frames_file_;
    std::optional<zelk20::CsvFile> events_file_;
    QString frames_name_;      // the recording's two files, as the status line names them
    QString events_name_;
    QString failed_file_;      // the file that could not be written, shown in red
};
