#pragma once
#include <QColor>

// Colours of the G-sensor strip.
namespace GSensorColors {
inline const QColor kBackground{5, 5, 5};
inline const QColor kZeroLine{255, 255, 255};
inline const QColor kAxis{102, 102, 102};
inline const QColor kCurve[3] = {QColor(255, 255, 0), QColor(60, 255, 60), QColor(255, 60, 60)};
inline const QColor kCursor{0, 0, 255};
inline const QColor kScaleText{255, 255, 255};
inline const QColor kLegendBackground{0, 0, 0};
inline const QColor kInactiveText{160, 160, 160};
inline const QColor kActiveFrameLight{130, 130, 130};
inline const QColor kActiveFrameDark{80, 80, 80};
inline const QColor kInactiveFrameLight{100, 100, 100};
inline const QColor kInactiveFrameDark{50, 50, 50};
} // namespace GSensorColors
