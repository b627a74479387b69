#include "ui/history_window.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <qcustomplot.h>

#include "ui/controls.h"
#include "ui/fonts.h"

using namespace zelk20;

namespace zelk20::ui {

namespace {

using status_layout::measured_count;
using status_layout::threshold_count;

constexpr std::array<const char*, 3> channel_names = {"In1", "In2", "Out"};
// The quantity of each group of three measured values (voltages, currents,
// lowest voltages, highest currents), as the legend names it.
constexpr std::array<const char*, 4> quantity_names = {"U", "I", "Umin", "Imax"};
// A colour per channel; the lowest voltage and highest current in a lighter
// shade of it, the thresholds dashed in the full one.
const std::array<QColor, 3> channel_colours = {QColor(0, 90, 200), QColor(0, 150, 60), QColor(210, 70, 0)};
constexpr std::array<int, 3> view_minutes = {1, 10, 60};
constexpr int default_view = 1;  // ten minutes

QString text(const Message& message, Language language) { return QString::fromUtf8(message.in(language).data()); }

std::size_t channel_of(std::size_t series) { return series % 3; }
bool is_extreme(std::size_t series) { return series >= 6; }
QColor series_colour(std::size_t series) {
    const QColor full = channel_colours[channel_of(series)];
    return is_extreme(series) ? full.lighter(165) : full;
}

double seconds_of(std::chrono::system_clock::time_point time) {
    return std::chrono::duration<double>(time.time_since_epoch()).count();
}

// A gap in a line: a point without a value just after the last one before
// the gap (a step line would carry its value on up to the next point).
constexpr double gap_after = 0.001;
const double no_value = std::numeric_limits<double>::quiet_NaN();

// A threshold, the lowest voltage and the highest current change rarely: a
// run of equal values is kept as its first point and one that moves along
// with the latest frame, and drawn as steps. Half the lines then cost next to
// nothing to draw.
void add_step_point(QCPGraphDataContainer& data, double key, double value, bool after_gap) {
    if (after_gap && !data.isEmpty()) data.add(QCPGraphData((data.constEnd() - 1)->key + gap_after, no_value));
    const int size = data.size();
    if (!after_gap && size >= 2 && data.at(size - 1)->value == value && data.at(size - 2)->value == value) {
        (data.end() - 1)->key = key;
        return;
    }
    data.add(QCPGraphData(key, value));
}

// Drops the points before `key`, keeping a run that began earlier by moving
// its first point up to `key`.
void drop_step_points_before(QCPGraphDataContainer& data, double key) {
    if (data.isEmpty() || data.constBegin()->key >= key) return;
    auto last_before = data.findBegin(key, true);
    if (last_before != data.constEnd() && last_before->key < key && !std::isnan(last_before->value)) {
        (data.begin() + (last_before - data.constBegin()))->key = key;
    }
    data.removeBefore(key);
}

QFileDialog* make_save_dialog(QWidget* parent, const char* name, const char* filter, const char* suffix) {
    auto* dialog = new QFileDialog(parent);
    dialog->setObjectName(name);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setNameFilter(filter);
    dialog->setDefaultSuffix(suffix);
    return dialog;
}

// A short line in the series' colour, as its legend entry.
QIcon line_icon(const QColor& colour) {
    QPixmap picture(24, 12);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setPen(QPen(colour, 3));
    painter.drawLine(2, 6, 22, 6);
    return QIcon(picture);
}

QIcon dashed_icon() {
    QPixmap picture(24, 12);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setPen(QPen(Qt::darkGray, 2, Qt::DashLine));
    painter.drawLine(0, 6, 24, 6);
    return QIcon(picture);
}

}  // namespace

// The events, newest at the top, in the current language.
class EventModel : public QAbstractTableModel {
public:
    EventModel(const History& history, QObject* parent) : QAbstractTableModel(parent), history_(history) {}

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rows_; }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 3; }

    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid()) return {};
        const HistoryEvent& event = history_.events()[static_cast<std::size_t>(rows_ - 1 - index.row())];
        switch (index.column()) {
        case 0: {
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(event.time.time_since_epoch());
            return QDateTime::fromMSecsSinceEpoch(ms.count()).toString("yyyy-MM-dd HH:mm:ss,zzz");
        }
        case 1:
            switch (event.subject) {
            case HistorySubject::alarm:
                return QString::fromUtf8(text_of(lamp_captions[event.lamp], language_).data());
            case HistorySubject::link: return text(history_texts::link, language_);
            case HistorySubject::hand_over: return text(history_texts::hand_over, language_);
            }
            return {};
        default:
            switch (event.subject) {
            case HistorySubject::alarm:
                return text(event.on ? history_texts::alarm_on : history_texts::alarm_off, language_);
            case HistorySubject::link:
                return text(event.on ? history_texts::link_silent : history_texts::link_back, language_);
            case HistorySubject::hand_over:
                return text(event.on ? history_texts::handed_over : history_texts::handed_back, language_);
            }
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        const std::array<const Message*, 3> columns = {&history_texts::time_column, &history_texts::event_column,
                                                       &history_texts::state_column};
        return text(*columns[static_cast<std::size_t>(section)], language_);
    }

    // The history has taken `count` more events.
    void added(std::size_t count) {
        const int size = static_cast<int>(history_.events().size());
        if (size == rows_ + static_cast<int>(count)) {
            beginInsertRows({}, 0, static_cast<int>(count) - 1);
            rows_ = size;
            endInsertRows();
        } else {  // the oldest dropped out
            beginResetModel();
            rows_ = size;
            endResetModel();
        }
    }

    void set_language(Language language) {
        language_ = language;
        emit headerDataChanged(Qt::Horizontal, 0, 2);
        if (rows_ > 0) emit dataChanged(index(0, 1), index(rows_ - 1, 2));
    }

private:
    const History& history_;
    Language language_ = Language::german;
    int rows_ = 0;
};

}  // namespace zelk20::ui

using namespace zelk20::ui;

TVerlauf::TVerlauf() {
    setObjectName("Verlauf");
    setWindowTitle(text(history_texts::title, language_));
    setWindowIcon(QIcon(":/app_icon.svg"));
    setWindowFlags(Qt::Window);
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(tahoma(12));
    build_controls();
    resize(1100, 720);
}

TVerlauf::~TVerlauf() = default;

void TVerlauf::build_controls() {
    build_plot();
    auto* plot_area = new QWidget(this);
    auto* plot_row = new QHBoxLayout(plot_area);
    plot_row->setContentsMargins(0, 0, 0, 0);
    plot_row->addWidget(plot_, 1);
    plot_row->addLayout(build_legend());

    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(plot_area);
    split->addWidget(build_event_table());
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);

    auto* whole = new QVBoxLayout(this);
    whole->addLayout(build_tool_row());
    whole->addWidget(split, 1);

    // Zero: the redraw runs once the event loop is free, after the frames of a poll tick.
    redraw_timer_ = make_timer(this, "redraw", std::chrono::milliseconds(0));
    redraw_timer_->setSingleShot(true);
    connect(redraw_timer_, &QTimer::timeout, this, [this] {
        if (plot_live()) update_view();
    });

    SaveDialog1 = make_save_dialog(this, "SaveDialog1", "CSV (*.csv)", "csv");
    SaveDialog2 = make_save_dialog(this, "SaveDialog2", "PNG (*.png)", "png");
    show_status();
    update_view();
}

QLayout* TVerlauf::build_tool_row() {
    auto* span_caption = new QLabel(this);
    span_caption->setObjectName("l_zeitraum");
    zeitraum_ = new QComboBox(this);
    zeitraum_->setObjectName("zeitraum");
    for (int minutes : view_minutes) zeitraum_->addItem(QString("%1 min").arg(minutes));
    zeitraum_->setCurrentIndex(default_view);
    pause_ = new QPushButton(this);
    pause_->setObjectName("pause");
    pause_->setCheckable(true);
    aufnahme_ = new QPushButton(this);
    aufnahme_->setObjectName("aufnahme");
    auto* save_picture = new QPushButton(this);
    save_picture->setObjectName("bild_speichern");
    status_ = new QLabel(this);
    status_->setObjectName("aufnahme_status");
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(zeitraum_, &QComboBox::currentIndexChanged, this, &TVerlauf::zeitraumChange);
    connect(pause_, &QPushButton::clicked, this, &TVerlauf::pauseClick);
    connect(aufnahme_, &QPushButton::clicked, this, &TVerlauf::aufnahmeClick);
    connect(save_picture, &QPushButton::clicked, this, &TVerlauf::bild_speichernClick);

    auto* row = new QHBoxLayout;
    for (QWidget* control : std::initializer_list<QWidget*>{span_caption, zeitraum_, pause_, aufnahme_, save_picture}) {
        row->addWidget(control);
    }
    row->addSpacing(12);
    row->addWidget(status_, 1);
    return row;
}

// Voltages above, currents below, on one time axis.
void TVerlauf::build_plot() {
    plot_ = new QCustomPlot(this);
    plot_->setObjectName("diagramm");
    // A redraw per frame must stay cheap: thin lines without antialiasing,
    // drawn as polylines (QCustomPlot's "fast polylines" measured slower here).
    plot_->setNotAntialiasedElements(QCP::aeAll);
    plot_->plotLayout()->clear();
    auto* margins = new QCPMarginGroup(plot_);
    const std::array<const char*, 2> axis_labels = {"U [V]", "I [A]"};
    QSharedPointer<QCPAxisTickerDateTime> clock_ticker(new QCPAxisTickerDateTime);
    clock_ticker->setDateTimeFormat("HH:mm:ss");
    for (std::size_t r = 0; r < axis_rects_.size(); ++r) {
        auto* rect = new QCPAxisRect(plot_);
        plot_->plotLayout()->addElement(static_cast<int>(r), 0, rect);
        rect->setMarginGroup(QCP::msLeft | QCP::msRight, margins);
        rect->axis(QCPAxis::atLeft)->setLabel(axis_labels[r]);
        rect->axis(QCPAxis::atBottom)->setTicker(clock_ticker);
        rect->axis(QCPAxis::atBottom)->setTickLabels(r == 1);
        for (QCPAxis* axis : rect->axes()) axis->setLabelFont(tahoma(12));
        axis_rects_[r] = rect;
    }
    connect(axis_rects_[1]->axis(QCPAxis::atBottom), qOverload<const QCPRange&>(&QCPAxis::rangeChanged),
            axis_rects_[0]->axis(QCPAxis::atBottom), qOverload<const QCPRange&>(&QCPAxis::setRange));
}

// The lines, each with a check box that shows or hides it, and the thresholds.
QLayout* TVerlauf::build_legend() {
    auto* legend = new QVBoxLayout;
    legend->setSpacing(2);
    for (std::size_t channel = 0; channel < 3; ++channel) {
        for (std::size_t group : {0u, 2u, 1u, 3u}) {  // U, Umin, I, Imax of one channel together
            const std::size_t k = group * 3 + channel;
            QCPAxisRect* rect = axis_rects_[measured_in_volts(k) ? 0 : 1];
            series_[k] = plot_->addGraph(rect->axis(QCPAxis::atBottom), rect->axis(QCPAxis::atLeft));
            series_[k]->setPen(QPen(series_colour(k), 1));
            if (is_extreme(k)) series_[k]->setLineStyle(QCPGraph::lsStepLeft);
            series_[k]->setName(QString("%1 %2").arg(channel_names[channel], quantity_names[group]));
            auto* box = new QCheckBox(series_[k]->name(), this);
            box->setObjectName(QString("kurve_") + value_label_names[k].data());
            box->setIcon(line_icon(series_colour(k)));
            box->setChecked(true);
            connect(box, &QCheckBox::toggled, this, [this, k](bool on) { set_series_visible(k, on); });
            series_boxes_[k] = box;
            legend->addWidget(box);
        }
        legend->addSpacing(8);
    }
    for (std::size_t k = 0; k < threshold_count; ++k) {
        // Thresholds 0 to 2 belong to the voltages of In1, In2, Out, 3 to 5 to the currents.
        threshold_lines_[k] = plot_->addGraph(series_[k]->keyAxis(), series_[k]->valueAxis());
        threshold_lines_[k]->setPen(QPen(series_colour(k), 1, Qt::DashLine));
        threshold_lines_[k]->setLineStyle(QCPGraph::lsStepLeft);
    }
    auto* dashed = new QLabel(this);
    dashed->setPixmap(dashed_icon().pixmap(24, 12));
    auto* threshold_note = new QLabel(this);
    threshold_note->setObjectName("l_grenzwerte");
    auto* note_row = new QHBoxLayout;
    note_row->addWidget(dashed);
    note_row->addWidget(threshold_note, 1);
    legend->addLayout(note_row);
    legend->addStretch(1);
    return legend;
}

QWidget* TVerlauf::build_event_table() {
    event_model_ = new EventModel(history_, this);
    events_ = new QTableView(this);
    events_->setObjectName("events");
    events_->setModel(event_model_);
    events_->verticalHeader()->hide();
    events_->verticalHeader()->setDefaultSectionSize(events_->fontMetrics().height() + 4);
    events_->horizontalHeader()->setStretchLastSection(true);
    events_->setColumnWidth(0, 200);
    events_->setColumnWidth(1, 240);
    events_->setSelectionBehavior(QAbstractItemView::SelectRows);
    events_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return events_;
}

void TVerlauf::frame_taken(const StatusValues& values, Time time) {
    const std::vector<HistoryEvent> events = history_.frame(time, values);
    if (frames_file_) frames_file_->add(csv_row(time, values));
    note(events);
    if (frames_file_ && !frames_file_->good()) show_failure(frames_name_);
    if (!plot_live()) return;
    append_to_plot(history_.points().back());
    redraw_soon();
}

void TVerlauf::watchdog_tick(bool silent, Time time) {
    if (auto event = history_.watchdog(time, silent)) note({&*event, 1});
    // Frames move the time axis on; over a silence this tick does.
    if (plot_live() && silent) redraw_soon();
}

void TVerlauf::handed_over(Time time) {
    const HistoryEvent event = history_.handed_over(time);
    note({&event, 1});
}

void TVerlauf::handed_back(Time time) {
    const HistoryEvent event = history_.handed_back(time);
    note({&event, 1});
}

void TVerlauf::note(std::span<const HistoryEvent> events) {
    if (events.empty()) return;
    event_model_->added(events.size());
    record(events);
}

void TVerlauf::record(std::span<const HistoryEvent> events) {
    if (!events_file_) return;
    for (const HistoryEvent& event : events) events_file_->add(csv_row(event));
    if (!events_file_->good()) show_failure(events_name_);
}

void TVerlauf::aufnahmeClick() {
    if (recording()) {
        stop_recording();
        show_status();
        return;
    }
    if (SaveDialog1->exec() != QDialog::Accepted || SaveDialog1->selectedFiles().isEmpty()) return;
    const QString frames = SaveDialog1->selectedFiles().first();
    const QFileInfo chosen(frames);
    const QString events = chosen.dir().filePath(chosen.completeBaseName() + "-events.csv");
    failed_file_.clear();
    frames_name_ = QDir::toNativeSeparators(frames);
    events_name_ = QDir::toNativeSeparators(events);
    frames_file_.emplace(std::filesystem::path(frames.toStdU16String()), csv_header());
    if (!frames_file_->good()) return show_failure(frames_name_);
    events_file_.emplace(std::filesystem::path(events.toStdU16String()), history_events_csv_header());
    if (!events_file_->good()) return show_failure(events_name_);
    show_status();
}

void TVerlauf::stop_recording() {
    frames_file_.reset();
    events_file_.reset();
}

void TVerlauf::show_failure(const QString& file) {
    stop_recording();
    failed_file_ = file;
    show_status();
}

void TVerlauf::show_status() {
    aufnahme_->setText(text(recording() ? history_texts::stop_recording : history_texts::record, language_));
    QPalette palette = status_->palette();
    palette.setColor(QPalette::WindowText, failed_file_.isEmpty() ? QColor(Qt::black) : QColor(Qt::red));
    status_->setPalette(palette);
    if (!failed_file_.isEmpty()) {
        status_->setText(text(history_texts::file_not_written, language_) + failed_file_);
    } else if (recording()) {
        status_->setText(text(history_texts::recording_to, language_) + frames_name_ + ", " + events_name_);
    } else {
        status_->clear();
    }
}

void TVerlauf::bild_speichernClick() {
    if (SaveDialog2->exec() != QDialog::Accepted || SaveDialog2->selectedFiles().isEmpty()) return;
    const QString file = SaveDialog2->selectedFiles().first();
    if (!isVisible()) rebuild_plot();
    failed_file_.clear();
    if (!plot_->savePng(file)) failed_file_ = QDir::toNativeSeparators(file);
    show_status();
}

void TVerlauf::pauseClick() {
    if (pause_->isChecked()) {
        paused_at_ = std::chrono::system_clock::now();
    } else {
        rebuild_plot();  // catch up with what came meanwhile
    }
}

void TVerlauf::zeitraumChange() {
    if (isVisible()) update_view();
}

void TVerlauf::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!pause_->isChecked()) rebuild_plot();
}

bool TVerlauf::plot_live() const { return isVisible() && !pause_->isChecked(); }

void TVerlauf::rebuild_plot() {
    for (QCPGraph* graph : series_) graph->data()->clear();
    for (QCPGraph* graph : threshold_lines_) graph->data()->clear();
    QVector<QCPGraphData> line;
    line.reserve(static_cast<int>(2 * history_.points().size()));
    for (std::size_t k = 0; k < measured_count; ++k) {
        if (is_extreme(k)) {
            for (const HistoryPoint& point : history_.points()) {
                add_step_point(*series_[k]->data(), seconds_of(point.time),
                               point.values.measured_hundredths[k] / 100.0, point.after_gap);
            }
            continue;
        }
        line.clear();
        for (const HistoryPoint& point : history_.points()) {
            const double key = seconds_of(point.time);
            if (point.after_gap && !line.isEmpty()) line.append(QCPGraphData(line.last().key + gap_after, no_value));
            line.append(QCPGraphData(key, point.values.measured_hundredths[k] / 100.0));
        }
        series_[k]->data()->set(line, true);
    }
    for (std::size_t k = 0; k < threshold_count; ++k) {
        QCPGraphDataContainer& data = *threshold_lines_[k]->data();
        for (const HistoryPoint& point : history_.points()) {
            add_step_point(data, seconds_of(point.time), point.values.threshold_tenths[k] / 10.0,
                                point.after_gap);
        }
    }
    update_view();
}

void TVerlauf::append_to_plot(const HistoryPoint& point) {
    const double key = seconds_of(point.time);
    const double oldest = seconds_of(history_.points().front().time);
    for (std::size_t k = 0; k < measured_count; ++k) {
        QCPGraphDataContainer& data = *series_[k]->data();
        if (is_extreme(k)) {
            add_step_point(data, key, point.values.measured_hundredths[k] / 100.0, point.after_gap);
            drop_step_points_before(data, oldest);
            continue;
        }
        if (point.after_gap && !data.isEmpty()) data.add(QCPGraphData((data.constEnd() - 1)->key + gap_after, no_value));
        data.add(QCPGraphData(key, point.values.measured_hundredths[k] / 100.0));
        data.removeBefore(oldest);
    }
    for (std::size_t k = 0; k < threshold_count; ++k) {
        QCPGraphDataContainer& data = *threshold_lines_[k]->data();
        add_step_point(data, key, point.values.threshold_tenths[k] / 10.0, point.after_gap);
        drop_step_points_before(data, oldest);
    }
}

void TVerlauf::redraw_soon() {
    if (redraw_timer_->isActive()) return;  // the redraw pending takes this frame along
    // A redraw before the time axis has moved by a pixel shows nothing new:
    // every frame on the one-minute view, about every four seconds on the hour.
    const double pixels = std::max(1, axis_rects_[1]->width());
    const auto step = std::chrono::milliseconds(
        static_cast<long>(60'000.0 * view_minutes[static_cast<std::size_t>(std::max(0, zeitraum_->currentIndex()))] / pixels));
    const auto since = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - last_redraw_);
    if (since >= step) {
        update_view();
    } else {
        redraw_timer_->start(step - since);
    }
}

void TVerlauf::update_view() {
    redraw_timer_->stop();
    last_redraw_ = std::chrono::steady_clock::now();
    const double end = seconds_of(pause_->isChecked() ? paused_at_ : std::chrono::system_clock::now());
    const double span = 60.0 * view_minutes[static_cast<std::size_t>(std::max(0, zeitraum_->currentIndex()))];
    const QCPRange keys(end - span, end);
    axis_rects_[1]->axis(QCPAxis::atBottom)->setRange(keys);
    // Each value axis spans what its shown lines hold in view, thresholds included.
    for (std::size_t r = 0; r < axis_rects_.size(); ++r) {
        QCPRange values;
        bool any = false;
        for (QCPGraph* graph : axis_rects_[r]->graphs()) {
            if (!graph->visible()) continue;
            bool found = false;
            const QCPRange range = graph->getValueRange(found, QCP::sdBoth, keys);
            if (!found) continue;
            values = any ? QCPRange(std::min(values.lower, range.lower), std::max(values.upper, range.upper)) : range;
            any = true;
        }
        if (!any) values = r == 0 ? QCPRange(0, 30) : QCPRange(0, 5);
        const double margin = std::max(0.05 * values.size(), r == 0 ? 0.5 : 0.1);
        axis_rects_[r]->axis(QCPAxis::atLeft)->setRange(values.lower - margin, values.upper + margin);
    }
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void TVerlauf::set_series_visible(std::size_t series, bool visible) {
    series_[series]->setVisible(visible);
    if (series < threshold_count) threshold_lines_[series]->setVisible(visible);
    if (isVisible()) update_view();
}

double TVerlauf::last_redraw_ms() const { return plot_->replotTime(false); }

void TVerlauf::apply_language(Language language) {
    language_ = language;
    setWindowTitle(text(history_texts::title, language));
    apply_texts(this, history_window_texts, language);
    event_model_->set_language(language);
    show_status();
}
