#include "platform/qt/dialog_units.h"

#include <QFontInfo>
#include <QFontMetrics>

#include <cstdint>

namespace platform::qthost {

QFont DialogFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    // Full hinting gives whole-pixel advances, so the base units do not
    // depend on the rendering settings of the desktop.
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QString DialogFontFamily() { return QFontInfo(DialogFont()).family(); }

BaseUnits DialogBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int advance =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    BaseUnits units;
    units.width = (advance / 26 + 1) / 2;
    units.height = metrics.height();
    return units;
}

int MulDivRound(int a, int b, int c) {
    if (c == 0) return -1;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t num = product < 0 ? -product : product;
    const std::int64_t den = c < 0 ? -static_cast<std::int64_t>(c) : c;
    const std::int64_t q = (num + den / 2) / den;
    return static_cast<int>(negative ? -q : q);
}

QRect DialogRectToPixels(int x, int y, int width, int height, BaseUnits units) {
    return QRect(MulDivRound(x, units.width, 4), MulDivRound(y, units.height, 8),
                 MulDivRound(width, units.width, 4), MulDivRound(height, units.height, 8));
}

}  // namespace platform::qthost
