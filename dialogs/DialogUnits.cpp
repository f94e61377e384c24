#include "dialogs/DialogUnits.h"

#include <QFontMetrics>

DialogUnits DialogUnits::Of(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    DialogUnits units;
    units.baseX = (letters / 26 + 1) / 2;
    units.baseY = metrics.height();
    return units;
}
