#pragma once
// The picture of the burned-in figures: a box for one corner of the clip,
// the same size for the whole clip so the encoder's pipeline keeps its shape.
#include "clip/ClipFigures.h"

#include <QImage>
#include <QSize>

// The box for a clip picture of the given size showing lineCount lines
// and, with a map, the route inset; wide enough for lines of `columns`
// characters (within the picture).
QSize OverlayBoxSize(QSize picture, int lineCount, bool map, int columns = 0);

// The box's picture at one change, RGBA with straight alpha.
QImage DrawOverlay(const QSize& box, QSize picture, const ClipFigureChange& change,
                   const std::vector<QPointF>& route, bool map);
