#pragma once
// Where each picture goes in a clip's frame, and the filter graph that puts
// it there: inputs [f] front, [r] rear, [o] figures box; output [out].
#include "clip/ClipOptions.h"

#include <QRect>
#include <QSize>
#include <QString>

struct ClipGeometry {
    QSize frame;        // the clip's picture
    QRect rearInset;    // picture in picture only
    QRect figures;      // the figures box; empty without figures
    QString filterText; // libavfilter graph description
};

// front/rear: the cameras' picture sizes (one may be empty when the layout
// does not use it); figuresBox: empty without figures, else made for the
// picture ClipPictureSize gives. False with a reason when the figures do not
// fit into the picture.
bool ComputeClipGeometry(const ClipOptions& options, QSize front, QSize rear, QSize figuresBox,
                         ClipGeometry* out, QString* error);

// The picture size a layout gives, before any box is placed.
QSize ClipFrameSize(ClipLayout layout, QSize front, QSize rear);

// The fewest lines of a clip with figures: a smaller picture is scaled up
// (its shape kept) so that the figures' text can be read.
inline constexpr int kClipFigureLines = 720;

// The clip's picture: the layout's, scaled up to kClipFigureLines when
// figures are drawn on a smaller one.
QSize ClipPictureSize(ClipLayout layout, QSize front, QSize rear, bool figures);

// The gap kept between the picture's edges and the figures or the rear inset.
int ClipEdgeMargin(QSize frame);
