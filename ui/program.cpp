#include "ui/program.h"

#include "ui/history_window.h"
#include "ui/info_window.h"
#include "ui/main_window.h"
#include "ui/parameter_window.h"

ProgramWindows start_program() {
    // Three separate top-level windows: disabling the main window at the
    // hand-over must not disable the parameter window with it.
    auto* main = new TForm1;
    auto* para = new Tpara(main);
    auto* info = new TInfo;
    // Collects from the start, so that opening it after a fault shows the fault.
    auto* verlauf = new TVerlauf;
    main->set_windows(para, info);
    main->set_history_window(verlauf);
    main->deutschClick();
    return {main, para, info, verlauf};
}
