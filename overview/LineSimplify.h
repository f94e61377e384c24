#pragma once
#include <cstddef>
#include <vector>

struct GeoVertex {
    double latitude = 0;
    double longitude = 0;
};

// Douglas-Peucker: the indices of the vertices to keep so that no dropped
// vertex lies farther than toleranceM from the kept line; first and last are
// always kept, in order. A tolerance of 0 or less keeps every vertex.
std::vector<size_t> SimplifyLine(const std::vector<GeoVertex>& line, double toleranceM);
