// A check box with its text left of the box, the text flush left and the
// box at the right edge; a click anywhere on it toggles it.
#pragma once
#include <QCheckBox>

namespace platform::qthost {

class LeftTextCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

    // Where the box is drawn, in widget coordinates.
    QRect IndicatorRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
};

}  // namespace platform::qthost
