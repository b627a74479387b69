#include "ui/program.h"

#include "ui/info_window.h"
#include "ui/main_window.h"
#include "ui/parameter_window.h"

ProgramWindows start_program() {
    // Three separate top-level windows: disabling the main window at the
    // hand-over must not disable the parameter window with it.
    auto* main = new TForm1;
    auto* para = new Tpara(main);
    auto* info = new TInfo;
    main->set_windows(para, info);
    main->deutschClick();
    return {main, para, info};
}
