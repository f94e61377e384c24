#pragma once
#include "presenter/CatalogViews.h"

#include <QImage>

// The graph part of the strip (background, axes, ticks, curves) changes only
// when the samples or the settings do, not with the position; the strip
// repaints on every playback tick, so the last graph is kept and redrawn
// only when something it shows has changed.
class GSensorGraphCache {
  public:
    const QImage& Graph(QSize client, const GSensorCurveState& state);
    // True when the kept graph is the one `state` shows at that size.
    bool Matches(QSize client, const GSensorCurveState& state) const;

  private:
    QImage m_image;
    // What m_image was drawn from; the samples are compared by value because
    // the owner writes them directly.
    GSensorCurveState m_drawn;
};
