#pragma once
#include "tools/synth/RecordingRecipe.h"
#include "tools/synth/TokyoRoute.h"

#include <cstdint>
#include <vector>

namespace synth {

// A car driven along a route: it accelerates, cruises, slows for corners,
// waits at traffic lights and parks at the end. Simulated once; afterwards
// GPS fixes and G-sensor samples can be taken at any moment of the drive.
// The same route and seed always give the same drive.
class Drive {
  public:
    explicit Drive(const std::vector<RouteVertex>& route, uint32_t seed = 7);

    // Until the car is parked at the end of the route.
    double Seconds() const;

    Fix FixAt(double seconds) const;
    // Raw counts, 16 to the g (the camera's scale value 8): x to the right,
    // y forward, z up (gravity included), with road bumps.
    GSensorSample SampleAt(double seconds) const;

    // `count` values starting at `from`, `rate` a second.
    std::vector<Fix> Fixes(double from, int count, int rate) const;
    std::vector<GSensorSample> Samples(double from, int count, int rate) const;

    static constexpr double kStep = 0.1; // seconds between simulated states

  private:
    struct State {
        double distance; // metres along the route
        double speed;    // m/s
        double accel;    // m/s^2
    };
    struct Point {
        double x, y; // metres east and north of the first vertex
    };

    State StateAt(double seconds) const;
    Point PositionAt(double distance) const;
    double HeadingAt(double distance) const; // degrees clockwise from north
    double VerticalAt(double distance, double speed) const;

    std::vector<RouteVertex> route_;
    std::vector<Point> points_;
    std::vector<double> cumulative_; // distance of each vertex
    std::vector<double> bumps_;      // distances of road bumps
    std::vector<State> states_;
    double metresPerDegreeLat_ = 0;
    double metresPerDegreeLon_ = 0;
};

} // namespace synth
