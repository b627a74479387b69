#pragma once

#include <QSvgWidget>

namespace zelk20::ui {

// A vector picture from the resources, scaled into its place with its aspect
// kept. Emits clicked() on a left click (the language flags use that).
class Picture : public QSvgWidget {
    Q_OBJECT
public:
    Picture(const QString& resource, QWidget* parent);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace zelk20::ui
