#include "ui/controls.h"

#include <QAbstractButton>
#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QWidget>

namespace zelk20::ui {

QLabel* make_label(QWidget* parent, const char* name, const QString& text, const QFont& font, QPoint at) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    label->move(at);
    label->adjustSize();
    return label;
}

QFrame* make_bevel(QWidget* parent, const char* name, QRect area) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setFrameStyle(QFrame::Box | QFrame::Raised);
    frame->setGeometry(area);
    return frame;
}

QTimer* make_timer(QObject* parent, const char* name, std::chrono::milliseconds interval) {
    auto* timer = new QTimer(parent);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(interval);
    return timer;
}

void apply_texts(QWidget* window, std::span<const TextRow> rows, Language language) {
    for (const TextRow& row : rows) {
        const std::string_view said = text_of(row.meaning, language);
        const QString text = QString::fromUtf8(said.data(), static_cast<qsizetype>(said.size()));
        QObject* control = window->findChild<QObject*>(QString::fromLatin1(row.control));
        if (auto* label = qobject_cast<QLabel*>(control)) {
            label->setText(text);
            label->adjustSize();
        } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            button->setText(text);
        } else if (auto* menu = qobject_cast<QMenu*>(control)) {
            menu->setTitle(text);
        } else if (auto* action = qobject_cast<QAction*>(control)) {
            action->setText(text);
        }
    }
}

}  // namespace zelk20::ui
