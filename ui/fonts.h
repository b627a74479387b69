#pragma once

#include <QFont>

namespace zelk20::ui {

// The windows' faces at pixel sizes; where a face is missing the platform's
// substitute is used (Liberation Sans or DejaVu Sans on Linux).
QFont tahoma(int pixels, bool bold = false);
QFont ms_sans_serif(int pixels);
// The heading face of the main window, bold; a bold sans serif stands in for it.
QFont heading_font();

}  // namespace zelk20::ui
