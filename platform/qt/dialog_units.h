// The dialog font and the conversion of dialog units to pixels.
#pragma once
#include <QFont>
#include <QRect>
#include <QString>

namespace platform::qthost {

struct BaseUnits {
    int width = 0;   // average character width, rounded as Windows does
    int height = 0;  // line height
};

// The font every dialog uses, named explicitly so that the layout is the same
// on every machine: "DejaVu Sans", 11 pixels (8 points at 96 dpi).
QFont DialogFont();
// The family the font database actually chose for DialogFont(); empty when
// no font could be found at all.
QString DialogFontFamily();

// Base units of a font: width = (advance of "A..Za..z" / 26 + 1) / 2,
// height = the line height.
BaseUnits DialogBaseUnits(const QFont& font);

// a * b / c rounded half away from zero, without intermediate overflow.
int MulDivRound(int a, int b, int c);

// Dialog units to pixels: x and width by base width / 4, y and height by
// base height / 8, each value on its own.
QRect DialogRectToPixels(int x, int y, int width, int height, BaseUnits units);

}  // namespace platform::qthost
