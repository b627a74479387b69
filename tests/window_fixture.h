#pragma once

// Helpers of the window tests: the program's windows and their controls by name.
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

#include "ui/info_window.h"
#include "ui/main_window.h"
#include "ui/parameter_window.h"
#include "ui/program.h"

namespace zelk20::test {

// The program's three windows, deleted with the test.
struct Program {
    Program() : windows(start_program()) {}
    ~Program() {
        delete windows.info;
        delete windows.para;
        delete windows.main;
    }
    TForm1* main() const { return windows.main; }
    Tpara* para() const { return windows.para; }
    TInfo* info() const { return windows.info; }
    ProgramWindows windows;
};

inline QWidget* window_named(const Program& program, const QString& name) {
    if (name == "main") return program.main();
    if (name == "para") return program.para();
    return program.info();
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
