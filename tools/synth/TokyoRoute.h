#pragma once
#include <vector>

namespace synth {

struct RouteVertex {
    double latitude = 0;
    double longitude = 0;
    bool stop = false; // traffic light where the car waits
};

// A loop through central Tokyo along real streets: Chuo-dori from Nihonbashi
// to Ginza, Harumi-dori to Hibiya, along the palace moat to Otemachi and back
// east on Eitai-dori. About 5.5 km.
const std::vector<RouteVertex>& TokyoRoute();

} // namespace synth
