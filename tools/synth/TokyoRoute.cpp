#include "tools/synth/TokyoRoute.h"

namespace synth {

const std::vector<RouteVertex>& TokyoRoute() {
    static const std::vector<RouteVertex> route{
        {35.68398, 139.77446, false}, // Nihonbashi bridge, heading south on Chuo-dori
        {35.68335, 139.77405, false},
        {35.68280, 139.77370, false},
        {35.68195, 139.77318, true}, // Nihonbashi crossing
        {35.68080, 139.77247, false},
        {35.67990, 139.77190, false},
        {35.67880, 139.77120, false},
        {35.67783, 139.77058, true}, // Kyobashi
        {35.67690, 139.76990, false},
        {35.67610, 139.76932, false},
        {35.67530, 139.76860, false},
        {35.67450, 139.76790, true}, // Ginza 1-chome
        {35.67370, 139.76715, false},
        {35.67300, 139.76650, false},
        {35.67235, 139.76585, false},
        {35.67170, 139.76520, true}, // Ginza 4-chome, right into Harumi-dori
        {35.67245, 139.76395, false},
        {35.67310, 139.76280, true}, // Sukiyabashi
        {35.67350, 139.76210, false},
        {35.67385, 139.76140, false}, // under the Yamanote line at Yurakucho
        {35.67415, 139.76070, false},
        {35.67440, 139.76000, true}, // Hibiya, right along the moat
        {35.67530, 139.76010, false},
        {35.67610, 139.76020, false},
        {35.67700, 139.76030, false},
        {35.67800, 139.76040, true}, // Babasakimon
        {35.67900, 139.76048, false},
        {35.68000, 139.76055, false},
        {35.68105, 139.76058, false},
        {35.68210, 139.76060, true}, // Wadakuramon
        {35.68315, 139.76075, false},
        {35.68420, 139.76090, false},
        {35.68520, 139.76115, false},
        {35.68620, 139.76140, true}, // Otemachi, right into Eitai-dori
        {35.68605, 139.76270, false},
        {35.68590, 139.76400, false},
        {35.68575, 139.76525, false},
        {35.68560, 139.76650, false},
        {35.68545, 139.76775, false},
        {35.68530, 139.76900, true}, // north of Tokyo Station
        {35.68505, 139.77000, false},
        {35.68480, 139.77100, true}, // Gofukubashi
        {35.68405, 139.77160, false},
        {35.68330, 139.77220, false},
        {35.68260, 139.77270, false},
        {35.68195, 139.77318, true}, // Nihonbashi crossing, left into Chuo-dori
        {35.68280, 139.77370, false},
        {35.68398, 139.77446, false}, // back at the bridge
    };
    return route;
}

} // namespace synth
