#include "ui/controls.h"

#include <QFrame>
#include <QLabel>
#include <QTimer>

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

QTimer* make_timer(QObject* parent, const char* name, int interval_ms) {
    auto* timer = new QTimer(parent);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(interval_ms);
    return timer;
}

}  // namespace zelk20::ui
