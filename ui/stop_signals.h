#pragma once

// The signals by which the system asks the program to stop (a kill, Ctrl-C
// in the terminal that started it, the hang-up at logout) end the event loop,
// so that the program ends as after "Beenden": the windows are destroyed and,
// with the main window, its port is closed and the port's lock file removed.
namespace zelk20::ui {

// Once, after the QApplication exists and before its event loop runs.
void end_on_stop_signals();

}  // namespace zelk20::ui
