#include "platform/qt/check_box.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace platform::qthost {

QRect LeftTextCheckBox::IndicatorRect() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    const int w = style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, this);
    const int h = style()->pixelMetric(QStyle::PM_IndicatorHeight, &option, this);
    return QRect(width() - w, (height() - h) / 2, w, h);
}

void LeftTextCheckBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect indicator = IndicatorRect();
    QStyleOptionButton box = option;
    box.rect = indicator;
    painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, box);
    const int gap = style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, this);
    const QRect textRect(0, 0, qMax(0, indicator.left() - gap), height());
    painter.drawItemText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                         palette(), isEnabled(), text(), QPalette::WindowText);
}

bool LeftTextCheckBox::hitButton(const QPoint& pos) const { return rect().contains(pos); }

}  // namespace platform::qthost
