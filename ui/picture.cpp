#include "ui/picture.h"

#include <QMouseEvent>
#include <QSvgRenderer>

namespace zelk20::ui {

Picture::Picture(const QString& resource, QWidget* parent) : QSvgWidget(resource, parent) {
    renderer()->setAspectRatioMode(Qt::KeepAspectRatio);
}

void Picture::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit clicked();
    QSvgWidget::mousePressEvent(event);
}

}  // namespace zelk20::ui
