#pragma once
#include <QPoint>
#include <QString>

class QPainter;

// The window title as an outlined, shadowed, gradient-filled path.
void DrawTitleText(QPainter& painter, const QString& text, QPoint origin);
