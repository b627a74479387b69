#include "ui/stop_signals.h"

namespace zelk20::ui {

// Windows asks a program with windows to stop by closing them, which takes
// the normal way out; it frees a process's handles at its end, and there are
// no lock files to remove.
void end_on_stop_signals() {}

}  // namespace zelk20::ui
