#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include <QMainWindow>

#include "parameter/window_fields.h"
#include "parameter/transfer_schedule.h"
#include "texts/text_sets.h"

class QCheckBox;
class QComboBox;
class QFileDialog;
class QLabel;
class QTimer;
class TForm1;

// The parameter window: reads, edits, writes, restores and files the
// module's configuration while the main window has handed it the port.
// Closing only hides it, and hands the port back.
class Tpara : public QMainWindow {
    Q_OBJECT
public:
    explicit Tpara(TForm1* main_window);

    void FormCreate();
    void FormClose();
    void schliessenClick();
    void laden();
    void Button2Click();
    void Button3Click();
    void sende_ff();
    void Timer1Timer();
    void Timer3Timer();
    void oeffnenClick();
    void speichernClick();
    // One exchange on the main window's current port.
    std::vector<std::uint8_t> command(std::span<const std::uint8_t> request);

    // The transfers' state; load_mode and retry_count are its fields under
    // the names the window has always had.
    zelk20::TransferSchedule transfer;
    bool& load_mode = transfer.load_mode;
    std::uint16_t& retry_count = transfer.retry_count;

    QTimer* Timer1 = nullptr;
    QTimer* Timer3 = nullptr;
    QFileDialog* OpenDialog1 = nullptr;
    QFileDialog* SaveDialog1 = nullptr;

    // Which language the status messages are shown in: exactly one is 1 from
    // the first switch on (the main window's flags set them).
    std::uint8_t sprache_deutsch = 0;
    std::uint8_t sprache_englisch = 0;
    void set_language(zelk20::Language language);

    // The six threshold fields in parameter-set order: In1, In2, Out
    // voltages, then In1, In2, Out currents; their red marks alike.
    std::array<QComboBox*, 6> threshold_fields{};
    std::array<QLabel*, 6> threshold_marks{};
    // The seventeen check boxes, in the order of check_box_bits.
    std::array<QCheckBox*, zelk20::check_box_count> check_boxes{};

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build_controls();
    void build_menu();
    void build_threshold_grid(QWidget* area);
    void build_event_grid(QWidget* area);
    void clear_window();
    void show_message(const zelk20::Message& message, const QColor& colour, const QString& suffix = {});
    // One attempt in the direction of load_mode, and its effect on the window.
    zelk20::AttemptOutcome attempt_transfer();
    // The thresholds as bytes; shows the mark of every field without a
    // selection and gives nothing when one is missing.
    std::optional<std::array<std::uint8_t, 6>> threshold_bytes();
    zelk20::ParameterSet window_set(const std::array<std::uint8_t, 6>& thresholds) const;
    // Puts a parameter set, or one byte of it, into the threshold fields and
    // check boxes; a threshold outside its list leaves its field empty.
    void show_set(const zelk20::ParameterSet& set);
    void show_field(std::size_t byte, std::uint8_t value);
    // Runs a file dialog on the last file it returned; the chosen file, or none.
    std::optional<QString> run_dialog(QFileDialog* dialog, QString& last_file);

    TForm1* main_window_;
    QLabel* status_ = nullptr;
    QLabel* sw_ = nullptr;
    QLabel* fa_ = nullptr;
    QString last_open_file_;
    QString last_save_file_;
};
