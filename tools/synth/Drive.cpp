#include "tools/synth/Drive.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace synth {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kGravity = 9.81;
constexpr double kCountsPerG = 16;
constexpr double kComfortBraking = 2.0; // m/s^2
constexpr double kStartAccel = 1.6;     // m/s^2
constexpr double kHeadingSpan = 6.0;    // metres either side for a smooth heading

double TurnDegrees(double a, double b) {
    double d = std::fabs(std::fmod(b - a + 540.0, 360.0) - 180.0);
    return d;
}

// Uniform in [0, 1) from a generator, the same on every standard library.
double Uniform(std::mt19937& rng) {
    return double(rng()) / 4294967296.0;
}

int16_t Counts(double g) {
    return int16_t(std::clamp<long>(std::lround(g * kCountsPerG), -127, 127));
}

// Small deterministic jitter of a sample, from its moment alone.
double Jitter(double seconds, int axis) {
    uint32_t h = uint32_t(std::lround(seconds * 1000)) * 2654435761u + uint32_t(axis) * 40503u;
    h ^= h >> 15;
    h *= 2246822519u;
    h ^= h >> 13;
    return (double(h % 1000) / 1000.0 - 0.5) * 0.06;
}

} // namespace

Drive::Drive(const std::vector<RouteVertex>& route, uint32_t seed) : route_(route) {
    std::mt19937 rng(seed);
    const double lat0 = route_.empty() ? 0 : route_.front().latitude;
    metresPerDegreeLat_ = 6371000.0 * kPi / 180.0;
    metresPerDegreeLon_ = metresPerDegreeLat_ * std::cos(lat0 * kPi / 180.0);
    double total = 0;
    for (size_t i = 0; i < route_.size(); ++i) {
        const Point p{(route_[i].longitude - route_[0].longitude) * metresPerDegreeLon_,
                      (route_[i].latitude - route_[0].latitude) * metresPerDegreeLat_};
        if (i > 0)
            total += std::hypot(p.x - points_.back().x, p.y - points_.back().y);
        points_.push_back(p);
        cumulative_.push_back(total);
    }

    // Speed limits at the vertices: traffic lights, corners and the end.
    struct Limit {
        double distance, speed, wait;
    };
    std::vector<Limit> limits;
    for (size_t i = 1; i < route_.size(); ++i) {
        const bool last = i + 1 == route_.size();
        double speed = 1e9, wait = 0;
        if (route_[i].stop || last) {
            speed = 0;
            wait = last ? 0 : 8 + 14 * Uniform(rng);
        } else {
            const double turn = TurnDegrees(HeadingAt(cumulative_[i] - kHeadingSpan),
                                            HeadingAt(cumulative_[i] + kHeadingSpan));
            speed = turn > 60 ? 4.5 : turn > 25 ? 7.0 : 1e9;
        }
        limits.push_back({cumulative_[i], speed, wait});
    }
    std::vector<double> cruise;
    for (size_t i = 0; i < route_.size(); ++i)
        cruise.push_back(10.0 + 4.5 * Uniform(rng)); // 36 to 52 km/h
    for (double s = 60 + 120 * Uniform(rng); s < total; s += 70 + 180 * Uniform(rng))
        bumps_.push_back(s);

    // Drive: accelerate to the cruise speed of the segment, keep below the
    // braking curve of every limit ahead, wait at red lights.
    size_t next = 0; // first limit not yet passed
    double s = 0, v = 0, waiting = 0;
    states_.push_back({0, 0, 0});
    constexpr size_t kMaxStates = 200000; // over five hours: a route that never ends
    while ((next < limits.size() || v > 0) && states_.size() < kMaxStates) {
        double a = 0;
        if (waiting > 0) {
            waiting -= kStep;
        } else {
            const size_t segment =
                std::upper_bound(cumulative_.begin(), cumulative_.end(), s) - cumulative_.begin();
            double allowed = cruise[std::min(segment, cruise.size() - 1)];
            for (size_t k = next; k < limits.size() && limits[k].distance - s < 300; ++k)
                allowed = std::min(allowed, std::sqrt(limits[k].speed * limits[k].speed +
                                                      2 * kComfortBraking *
                                                          std::max(0.0, limits[k].distance - s)));
            a = std::clamp((allowed - v) / kStep, -1.5 * kComfortBraking, kStartAccel);
            v = std::max(0.0, v + a * kStep);
            s += v * kStep;
            if (next < limits.size() && limits[next].speed == 0 &&
                limits[next].distance - s < 0.5 && v < 0.6) {
                s = limits[next].distance; // stopped at the line
                a = -v / kStep;
                v = 0;
                waiting = limits[next].wait;
                ++next;
            } else if (next < limits.size() && s >= limits[next].distance) {
                ++next;
            }
        }
        states_.push_back({s, v, a});
        if (next >= limits.size() && v == 0)
            break;
    }
}

double Drive::Seconds() const {
    return double(states_.size() - 1) * kStep;
}

Drive::State Drive::StateAt(double seconds) const {
    const double i = std::clamp(seconds / kStep, 0.0, double(states_.size() - 1));
    const size_t lo = size_t(i);
    const size_t hi = std::min(lo + 1, states_.size() - 1);
    const double f = i - double(lo);
    const State& a = states_[lo];
    const State& b = states_[hi];
    return {a.distance + (b.distance - a.distance) * f, a.speed + (b.speed - a.speed) * f,
            a.accel + (b.accel - a.accel) * f};
}

Drive::Point Drive::PositionAt(double distance) const {
    if (points_.size() < 2)
        return points_.empty() ? Point{0, 0} : points_.front();
    distance = std::clamp(distance, 0.0, cumulative_.back());
    size_t k =
        std::upper_bound(cumulative_.begin(), cumulative_.end(), distance) - cumulative_.begin();
    k = std::clamp<size_t>(k, 1, points_.size() - 1);
    const double length = cumulative_[k] - cumulative_[k - 1];
    const double f = length > 0 ? (distance - cumulative_[k - 1]) / length : 0;
    return {points_[k - 1].x + (points_[k].x - points_[k - 1].x) * f,
            points_[k - 1].y + (points_[k].y - points_[k - 1].y) * f};
}

double Drive::HeadingAt(double distance) const {
    const double total = cumulative_.empty() ? 0 : cumulative_.back();
    const double from = std::clamp(distance - kHeadingSpan, 0.0, std::max(0.0, total - 1));
    const double to = std::clamp(distance + kHeadingSpan, std::min(total, 1.0), total);
    const Point a = PositionAt(from), b = PositionAt(to);
    const double h = std::atan2(b.x - a.x, b.y - a.y) * 180 / kPi;
    return h < 0 ? h + 360 : h;
}

double Drive::VerticalAt(double distance, double speed) const {
    double g = 1.0;
    const auto it = std::upper_bound(bumps_.begin(), bumps_.end(), distance);
    if (it != bumps_.begin() && speed > 1) {
        const double d = distance - *(it - 1); // metres past the bump
        g += (0.15 + 0.025 * speed) * std::exp(-d / 1.5) * std::sin(2 * kPi * d / 1.2);
    }
    return g;
}

Fix Drive::FixAt(double seconds) const {
    const State st = StateAt(seconds);
    const Point p = PositionAt(st.distance);
    Fix f;
    f.latitude = route_.empty() ? 0 : route_[0].latitude + p.y / metresPerDegreeLat_;
    f.longitude = route_.empty() ? 0 : route_[0].longitude + p.x / metresPerDegreeLon_;
    f.altitude = int(std::lround(12 + 6 * std::sin(st.distance / 450)));
    f.speedKmh = int(std::lround(st.speed * 3.6));
    f.headingDegrees = HeadingAt(st.distance);
    return f;
}

GSensorSample Drive::SampleAt(double seconds) const {
    const State st = StateAt(seconds);
    // Lateral: speed squared times the curvature of the path here.
    const double h1 = HeadingAt(st.distance - 3), h2 = HeadingAt(st.distance + 3);
    const double turn = std::fmod(h2 - h1 + 540.0, 360.0) - 180.0; // degrees, right positive
    const double lateral = st.speed * st.speed * (turn * kPi / 180) / 6.0 / kGravity;
    return {Counts(lateral + Jitter(seconds, 0)), Counts(st.accel / kGravity + Jitter(seconds, 1)),
            Counts(VerticalAt(st.distance, st.speed) + Jitter(seconds, 2))};
}

std::vector<Fix> Drive::Fixes(double from, int count, int rate) const {
    std::vector<Fix> fixes;
    for (int i = 0; i < count; ++i)
        fixes.push_back(FixAt(from + double(i) / rate));
    return fixes;
}

std::vector<GSensorSample> Drive::Samples(double from, int count, int rate) const {
    std::vector<GSensorSample> samples;
    for (int i = 0; i < count; ++i)
        samples.push_back(SampleAt(from + double(i) / rate));
    return samples;
}

} // namespace synth
