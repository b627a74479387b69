#pragma once

#include <array>
#include <cstdint>
#include <span>

#include <QMainWindow>

#include "link/monitor_link.h"
#include "link/status_frame.h"
#include "texts/text_sets.h"

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTimer;

namespace zelk20::ui {
class Picture;
struct LampSpec;
struct PanelSpec;
}

class Tpara;
class TInfo;
class TVerlauf;

// The main window: the live monitor of the module. Its timers drive the
// monitoring connection (poll tick, watchdog, end of a flash); "Parametrierung"
// hands the port over to the parameter window.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    TForm1();

    // The other two windows, known once the program has created them.
    void set_windows(Tpara* para, TInfo* info);
    // The history window, fed from the frame path from the start on.
    void set_history_window(TVerlauf* verlauf) { verlauf_ = verlauf; }

    // The monitoring connection: its current port name is the one the
    // parameter window's exchanges open.
    const zelk20::MonitorLink& link() const { return link_; }

    void FormCreate() {}
    void Button1Click();
    // The parameter window's close hands the port back: the main window is
    // enabled, its poll tick restarted and its port opened again.
    void take_port_back();
    void speicher_dateiClick();
    void verlaufClick();
    void Beenden1Click();
    void deutschClick();
    void englischClick();
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();
    void ausfuehren(std::span<const std::uint8_t> frame);
    void oeffnecom();
    void schliessecom();
    // Tooltips of the port list and its items: the device each COMk reaches
    // and what the system says about it, listed afresh.
    void describe_ports();

    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QTimer* Timer3 = nullptr;

protected:
    // Refreshes the port tooltips just before they can be seen.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Lamp {
        QWidget* white = nullptr;
        QWidget* lit = nullptr;
    };

    void build_controls();
    void build_menu();
    void build_port_row(QWidget* area);
    void build_panel(QWidget* area, const zelk20::ui::PanelSpec& panel);
    void make_lamp(QWidget* area, const zelk20::ui::LampSpec& lamp, QPoint at);
    void show_lamp(std::size_t lamp, bool lit);
    void set_value(std::size_t label, const QString& text);
    void apply_language(zelk20::Language language);

    zelk20::MonitorLink link_;
    zelk20::Language language_ = zelk20::Language::german;
    Tpara* para_ = nullptr;
    TInfo* info_ = nullptr;
    TVerlauf* verlauf_ = nullptr;

    QComboBox* comport_ = nullptr;
    QRadioButton* a_ = nullptr;
    std::array<Lamp, zelk20::lamp_count> lamps_{};                // in the order of the alarm bits
    std::array<QLabel*, zelk20::value_label_count> values_{};     // in the order the frame fills them
};
