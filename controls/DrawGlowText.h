#pragma once
#include <QPointF>
#include <QString>

class QPainter;

enum class GlowTextStyle {
    Instrument, // speed and rate read-outs: amber, at the caller's point
    Video,      // video surfaces: blue, always at x = 10
    Title,      // the main window's title: "Arial Black", always at (50, 10)
};

// Outlined, glowing, gradient-filled text. `position` is the top-left of the
// text's layout box; `emSize` is in pixels. Texts longer than 127 characters
// are cut there.
void DrawGlowText(QPainter& painter, const QString& text, QPointF position, qreal emSize,
                  GlowTextStyle style);
