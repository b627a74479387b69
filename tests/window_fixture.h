#pragma once

// Helpers of the window tests: the program's windows and their controls by name.
#include <cstddef>
#include <functional>
#include <optional>
#include <utility>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

#include "ui/history_window.h"
#include "ui/info_window.h"
#include "ui/main_window.h"
#include "ui/parameter_window.h"
#include "ui/program.h"
#include "tests/port_mapping.h"
#include "tests/test_frames.h"

namespace zelk20::test {

// The program's three windows, deleted with the test.
struct Program {
    Program() : windows(start_program()) {}
    ~Program() {
        delete windows.verlauf;
        delete windows.info;
        delete windows.para;
        delete windows.main;
    }
    TForm1* main() const { return windows.main; }
    Tpara* para() const { return windows.para; }
    TInfo* info() const { return windows.info; }
    TVerlauf* verlauf() const { return windows.verlauf; }
    ProgramWindows windows;
};

inline QWidget* window_named(const Program& program, const QString& name) {
    if (name == "main") return program.main();
    if (name == "para") return program.para();
    if (name == "verlauf") return program.verlauf();
    return program.info();
}

// A window, or the control of that name in it.
inline QObject* object_named(const Program& program, const QString& window, const QString& name) {
    QWidget* top = window_named(program, window);
    return top->objectName() == name ? top : top->findChild<QObject*>(name);
}

template <typename T = QWidget>
T* control(QWidget* window, const char* name) {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr) qFatal("no control %s", name);
    return found;
}

inline QString text_of(QObject* object) {
    if (auto* label = qobject_cast<QLabel*>(object)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(object)) return button->text();
    if (auto* menu = qobject_cast<QMenu*>(object)) return menu->title();
    if (auto* action = qobject_cast<QAction*>(object)) return action->text();
    if (auto* widget = qobject_cast<QWidget*>(object)) return widget->windowTitle();
    return {};
}

// The main window's eighteen value labels, in the order a frame fills them,
// and what they show for test::typical_frame().
inline const QStringList value_labels = {"u1",      "u2",      "uout",      "i1",      "i2",      "iout",
                                         "umin1",   "umin2",   "uminout",   "imax1",   "imax2",   "imaxout",
                                         "pgoodu1", "pgoodu2", "pgooduout", "igoodi1", "igoodi2", "igoodiout"};
inline const QStringList typical_frame_texts = {"24,1 Vdc",   "23,9 Vdc",   "23,8 Vdc",   "2,35 Adc",   "1,85 Adc",
                                               "4,20 Adc",   "23,9 Vdc",   "23,7 Vdc",   "23,6 Vdc",   "2,50 Adc",
                                               "1,99 Adc",   "4,47 Adc",   "[20,4 Vdc]", "[20,4 Vdc]", "[20,4 Vdc]",
                                               "[20,0 Adc]", "[20,0 Adc]", "[20,0 Adc]"};

inline QStringList value_texts(QWidget* main) {
    QStringList texts;
    for (const QString& name : value_labels) texts << control<QLabel>(main, name.toLatin1())->text();
    return texts;
}

// Tallies the numbered frames (test_frames.h) that the main window shows, by
// its labels after every poll tick. A tick reads at most 60 bytes, so no
// frame goes unseen as long as frame ends lie more than 60 bytes apart.
class ShownFrames {
public:
    // `sent_valid(n)`: frame n went out with its right check byte.
    ShownFrames(TForm1* main, std::function<bool(std::size_t)> sent_valid)
        : main_(main),
          sent_valid_(std::move(sent_valid)),
          // Connected after the window's own handler, so called after it.
          tick_(QObject::connect(main->Timer1, &QTimer::timeout, main, [this] { look(); })) {}
    ~ShownFrames() { QObject::disconnect(tick_); }
    ShownFrames(const ShownFrames&) = delete;
    ShownFrames& operator=(const ShownFrames&) = delete;

    std::size_t shown() const { return shown_; }
    // Shown but not sent valid, out of order, or with other values than sent.
    std::size_t misdecoded() const { return misdecoded_; }

private:
    void look() {
        const QStringList texts = value_texts(main_);
        if (texts == last_texts_) return;
        last_texts_ = texts;
        if (texts == QStringList(texts.size(), QString())) return;  // blanked by the watchdog
        const std::optional<std::size_t> number = shown_number(texts[3].toStdString(), texts[4].toStdString());
        QStringList others = texts;
        others[3] = typical_frame_texts[3];
        others[4] = typical_frame_texts[4];
        if (number && *number > last_number_ && sent_valid_(*number) && others == typical_frame_texts) {
            ++shown_;
            last_number_ = *number;
        } else {
            ++misdecoded_;
        }
    }

    TForm1* main_;
    std::function<bool(std::size_t)> sent_valid_;
    QMetaObject::Connection tick_;
    QStringList last_texts_;
    std::size_t last_number_ = 0;
    std::size_t shown_ = 0;
    std::size_t misdecoded_ = 0;
};

// Runs `act` on the next modal dialog of type T once it is shown, polling for
// it (a dialog runs its own event loop, so this must be set up before).
template <typename T, typename Act>
void when_modal(Act act, int tries = 250) {
    QTimer::singleShot(20, [act, tries] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget()); dialog && dialog->isVisible()) {
            act(dialog);
        } else if (tries > 0) {
            when_modal<T>(act, tries - 1);
        }
    });
}

// Answers the next file dialog with `path` as the user would (the name typed
// into its name field, then its Open or Save button), or cancels it when
// `path` is empty; an overwrite prompt that follows is confirmed.
inline void answer_next_dialog(const QString& path) {
    when_modal<QFileDialog>([path](QFileDialog* dialog) {
        if (path.isEmpty()) return dialog->reject();
        if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit")) name->setText(path);
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        if (buttons == nullptr) return dialog->reject();
        for (QAbstractButton* button : buttons->buttons()) {
            if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole) {
                when_modal<QMessageBox>([](QMessageBox* prompt) {
                    if (QAbstractButton* yes = prompt->button(QMessageBox::Yes)) yes->click();
                }, 10);
                button->click();
                return;
            }
        }
    });
}

}  // namespace zelk20::test
