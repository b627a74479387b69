#pragma once

#include <array>
#include <cstdint>

#include <QMainWindow>

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

    QTimer* Timer1 = nullptr;
    QTimer* Timer3 = nullptr;
    QFileDialog* OpenDialog1 = nullptr;
    QFileDialog* SaveDialog1 = nullptr;

    // Which language the status messages are shown in: exactly one is 1 from
    // the first switch on (the main window's flags set them).
    std::uint8_t sprache_deutsch = 0;
    std::uint8_t sprache_englisch = 0;

    // The six threshold fields in parameter-set order: In1, In2, Out
    // voltages, then In1, In2, Out currents; their red marks alike.
    std::array<QComboBox*, 6> threshold_fields{};
    std::array<QLabel*, 6> threshold_marks{};
    // The seventeen check boxes.
    std::array<QCheckBox*, 17> check_boxes{};

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build_controls();
    void clear_window();

    TForm1* main_window_;
    QLabel* status_ = nullptr;
    QLabel* sw_ = nullptr;
    QLabel* fa_ = nullptr;
};
