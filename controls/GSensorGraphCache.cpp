#include "controls/GSensorGraphCache.h"

#include "controls/GSensorCurvePainter.h"

#include <QPainter>
#include <cstring>

bool GSensorGraphCache::Matches(QSize client, const GSensorCurveState& s) const {
    const GSensorCurveState& d = m_drawn;
    if (m_image.isNull() || m_image.size() != client)
        return false;
    if (s.fullScale != d.fullScale || s.range != d.range || s.samplesPerMs != d.samplesPerMs ||
        s.scaleMode != d.scaleMode || s.fixedWindowMs != d.fixedWindowMs ||
        s.pixelsPerMs != d.pixelsPerMs || s.stopped != d.stopped)
        return false;
    for (int a = 0; a < 3; ++a)
        if (s.axisVisible[a] != d.axisVisible[a])
            return false;
    return s.samples.size() == d.samples.size() &&
           (s.samples.empty() || std::memcmp(s.samples.data(), d.samples.data(),
                                             s.samples.size() * sizeof(GSensorSample)) == 0);
}

const QImage& GSensorGraphCache::Graph(QSize client, const GSensorCurveState& state) {
    if (!Matches(client, state)) {
        m_image = QImage(client, QImage::Format_RGB32);
        QPainter p(&m_image);
        DrawGSensorGraph(p, client, state, GSensorCurveDrawing::ColumnReduced);
        m_drawn = state;
    }
    return m_image;
}
