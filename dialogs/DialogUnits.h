#pragma once
#include <QRect>

class QFont;

// Dialog units, the measure of dialog templates: a quarter of the font's
// average character width across and an eighth of its height down, so that
// a template grows with the font it is shown in.
struct DialogUnits {
    int baseX = 6;  // average character width, pixels
    int baseY = 13; // character height, pixels

    // The base units of a font, measured as the platform measures them: the
    // average advance of the 52 Latin letters, rounded, and the line height.
    static DialogUnits Of(const QFont& font);

    QRect ToPixels(int x, int y, int cx, int cy) const {
        return QRect(x * baseX / 4, y * baseY / 8, cx * baseX / 4, cy * baseY / 8);
    }
};
