#include "controls/GSensorCurveLines.h"

#include "controls/GSensorCurveColors.h"

#include <QPainter>
#include <algorithm>
#include <numeric>
#include <vector>

namespace {

// Two consecutive points both on one of these rows are not joined.
bool OnHiddenRow(int y) {
    return y == 20 || y == 60;
}

struct Span {
    int axis;
    int lo;
    int hi;
};

// The vertical segments of one column, in drawing order. A cosmetic 1-pixel
// line between two points of one column covers both end rows and everything
// between, so each segment is an exact span; the last span drawn over a row
// decides its colour.
class ColumnBatch {
  public:
    void Add(int axis, int a, int b) { m_spans.push_back({axis, std::min(a, b), std::max(a, b)}); }
    bool Empty() const { return m_spans.empty(); }

    void Flush(QPainter& painter, int x) {
        if (m_spans.empty())
            return;
        int lo = m_spans.front().lo, hi = m_spans.front().hi;
        for (const Span& s : m_spans) {
            lo = std::min(lo, s.lo);
            hi = std::max(hi, s.hi);
        }
        const int n = hi - lo + 1;
        m_owner.assign(size_t(n), -1);
        m_next.resize(size_t(n) + 1);
        std::iota(m_next.begin(), m_next.end(), 0);
        // Latest span first; each row is claimed once, skipping claimed rows.
        for (auto it = m_spans.rbegin(); it != m_spans.rend(); ++it) {
            for (int r = Find(it->lo - lo); r <= it->hi - lo; r = Find(r)) {
                m_owner[size_t(r)] = it->axis;
                m_next[size_t(r)] = r + 1;
            }
        }
        for (int r = 0; r < n;) {
            const int owner = m_owner[size_t(r)];
            int end = r + 1;
            while (end < n && m_owner[size_t(end)] == owner)
                ++end;
            if (owner >= 0)
                painter.fillRect(x, lo + r, 1, end - r, GSensorColors::kCurve[owner]);
            r = end;
        }
        m_spans.clear();
    }

  private:
    int Find(int r) {
        while (m_next[size_t(r)] != r) {
            m_next[size_t(r)] = m_next[size_t(m_next[size_t(r)])];
            r = m_next[size_t(r)];
        }
        return r;
    }

    std::vector<Span> m_spans;
    std::vector<int> m_owner;
    std::vector<int> m_next;
};

} // namespace

void DrawGSensorCurves(QPainter& painter, const GSensorPlot& plot, const GSensorCurveState& state,
                       GSensorCurveDrawing drawing) {
    const size_t count = state.samples.size();
    if (state.stopped || count == 0)
        return;
    const bool reduce = drawing == GSensorCurveDrawing::ColumnReduced;
    QPen pens[3];
    for (int a = 0; a < 3; ++a)
        pens[a] = QPen(GSensorColors::kCurve[a], 1);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);

    const float step = float(plot.width) / float(count);
    int prevX = plot.x0;
    int prevY[3] = {plot.y0, plot.y0, plot.y0};
    ColumnBatch batch;
    int batchX = prevX;
    for (size_t i = 0; i < count; ++i) {
        const GSensorSample& s = state.samples[i];
        if (IsSkippedGSensorSample(s))
            continue;
        const int16_t raw[3] = {s.x, s.y, s.z};
        const int x = int(float(i) * step) + plot.x0;
        if (reduce && x != batchX) {
            batch.Flush(painter, batchX);
            batchX = x;
        }
        for (int a = 0; a < 3; ++a) {
            if (!state.axisVisible[a])
                continue;
            const int y =
                GSensorRowOf(GSensorAxisReading(raw[a], state.fullScale), state.range, plot);
            if (!(OnHiddenRow(y) && OnHiddenRow(prevY[a]))) {
                if (reduce && x == prevX) {
                    batch.Add(a, prevY[a], y);
                } else {
                    painter.setPen(pens[a]);
                    painter.drawLine(prevX, prevY[a], x, y);
                }
            }
            prevY[a] = y;
        }
        prevX = x;
    }
    batch.Flush(painter, batchX);
    painter.restore();
}
