#include "platform/qt/up_down.h"

namespace platform::qthost {
namespace {

QToolButton* ArrowButton(Qt::ArrowType arrow, int delta, const std::function<void(int)>& step,
                         QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRepeat(true);
    button->setAutoRepeatDelay(400);
    button->setAutoRepeatInterval(100);
    // pressed() comes with the first press and again with every repeat.
    QObject::connect(button, &QAbstractButton::pressed, parent, [step, delta] { step(delta); });
    return button;
}

}  // namespace

UpDown::UpDown(bool horizontal, std::function<void(int)> step, QWidget* parent)
    : QWidget(parent),
      horizontal_(horizontal),
      decrease_(ArrowButton(horizontal ? Qt::RightArrow : Qt::UpArrow, -1, step, this)),
      increase_(ArrowButton(horizontal ? Qt::LeftArrow : Qt::DownArrow, +1, step, this)) {
    setFocusPolicy(Qt::NoFocus);
}

void UpDown::resizeEvent(QResizeEvent*) {
    const int w = width(), h = height();
    if (horizontal_) {
        // left arrow | right arrow
        increase_->setGeometry(0, 0, w / 2, h);
        decrease_->setGeometry(w / 2, 0, w - w / 2, h);
    } else {
        // up arrow over down arrow
        decrease_->setGeometry(0, 0, w, h / 2);
        increase_->setGeometry(0, h / 2, w, h - h / 2);
    }
}

}  // namespace platform::qthost
