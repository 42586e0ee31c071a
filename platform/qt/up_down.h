// The up-down control without buddy: two arrow buttons, auto-repeating
// while held, reporting position changes in the Windows sign convention.
#pragma once
#include <QToolButton>
#include <QWidget>

#include <functional>

namespace platform::qthost {

class UpDown : public QWidget {
public:
    // `step` gets -1 for the up (or right) arrow, +1 for the down (or left)
    // arrow, once per press and once per repeat while held.
    UpDown(bool horizontal, std::function<void(int)> step, QWidget* parent);

    QToolButton* Decrease() const { return decrease_; }  // up or right: -1
    QToolButton* Increase() const { return increase_; }  // down or left: +1

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    bool horizontal_;
    QToolButton* decrease_;
    QToolButton* increase_;
};

}  // namespace platform::qthost
