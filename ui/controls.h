#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

#include <chrono>
#include <span>

#include "texts/text_sets.h"

class QFont;
class QFrame;
class QLabel;
class QObject;
class QTimer;
class QWidget;

// Creating the windows' controls, each named for findChild and placed at
// its fixed position.
namespace zelk20::ui {

// A label sized to its text.
QLabel* make_label(QWidget* parent, const char* name, const QString& text, const QFont& font, QPoint at);
// A raised outline (a frame, not a filled box).
QFrame* make_bevel(QWidget* parent, const char* name, QRect area);
// A stopped timer.
QTimer* make_timer(QObject* parent, const char* name, std::chrono::milliseconds interval);

// Sets the texts of `rows` in `window`: labels, buttons, check boxes, menu
// items and menus alike.
void apply_texts(QWidget* window, std::span<const TextRow> rows, Language language);

}  // namespace zelk20::ui
