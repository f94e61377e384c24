#pragma once
#include <QRect>

class QPainter;

// A two-pixel sunken frame inside `rect` in the skin's colours; returns the
// rectangle inside the frame.
QRect DrawSunkenEdge(QPainter& painter, const QRect& rect);
