#include "cardindex/DrivingEvents.h"

#include "cardindex/CardIndex.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kGravity = 9.80665;
constexpr double kPi = 3.14159265358979323846;
// Jolts closer than this are one impact, and a harsh run this close to an
// impact is the impact itself, not a second event.
constexpr float kImpactMergeMs = 1000;
// The speed and heading around a run are read this far outside it, since
// one fix a second rarely falls inside a run of a few hundred ms.
constexpr int64_t kGpsMarginMs = 1000;

double Horizontal(const IndexedSample& s) {
    return std::sqrt(double(s.x) * s.x + double(s.y) * s.y);
}

double AboveGravity(const IndexedSample& s) {
    return std::sqrt(double(s.x) * s.x + double(s.y) * s.y + double(s.z) * s.z) - 1.0;
}

// The typical time between samples; a lone sample stands for this long.
float SamplePeriod(const std::vector<IndexedSample>& samples) {
    if (samples.size() < 2)
        return 0;
    std::vector<float> gaps;
    for (size_t i = 1; i < samples.size(); ++i)
        gaps.push_back(samples[i].offsetMs - samples[i - 1].offsetMs);
    std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
    return std::max(0.0f, gaps[gaps.size() / 2]);
}

// The last fix at or before the offset, else the first one.
const IndexedPoint* FixBefore(const std::vector<IndexedPoint>& points, int64_t offsetMs) {
    const IndexedPoint* found = nullptr;
    for (const IndexedPoint& p : points) {
        if (int64_t(p.offsetMs) > offsetMs)
            break;
        found = &p;
    }
    return found ? found : points.empty() ? nullptr : &points.front();
}

// The first fix at or after the offset, else the last one.
const IndexedPoint* FixAfter(const std::vector<IndexedPoint>& points, int64_t offsetMs) {
    for (const IndexedPoint& p : points)
        if (int64_t(p.offsetMs) >= offsetMs)
            return &p;
    return points.empty() ? nullptr : &points.back();
}

double TurnDegrees(double from, double to) {
    double d = std::fmod(to - from, 360.0);
    if (d > 180)
        d -= 360;
    if (d < -180)
        d += 360;
    return d;
}

// The rule that names a harsh run. With fixes around it, the run is what
// changed more, in g: along the way (the speed's change over the time,
// braking when it fell, acceleration when it rose) or across it (the
// heading's turn: speed times turn rate, cornering). Without fixes, or
// when the car stood, the sensor's own axes decide the same way: the
// lateral x against the forward y, whose sign tells braking from
// acceleration.
DrivingEventKind KindOfRun(const std::vector<IndexedPoint>& points, float fromMs, float toMs,
                           double meanX, double meanY) {
    const IndexedPoint* a = FixBefore(points, int64_t(fromMs) - kGpsMarginMs);
    const IndexedPoint* b = FixAfter(points, int64_t(toMs) + kGpsMarginMs);
    if (a && b && b->offsetMs > a->offsetMs) {
        const double seconds = (double(b->offsetMs) - a->offsetMs) / 1000.0;
        const double along = (b->speedKmh - a->speedKmh) / 3.6 / seconds / kGravity;
        const double speed = (a->speedKmh + b->speedKmh) / 2 / 3.6;
        const double across = speed * std::abs(TurnDegrees(a->headingDegrees, b->headingDegrees)) *
                              kPi / 180 / seconds / kGravity;
        if (std::abs(along) > 0.05 || across > 0.05) {
            if (across > std::abs(along))
                return DrivingEventKind::SharpCornering;
            return along < 0 ? DrivingEventKind::HarshBraking : DrivingEventKind::HarshAcceleration;
        }
    }
    if (std::abs(meanX) > std::abs(meanY))
        return DrivingEventKind::SharpCornering;
    return meanY < 0 ? DrivingEventKind::HarshBraking : DrivingEventKind::HarshAcceleration;
}

DrivingEvent EventAt(DrivingEventKind kind, uint32_t offsetMs, double peak,
                     const std::vector<IndexedPoint>& points, int64_t startUtcMs) {
    DrivingEvent e;
    e.kind = kind;
    e.offsetMs = offsetMs;
    e.peak = peak;
    e.hasPosition = PlaceAt(points, offsetMs, &e.latitude, &e.longitude, &e.utcMs);
    if (!e.hasPosition)
        e.utcMs = startUtcMs ? startUtcMs + offsetMs : 0;
    return e;
}

// Impacts: every jolt whose peak stands impactG above gravity; jolts within
// a second of each other are one impact at the strongest.
std::vector<DrivingEvent> FindImpacts(const std::vector<IndexedPoint>& points,
                                      const std::vector<IndexedSample>& samples, int64_t start,
                                      const CardIndexSettings& settings) {
    std::vector<DrivingEvent> found;
    float lastJoltMs = -1e9f;
    for (const IndexedSample& s : samples) {
        const double peak = AboveGravity(s);
        if (peak < settings.impactG)
            continue;
        if (!found.empty() && s.offsetMs - lastJoltMs <= kImpactMergeMs) {
            if (peak > found.back().peak)
                found.back() =
                    EventAt(DrivingEventKind::Impact, uint32_t(s.offsetMs), peak, points, start);
        } else {
            found.push_back(
                EventAt(DrivingEventKind::Impact, uint32_t(s.offsetMs), peak, points, start));
        }
        lastJoltMs = s.offsetMs;
    }
    return found;
}

bool NearImpact(const std::vector<DrivingEvent>& impacts, float fromMs, float toMs) {
    for (const DrivingEvent& e : impacts)
        if (float(e.offsetMs) >= fromMs - kImpactMergeMs &&
            float(e.offsetMs) <= toMs + kImpactMergeMs)
            return true;
    return false;
}

// Harsh runs: the horizontal acceleration at or above eventG in consecutive
// samples that together last at least eventHoldMs (each sample standing for
// one sample period), so a single spike of the road is not a manoeuvre.
void FindHarshRuns(const std::vector<IndexedPoint>& points,
                   const std::vector<IndexedSample>& samples, int64_t start,
                   const CardIndexSettings& settings, const std::vector<DrivingEvent>& impacts,
                   std::vector<DrivingEvent>* out) {
    const float period = SamplePeriod(samples);
    size_t i = 0;
    while (i < samples.size()) {
        if (Horizontal(samples[i]) < settings.eventG) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end + 1 < samples.size() && Horizontal(samples[end + 1]) >= settings.eventG)
            ++end;
        const float fromMs = samples[i].offsetMs;
        const float toMs = samples[end].offsetMs;
        if (toMs - fromMs + period >= float(settings.eventHoldMs) &&
            !NearImpact(impacts, fromMs, toMs)) {
            size_t peakAt = i;
            double sumX = 0, sumY = 0;
            for (size_t k = i; k <= end; ++k) {
                sumX += samples[k].x;
                sumY += samples[k].y;
                if (Horizontal(samples[k]) > Horizontal(samples[peakAt]))
                    peakAt = k;
            }
            const double n = double(end - i + 1);
            out->push_back(EventAt(KindOfRun(points, fromMs, toMs, sumX / n, sumY / n),
                                   uint32_t(samples[peakAt].offsetMs), Horizontal(samples[peakAt]),
                                   points, start));
        }
        i = end + 1;
    }
}

// Without a G-sensor: a fall of at least speedDropKmh between two fixes at
// most a second apart. One braking is one event, at the fix where the fall
// began, however many fixes it spans; its peak is the steepest fall in
// km/h per second.
void FindSpeedBraking(const std::vector<IndexedPoint>& points, int64_t start,
                      const CardIndexSettings& settings, std::vector<DrivingEvent>* out) {
    bool braking = false;
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        double steepest = 0;
        for (size_t j = i + 1; j < points.size(); ++j) {
            const double ms = double(points[j].utcMs) - double(points[i].utcMs);
            if (ms > 1000)
                break;
            const double drop = double(points[i].speedKmh) - points[j].speedKmh;
            if (ms > 0 && drop >= settings.speedDropKmh)
                steepest = std::max(steepest, drop * 1000.0 / ms);
        }
        if (steepest > 0 && !braking)
            out->push_back(EventAt(DrivingEventKind::SpeedOnlyBraking, points[i].offsetMs, steepest,
                                   points, start));
        else if (steepest > 0 && steepest > out->back().peak)
            out->back().peak = steepest;
        braking = steepest > 0;
    }
}

} // namespace

bool PlaceAt(const std::vector<IndexedPoint>& points, uint32_t offsetMs, double* latitude,
             double* longitude, int64_t* utcMs) {
    if (points.empty())
        return false;
    auto after = std::lower_bound(
        points.begin(), points.end(), offsetMs,
        [](const IndexedPoint& p, uint32_t offset) { return p.offsetMs < offset; });
    const IndexedPoint& b = after == points.end() ? points.back() : *after;
    const IndexedPoint& a = after == points.begin() || after == points.end() ? b : *(after - 1);
    double t = 0;
    if (b.offsetMs > a.offsetMs)
        t = (double(offsetMs) - a.offsetMs) / (double(b.offsetMs) - a.offsetMs);
    *latitude = a.latitude + (b.latitude - a.latitude) * t;
    *longitude = a.longitude + (b.longitude - a.longitude) * t;
    // Before the first or after the last fix the time still follows the offset.
    *utcMs = a.utcMs + (int64_t(offsetMs) - int64_t(a.offsetMs));
    return true;
}

bool StrongestJolt(const std::vector<IndexedSample>& samples, uint32_t* offsetMs, double* peak) {
    bool found = false;
    for (const IndexedSample& s : samples) {
        if (!found || AboveGravity(s) > *peak) {
            *peak = AboveGravity(s);
            *offsetMs = uint32_t(s.offsetMs);
            found = true;
        }
    }
    return found;
}

DrivingEvent CameraEventAt(const std::vector<IndexedPoint>& points, uint32_t offsetMs, double peak,
                           int64_t startUtcMs) {
    return EventAt(DrivingEventKind::CameraEvent, offsetMs, peak, points, startUtcMs);
}

std::vector<DrivingEvent> FindDrivingEvents(const std::vector<IndexedPoint>& points,
                                            const std::vector<IndexedSample>& samples,
                                            bool cameraEvent, int64_t startUtcMs,
                                            const CardIndexSettings& settings) {
    std::vector<DrivingEvent> events;
    if (samples.empty()) {
        FindSpeedBraking(points, startUtcMs, settings, &events);
    } else {
        events = FindImpacts(points, samples, startUtcMs, settings);
        std::vector<DrivingEvent> impacts = events;
        FindHarshRuns(points, samples, startUtcMs, settings, impacts, &events);
    }
    if (cameraEvent) {
        uint32_t at = 0;
        double peak = 0;
        StrongestJolt(samples, &at, &peak);
        events.push_back(CameraEventAt(points, at, peak, startUtcMs));
    }
    std::stable_sort(
        events.begin(), events.end(),
        [](const DrivingEvent& a, const DrivingEvent& b) { return a.offsetMs < b.offsetMs; });
    return events;
}
