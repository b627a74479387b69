#include <memory>

#include <QApplication>

#include "ui/history_window.h"
#include "ui/info_window.h"
#include "ui/main_window.h"
#include "ui/parameter_window.h"
#include "ui/program.h"
#include "ui/stop_signals.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    zelk20::ui::end_on_stop_signals();
    const ProgramWindows windows = start_program();
    std::unique_ptr<TForm1> main_window(windows.main);
    std::unique_ptr<Tpara> para(windows.para);
    std::unique_ptr<TInfo> info(windows.info);
    std::unique_ptr<TVerlauf> verlauf(windows.verlauf);  // a recording ends with it
    main_window->show();
    return application.exec();
}
